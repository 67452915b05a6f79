// The disk error decoder on the sample of a failed write, on short and odd data, and the fuzz of walker and decoder.
#include "eventlog/disk_error_decode.h"

#include <gtest/gtest.h>

#include <random>

#include "core/language.h"
#include "eventlog/event_record.h"
#include "eventlog/fake_event_log.h"

namespace {

class DiskErrorDecode : public ::testing::Test {
protected:
    void SetUp() override { text_maps_load(LANGUAGE_ENGLISH); }
};

// The published sample: a write of 0x80 sectors at sector 0x0A827529 that timed out while paging.
std::vector<uint8_t> write_error_sample() {
    std::vector<uint8_t> data(0x94, 0);
    auto put = [&](std::size_t at, uint64_t value, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) data[at + i] = static_cast<uint8_t>(value >> (8 * i));
    };
    put(0x00, 4, 1);                    // write
    put(0x02, 0x68, 2);                 // dump data size
    put(0x0C, 0x80040033, 4);           // paging error
    put(0x14, 0xC0000185, 4);           // final status: failed
    put(0x20, 0x0A827529ull * 512, 8);  // byte offset of the bad sector
    put(0x38, 0x48, 1);                 // SRB length
    put(0x3A, 0x04, 1);                 // SRB status busy
    put(0x3E, 0x0A, 1);                 // CDB length
    put(0x40, 0x10000, 4);              // data transfer length: 0x80 sectors of 512 bytes
    put(0x4C, 0x2A, 1);                 // WRITE(10)
    put(0x4D, 0x0A827529, 4);           // logical block address
    put(0x51, 0x80, 2);                 // transfer length in sectors
    put(0x90, 0x70, 1);                 // current sense
    put(0x91, 0x03, 1);                 // medium error
    put(0x92, 0x0C, 1);                 // ASC: write error
    return data;
}

TEST_F(DiskErrorDecode, TheSampleWriteError) {
    const std::vector<uint8_t> data = write_error_sample();
    EXPECT_EQ(disk_error_decode(data.data(), data.size(), true), L"Write Error Detected.\\Paging Error/Timeout");
    const std::wstring full = disk_error_decode(data.data(), data.size(), false);
    for (const wchar_t* part : {
             L"\r\nOperation Type: Write\r\n",
             L"NTSTATUS Error: Likely driver-specific (Paging Error/Timeout)\r\n",
             L"Final Status: Operation failed (0xC0000185)\r\n",
             L"0x00    1                          4  Type of Operation",
             L"0x02    2                       0x68  Dump Data Size (104 Bytes)",
             L"0x20    8               0x1504EA5200  Byte offset to bad sector, if any",
             L"0x4C    1                         2A  Operation Code(Write(10))",
             L"0x4D    4                  0xA827529  Logical Block Address (LBA)",
             L"0x51    2                       0x80  Transfer Length (128 sectors)",
             L"0x91    1                          3  Sense Key (Medium Error)",
             L"\r\nData Length: 148 Bytes\r\n",
         }) {
        EXPECT_NE(full.find(part), std::wstring::npos) << "missing: " << testing::PrintToString(std::wstring(part));
    }
}

TEST_F(DiskErrorDecode, CodesAndShortData) {
    struct Case {
        std::vector<uint8_t> data;
        std::wstring summary;
    };
    const Case cases[] = {
        {{3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x0E, 0, 0, 0xC0}, L"Read Error Detected.\\STATUS_DEVICE_DATA_ERROR"},
        {{15, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x2D, 0, 0, 0x80},
         L"IOCTL Error Detected.\\STATUS_DISK_OPERATION_FAILED"},
        {{9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x01, 0x02, 0, 0}, L"Unknown (0x9) \\Unknown (0x201)"},
        {{4}, L"Write Error Detected.\\Unknown"},
        {{4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x33, 0}, L"Write Error Detected.\\Unknown"},
    };
    for (const Case& c : cases) EXPECT_EQ(disk_error_decode(c.data.data(), c.data.size(), true), c.summary);
    const uint8_t one = 4;
    EXPECT_EQ(disk_error_decode(&one, 0, true), L"Invalid data pointer or length\r\n");
    EXPECT_EQ(disk_error_decode(nullptr, 5, false), L"Invalid data pointer or length\r\n");
    // A short full table shows the fields it has and "--" for the others.
    const std::wstring full = disk_error_decode(&one, 1, false);
    EXPECT_NE(full.find(L"0x93    1                         --  Additional Sense Code Qualifier"), std::wstring::npos);
}

TEST_F(DiskErrorDecode, RawHexIsCutIntoPiecesOf32Bytes) {
    std::vector<uint8_t> data(100, 0xAB);
    const std::wstring full = disk_error_decode(data.data(), data.size(), false);
    const std::wstring piece = L"\r\n" + std::wstring(9, L' ');
    const std::size_t start = full.find(L"Raw Hex: ");
    ASSERT_NE(start, std::wstring::npos);
    const std::wstring raw = full.substr(start + 9, full.find(L"\r\nData Length") - start - 9);
    std::size_t pieces = 0, digits = 0;
    for (wchar_t c : raw) digits += (c == L'A' || c == L'B');
    for (std::size_t at = raw.find(piece); at != std::wstring::npos; at = raw.find(piece, at + 1)) ++pieces;
    EXPECT_EQ(digits, 200u);
    EXPECT_EQ(pieces, 4u) << "three pieces of 64 digits and one of 8";
}

// Random and mutated blocks through the walker, the record fields and both decoder forms. Natively the
// sanitizers stop the run at the first read outside a buffer; each buffer is a vector of its exact size.
TEST_F(DiskErrorDecode, FuzzedBlocksStayInsideTheirBytes) {
    std::mt19937 random(20261210);
    const std::vector<uint8_t> sample = write_error_sample();
    const std::vector<uint8_t> seed_block = [&] {
        std::vector<uint8_t> block = record_bytes({.number = 1,
                                                   .strings = {u"\\Device\\Harddisk1\\DR1"},
                                                   .sid = {1, 1, 0, 0, 0, 0, 0, 5, 18, 0, 0, 0},
                                                   .data = sample});
        const std::vector<uint8_t> second = record_bytes({.number = 2, .source = u"Other", .strings = {u"a", u"b"}});
        block.insert(block.end(), second.begin(), second.end());
        return block;
    }();
    std::size_t records = 0;
    for (int round = 0; round < 20000; ++round) {
        std::vector<uint8_t> block;
        if (round % 4 == 0) {
            block.resize(random() % 400);
            for (auto& b : block) b = static_cast<uint8_t>(random());
        } else {
            block = seed_block;
            const int flips = 1 + static_cast<int>(random() % 8);
            for (int i = 0; i < flips; ++i) {
                const std::size_t at = random() % block.size();
                // Header fields get whole random words now and then, the rest single bytes.
                if (at + 4 <= 56 && random() % 2)
                    put32(block, at & ~std::size_t{3}, static_cast<uint32_t>(random()));
                else
                    block[at] = static_cast<uint8_t>(random());
            }
            if (random() % 3 == 0) block.resize(random() % block.size());
        }
        const std::vector<uint8_t> exact(block);  // heap block of exactly its size
        records += event_records_walk(std::span<const uint8_t>(exact), [&](const EventRecordView& view) {
            EventRecord record;
            event_record_fill(view, record);
            if (!view.data.empty()) {
                const std::vector<uint8_t> data(view.data.begin(), view.data.end());
                disk_error_decode(data.data(), data.size(), true);
                disk_error_decode(data.data(), data.size(), false);
            }
            return true;
        });
        if (round % 7 == 0 && !exact.empty()) {
            const std::vector<uint8_t> data(exact.begin(),
                                            exact.begin() + static_cast<long>(random() % exact.size() + 1));
            disk_error_decode(data.data(), data.size(), round % 2 == 0);
        }
    }
    EXPECT_GT(records, 5000u) << "the mutations should leave many records readable";
}

}  // namespace
