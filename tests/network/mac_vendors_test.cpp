// Tests of the MAC vendor list: the CSV lines it takes and skips, the size rule, longest-prefix lookups and the
// whole-map replacement while probes look vendors up.
#include "network/mac_vendors.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/files_test_support.h"
#include "network/ping_monitor.h"

namespace {

TEST(MacVendorCsv, TakesPlainAndQuotedVendorsAndSkipsBadLines) {
    const std::string csv =
        "Mac Prefix,Vendor Name,Private,Block Type,Last Update\r\n"
        "00:1A:2B,Vendor One,false,MA-L,2015/11/17\r\n"
        "00:1A:2B:3C:4,\"Vendor, Nine Digits\",false,MA-M,\r\n"
        "AA-BB-CC,\"Unclosed, quote\r\n"
        "no comma here\r\n"
        "zz:zz:zz,Not Hex\r\n"
        "00:1A,Too Short\r\n"
        "11:22:33,\x1b[31mRed\x07 Vendor\xE2\x80\xAE" +
        std::string(60, 'x') +
        "\n"
        "00:1A:2B,Vendor One Again\n"
        "44:55:66,";
    const MacVendorEntries entries = mac_vendor_parse(csv);
    EXPECT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries.at(L"001a2b"), L"Vendor One Again") << "a later line replaces an earlier one";
    EXPECT_EQ(entries.at(L"001a2b3c4"), L"Vendor, Nine Digits");
    EXPECT_EQ(entries.at(L"112233"), L"[31mRed Vendor" + std::wstring(26, L'x')) << "controls go, the width is kept";
    EXPECT_TRUE(mac_vendor_parse("").empty());
    EXPECT_TRUE(mac_vendor_parse("only,a header").empty());
}

// A vendor cut to its width keeps no blanks at its end: the cut comes before the trim would see them.
TEST(MacVendorCsv, VendorCutToItsWidthEndsWithoutBlanks) {
    const std::string vendor = "Long Vendor" + std::string(28, 'x') + "  Tail";
    const MacVendorEntries entries = mac_vendor_parse("header\n00:1A:2B," + vendor + "\n");
    ASSERT_EQ(entries.count(L"001a2b"), 1u);
    EXPECT_EQ(entries.at(L"001a2b"), L"Long Vendor" + std::wstring(28, L'x'));
}

TEST(MacVendorLookup, TheLongestListedPrefixWins) {
    MacVendorTable table;
    mac_vendor_replace(table, {{L"001a2b", L"Block"}, {L"001a2b3c4", L"Small Block"}});
    EXPECT_EQ(mac_vendor_lookup(L"00-1A-2B-3C-4D-5E", table), L"Small Block");
    EXPECT_EQ(mac_vendor_lookup(L"00:1A:2B:FF:4D:5E", table), L"Block");
    EXPECT_EQ(mac_vendor_lookup(L"00:1A:2C:FF:4D:5E", table), L"");
    EXPECT_EQ(mac_vendor_lookup(L"00:1A", table), L"");
}

// Probes look vendors up while the Ping tab's import button replaces the list: every lookup sees the old or the
// new list whole.
TEST(MacVendorLookup, AnImportReplacesTheMapWholeWhileLookupsRun) {
    MacVendorTable table;
    MacVendorEntries first;
    MacVendorEntries second;
    for (int n = 0; n < 2000; ++n) {
        wchar_t key[8];
        std::swprintf(key, 8, L"%06x", n);
        first[key] = L"first";
        second[key] = L"second";
    }
    mac_vendor_replace(table, first);
    std::atomic<bool> stop{false};
    std::atomic<int> wrong{0};
    std::thread reader([&] {
        while (!stop.load()) {
            const std::wstring vendor = mac_vendor_lookup(L"00:07:cf:00:00:00", table);
            if (vendor != L"first" && vendor != L"second") ++wrong;
        }
    });
    for (int round = 0; round < 50; ++round) mac_vendor_replace(table, round % 2 ? first : second);
    stop = true;
    reader.join();
    EXPECT_EQ(wrong.load(), 0) << "a lookup met a list half replaced";
}

class MacVendorImport : public FilesTest {
protected:
    void SetUp() override {
        FilesTest::SetUp();
        data_folder_create();
        std::lock_guard guard(DataFilesLock);
        DataFiles[DATA_FILE_MAC_VENDORS].folder = DataFolder;
        DataFiles[DATA_FILE_MAC_VENDORS].alt_folder = ProgramFolder;
    }

    static std::string csv_of_size(size_t size) {
        std::string csv = "Mac Prefix,Vendor Name\n00:1A:2B,Vendor One\n";
        csv.resize(size, ' ');
        return csv;
    }
};

TEST_F(MacVendorImport, AFileOf1024BytesOrLessCountsAsMissing) {
    const std::wstring name = L"Mac-Vendors-Export.csv";
    ASSERT_TRUE(file_write_bytes(DataFolder + name, csv_of_size(1024)));
    EXPECT_EQ(mac_vendor_import(name, MacVendorMap, 0), 0);
    EXPECT_EQ(shared_text(STATUS_MESSAGE), L"File not found or empty: Mac-Vendors-Export.csv");
    // The program's folder holds the larger file: it is taken, and looked for there first next time.
    ASSERT_TRUE(file_write_bytes(ProgramFolder + name, csv_of_size(1025)));
    EXPECT_EQ(mac_vendor_import(name, MacVendorMap, 0), 1);
    EXPECT_EQ(SharedInts[MAC_VENDOR_COUNT].load(), 1);
    EXPECT_EQ(shared_text(STATUS_MESSAGE), L"Imported 1 MAC Vendors");
    {
        std::lock_guard guard(DataFilesLock);
        EXPECT_EQ(DataFiles[DATA_FILE_MAC_VENDORS].folder, ProgramFolder);
    }
    EXPECT_EQ(mac_vendor_import(L"", MacVendorMap, 0), 0);
    EXPECT_EQ(shared_text(STATUS_MESSAGE), L"Clearing List: MAC Vendors");
    EXPECT_EQ(mac_vendor_lookup(L"00:1A:2B:00:00:00", MacVendorMap), L"");
}

// The quiet import of the monitor's start tells of a list it took, as the buttons do, and of nothing else.
TEST_F(MacVendorImport, AQuietImportTellsOnlyOfTheVendorsItTook) {
    const std::wstring name = L"Mac-Vendors-Export.csv";
    struct Case {
        size_t size;  // 0: no file name (the list cleared)
        std::wstring message;
    };
    for (const Case& c : {Case{1025, L"Imported 1 MAC Vendors"}, Case{1024, L"earlier"}, Case{0, L"earlier"}}) {
        SCOPED_TRACE(c.size);
        ASSERT_TRUE(file_write_bytes(DataFolder + name, csv_of_size(std::max<size_t>(c.size, 1))));
        shared_text_set(STATUS_MESSAGE, L"earlier");
        EXPECT_EQ(mac_vendor_import(c.size > 0 ? name : L"", MacVendorMap, 1), c.size > 1024 ? 1 : 0);
        EXPECT_EQ(shared_text(STATUS_MESSAGE), c.message);
    }
}

}  // namespace
