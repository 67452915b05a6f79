// The records of an event-log block: a bounds-checked walk over the bytes that ReadEventLogW returns, and the
// fields of one record as the Events tab and the disk-error watcher keep them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/shared_tables.h"

// Size of the fixed header of a Windows event-log record (EVENTLOGRECORD up to DataOffset).
inline constexpr uint32_t EVENT_RECORD_HEADER_SIZE = 56;

// One record of a block, as found in the bytes. Every view lies inside the record: a field whose offset or
// length points outside it is empty, a text without a terminator ends at the record's end.
struct EventRecordView {
    uint32_t length = 0;
    uint32_t record_number = 0;
    uint32_t time_generated = 0;  // seconds since 1970, UTC
    uint32_t time_written = 0;    // seconds since 1970, UTC
    uint32_t event_id = 0;
    uint16_t event_type = 0;
    uint16_t string_count = 0;  // NumStrings as stored
    std::u16string source;
    std::u16string computer;
    std::vector<std::u16string> strings;  // the insertion strings found inside the record (at most string_count)
    std::span<const uint8_t> sid;         // empty when the record has none or its range is outside the record
    std::span<const uint8_t> data;        // likewise for the event data
};

// Reads the record that starts at `offset` of the block. False when no whole record starts there: fewer than
// a header's bytes left, a length below the header size, or a length that reaches past the block.
bool event_record_at(std::span<const uint8_t> block, std::size_t offset, EventRecordView& record);

// Calls visit for each record of the block, in order, advancing by each record's length. The walk ends at the
// end of the block, at the first record that event_record_at refuses, or when visit returns false.
// Returns the number of records visited.
template <typename Visit>
std::size_t event_records_walk(std::span<const uint8_t> block, Visit&& visit) {
    std::size_t offset = 0;
    std::size_t visited = 0;
    EventRecordView record;
    while (offset < block.size() && event_record_at(block, offset, record)) {
        ++visited;
        if (!visit(record)) break;
        offset += record.length;
    }
    return visited;
}

// Event type index 0..5 for the record's EventType bits (error, warning, information, audit success, audit
// failure; the first bit set in that order wins; 0 for none).
int event_type_index(uint16_t event_type);

// The source as the list keeps it: "Software Protection Platform Service" becomes "Security-SPP", then every
// "Microsoft-Windows-" is removed.
std::wstring event_source_name(std::u16string_view source);

// The message of the insertion strings: each trimmed of spaces, the non-empty ones but the last followed by
// " | ", then the last; "\r\n" becomes " | ". Empty when nothing is left.
std::wstring event_message(const std::vector<std::u16string>& strings);

// Each byte as two upper-case hexadecimal digits.
std::wstring event_data_hex(std::span<const uint8_t> data);

// Fills an EventRecord from a record (times still UTC here; the caller converts them). The SID is kept whole;
// a SID longer than the record's field is left out (sid_length 0) rather than cut.
void event_record_fill(const EventRecordView& view, EventRecord& record);
