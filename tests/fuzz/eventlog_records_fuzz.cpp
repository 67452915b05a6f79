// Fuzz target: the walk over event-log blocks, the fields of each record, the stored record and its list line,
// and the backwards read that hands the walk its blocks. Every record found lies inside its block and inside
// the buffer it was read into; the data's hexadecimal text reads back to the same bytes; and a block written
// anew from the decoded fields walks to the same records.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "eventlog/event_details.h"
#include "eventlog/event_log_read.h"
#include "eventlog/event_log_reader.h"
#include "eventlog/event_record.h"
#include "eventlog/event_search.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

bool inside(std::span<const uint8_t> part, const uint8_t* begin, std::size_t size) {
    if (part.empty()) return true;
    const auto first = reinterpret_cast<uintptr_t>(part.data());
    const auto start = reinterpret_cast<uintptr_t>(begin);
    return first >= start && first - start <= size && part.size() <= size - (first - start);
}

// The fields a record keeps once decoded, in the order the walk found them.
struct Decoded {
    uint32_t record_number, time_generated, time_written, event_id;
    uint16_t event_type;
    std::u16string source, computer;
    std::vector<std::u16string> strings;
    std::vector<uint8_t> sid, data;

    bool operator==(const Decoded&) const = default;
};

Decoded decoded_of(const EventRecordView& view) {
    return {view.record_number,
            view.time_generated,
            view.time_written,
            view.event_id,
            view.event_type,
            view.source,
            view.computer,
            view.strings,
            {view.sid.begin(), view.sid.end()},
            {view.data.begin(), view.data.end()}};
}

void put16(std::vector<uint8_t>& bytes, std::size_t at, uint16_t value) { std::memcpy(bytes.data() + at, &value, 2); }
void put32(std::vector<uint8_t>& bytes, std::size_t at, uint32_t value) { std::memcpy(bytes.data() + at, &value, 4); }

void text_append(std::vector<uint8_t>& bytes, const std::u16string& text) {
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<uint8_t>(unit >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
}

// One record in the layout Windows writes (EVENTLOGRECORD): the 56-byte header, source and computer name, the
// SID, the insertion strings, the data, padding to 4 bytes and the length once more at the end.
std::vector<uint8_t> record_written(const Decoded& r) {
    std::vector<uint8_t> bytes(EVENT_RECORD_HEADER_SIZE, 0);
    text_append(bytes, r.source);
    text_append(bytes, r.computer);
    while (bytes.size() % 4) bytes.push_back(0);
    const auto sid_offset = static_cast<uint32_t>(bytes.size());
    bytes.insert(bytes.end(), r.sid.begin(), r.sid.end());
    const auto string_offset = static_cast<uint32_t>(bytes.size());
    for (const std::u16string& s : r.strings) text_append(bytes, s);
    const auto data_offset = static_cast<uint32_t>(bytes.size());
    bytes.insert(bytes.end(), r.data.begin(), r.data.end());
    while (bytes.size() % 4) bytes.push_back(0);
    bytes.resize(bytes.size() + 4);
    const auto length = static_cast<uint32_t>(bytes.size());
    put32(bytes, 0, length);
    put32(bytes, 4, 0x654C664C);  // "LfLe"
    put32(bytes, 8, r.record_number);
    put32(bytes, 12, r.time_generated);
    put32(bytes, 16, r.time_written);
    put32(bytes, 20, r.event_id);
    put16(bytes, 24, r.event_type);
    put16(bytes, 26, static_cast<uint16_t>(r.strings.size()));
    put32(bytes, 36, string_offset);
    put32(bytes, 40, static_cast<uint32_t>(r.sid.size()));
    put32(bytes, 44, sid_offset);
    put32(bytes, 48, static_cast<uint32_t>(r.data.size()));
    put32(bytes, 52, data_offset);
    put32(bytes, length - 4, length);
    return bytes;
}

Date local_same(int64_t utc_seconds) { return utc_seconds; }

// What one record must satisfy, wherever it was found: its views inside the record, the counts within what it
// states, and the stored record's texts consistent with the views.
void record_check(const EventRecordView& view, const uint8_t* record_start) {
    PROPERTY(view.length >= EVENT_RECORD_HEADER_SIZE);
    PROPERTY(inside(view.sid, record_start, view.length));
    PROPERTY(inside(view.data, record_start, view.length));
    PROPERTY(view.strings.size() <= view.string_count);
    PROPERTY(2 * (view.source.size() + view.computer.size()) <= view.length - EVENT_RECORD_HEADER_SIZE);
    for (const std::u16string& s : view.strings) PROPERTY(2 * s.size() <= view.length - EVENT_RECORD_HEADER_SIZE);

    const EventRecord record = event_record_stored(view, local_same);
    PROPERTY(record.sid_length >= 0 && static_cast<std::size_t>(record.sid_length) <= record.sid.size());
    PROPERTY(record.sid_length == 0 || static_cast<std::size_t>(record.sid_length) == view.sid.size());
    PROPERTY(!record.message.empty());
    PROPERTY(record.type >= 0 && record.type < EVENT_TYPE_COUNT);
    PROPERTY(record.data_hex.size() == 2 * static_cast<std::size_t>(record.data_length));
    if (record.data_length > 0) {
        // The details read the data back from the stored hexadecimal text.
        PROPERTY(event_data_bytes(record.data_hex, record.data_length) ==
                 std::vector<uint8_t>(view.data.begin(), view.data.end()));
    }
    event_search_line(record, L"Error  ");
}

std::vector<Decoded> walk(std::span<const uint8_t> block) {
    std::vector<Decoded> found;
    std::size_t offset = 0;
    const std::size_t count = event_records_walk(block, [&](const EventRecordView& view) {
        PROPERTY(offset <= block.size() && view.length <= block.size() - offset);
        record_check(view, block.data() + offset);
        offset += view.length;
        found.push_back(decoded_of(view));
        return true;
    });
    PROPERTY(count == found.size());
    PROPERTY(count <= block.size() / EVENT_RECORD_HEADER_SIZE);
    return found;
}

// The backwards read on a fake log: the input is handed out as one block, after a first answer that may ask
// for a buffer of any size and a byte count that may claim more than was written.
struct FakeRead {
    std::span<const uint8_t> bytes;
    uint32_t needed = 0;   // 0: no "too small" answer first
    uint32_t claimed = 0;  // the byte count the read reports
    int calls = 0;
    const uint8_t* buffer = nullptr;
    uint32_t buffer_size = 0;
};
FakeRead fake;

EventLogReadResult fake_read(EventLogHandle, uint8_t* buffer, uint32_t size, uint32_t& bytes_read, uint32_t& needed) {
    ++fake.calls;
    if (fake.calls == 1 && fake.needed != 0) {
        needed = fake.needed;
        return EVENT_LOG_READ_TOO_SMALL;
    }
    if (fake.calls > 3) return EVENT_LOG_READ_END;
    const std::size_t copied = fake.bytes.size() < size ? fake.bytes.size() : size;
    if (copied) std::memcpy(buffer, fake.bytes.data(), copied);
    fake.buffer = buffer;
    fake.buffer_size = size;
    bytes_read = fake.claimed;
    return EVENT_LOG_READ_OK;
}

void read_backwards_check(std::span<const uint8_t> block, uint32_t needed, uint32_t claimed) {
    fake = FakeRead{block, needed, claimed};
    EventLogApi api{};
    api.read_backwards = fake_read;
    std::size_t records = 0;
    event_log_read_backwards(api, nullptr, [&](const EventRecordView& view) {
        PROPERTY(fake.buffer != nullptr);
        PROPERTY(inside(view.data, fake.buffer, fake.buffer_size));
        PROPERTY(inside(view.sid, fake.buffer, fake.buffer_size));
        ++records;
        return records < 10000;
    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz_state_init_once();
    const std::span<const uint8_t> block(data, size);
    const std::vector<Decoded> first = walk(block);

    // Written anew from what was decoded, the block walks to the same records.
    std::vector<uint8_t> rewritten;
    for (const Decoded& r : first) {
        const std::vector<uint8_t> bytes = record_written(r);
        rewritten.insert(rewritten.end(), bytes.begin(), bytes.end());
    }
    PROPERTY(walk(rewritten) == first);

    // The last 8 bytes, when there are that many, say what the fake log claims.
    uint32_t needed = 0;
    uint32_t claimed = static_cast<uint32_t>(size);
    if (size >= 8) {
        std::memcpy(&needed, data + size - 8, 4);
        std::memcpy(&claimed, data + size - 4, 4);
        // Mostly buffers of up to 256 KiB, which keeps the rounds fast; a top byte of FF asks for more than the
        // read ever allocates.
        needed = (needed >> 24) == 0xFF ? needed : needed & 0x3FFFF;
    }
    read_backwards_check(block, needed, claimed);
    return 0;
}
