// Event-log records built as bytes, and a fake log behind the event-log table for the reader and the watcher.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "eventlog/event_log_api.h"

// The fields of one record to build; the bytes follow the Windows layout (56-byte header, source, computer,
// SID, strings, data, padding to 4 bytes, the length again at the end).
struct FakeRecord {
    uint32_t number = 1;
    uint32_t time_generated = 1'700'000'000;
    uint32_t event_id = 7;
    uint16_t type = 1;
    std::u16string source = u"disk";
    std::u16string computer = u"HOST";
    std::vector<std::u16string> strings;
    std::vector<uint8_t> sid;
    std::vector<uint8_t> data;
};

// Offsets of the header fields that tests overwrite to make lying records.
enum RecordField : std::size_t {
    FIELD_LENGTH = 0,
    FIELD_NUM_STRINGS = 26,
    FIELD_STRING_OFFSET = 36,
    FIELD_SID_LENGTH = 40,
    FIELD_SID_OFFSET = 44,
    FIELD_DATA_LENGTH = 48,
    FIELD_DATA_OFFSET = 52,
};

inline void put32(std::vector<uint8_t>& bytes, std::size_t at, uint32_t value) {
    std::memcpy(bytes.data() + at, &value, 4);
}

inline std::vector<uint8_t> record_bytes(const FakeRecord& made) {
    std::vector<uint8_t> bytes(56, 0);
    auto text = [&](const std::u16string& t) {
        for (char16_t c : t) {
            bytes.push_back(static_cast<uint8_t>(c & 0xFF));
            bytes.push_back(static_cast<uint8_t>(c >> 8));
        }
        bytes.push_back(0);
        bytes.push_back(0);
    };
    text(made.source);
    text(made.computer);
    while (bytes.size() % 4) bytes.push_back(0);
    const uint32_t sid_offset = static_cast<uint32_t>(bytes.size());
    bytes.insert(bytes.end(), made.sid.begin(), made.sid.end());
    const uint32_t string_offset = static_cast<uint32_t>(bytes.size());
    for (const auto& s : made.strings) text(s);
    const uint32_t data_offset = static_cast<uint32_t>(bytes.size());
    bytes.insert(bytes.end(), made.data.begin(), made.data.end());
    while (bytes.size() % 4) bytes.push_back(0);
    bytes.resize(bytes.size() + 4);
    const uint32_t length = static_cast<uint32_t>(bytes.size());
    put32(bytes, 0, length);
    put32(bytes, 4, 0x654C664C);  // "LfLe"
    put32(bytes, 8, made.number);
    put32(bytes, 12, made.time_generated);
    put32(bytes, 16, made.time_generated);
    put32(bytes, 20, made.event_id);
    bytes[24] = static_cast<uint8_t>(made.type);
    bytes[26] = static_cast<uint8_t>(made.strings.size());
    put32(bytes, 36, string_offset);
    put32(bytes, 40, static_cast<uint32_t>(made.sid.size()));
    put32(bytes, 44, sid_offset);
    put32(bytes, 48, static_cast<uint32_t>(made.data.size()));
    put32(bytes, 52, data_offset);
    put32(bytes, length - 4, length);
    return bytes;
}

// One fake log "System" (and any other names in `names`), records oldest first. A handle reads backwards from
// the newest record; each read returns as many whole records as fit, or asks for a bigger buffer.
struct FakeEventLog {
    std::vector<std::vector<uint8_t>> records;  // oldest first
    std::vector<uint32_t> numbers;              // record number of each
    std::vector<std::wstring> names{L"System"};
    bool open_fails = false;
    int opens = 0;
    int reads = 0;
    std::size_t largest_buffer = 0;

    void add(const FakeRecord& made) {
        records.push_back(record_bytes(made));
        numbers.push_back(made.number);
    }
    void clear() {
        records.clear();
        numbers.clear();
    }
};

// The fake that the table below serves (one at a time, tests run one after another).
FakeEventLog& fake_event_log();
// Opens so far, readable from another thread than the one that runs the fake.
std::atomic<int>& fake_event_log_opens();
// The table of the fake; installs nothing by itself.
const EventLogApi& fake_event_log_api();
