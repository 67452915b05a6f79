// The bounds-checked walk over event-log blocks and the fields of one record.
#include "eventlog/event_record.h"

#include <cstring>

#include "runtime/text.h"

namespace {

uint32_t u32_at(std::span<const uint8_t> bytes, std::size_t offset) {
    uint32_t value = 0;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

uint16_t u16_at(std::span<const uint8_t> bytes, std::size_t offset) {
    uint16_t value = 0;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

// A zero-terminated UTF-16 text from `offset` up to its terminator or the end of the record; `next` is set
// to the offset after the terminator (or the record's end).
std::u16string text_at(std::span<const uint8_t> record, std::size_t offset, std::size_t& next) {
    std::u16string text;
    while (offset + 2 <= record.size()) {
        const char16_t unit = static_cast<char16_t>(u16_at(record, offset));
        offset += 2;
        if (unit == 0) {
            next = offset;
            return text;
        }
        text.push_back(unit);
    }
    next = record.size();
    return text;
}

// The range [offset, offset + length) of the record, or an empty span when any of it lies outside.
std::span<const uint8_t> range_in(std::span<const uint8_t> record, uint32_t offset, uint32_t length) {
    if (length == 0 || offset > record.size() || length > record.size() - offset) return {};
    return record.subspan(offset, length);
}

std::wstring replace_all(std::wstring text, std::wstring_view from, std::wstring_view to) {
    for (std::size_t at = text.find(from); at != std::wstring::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

}  // namespace

bool event_record_at(std::span<const uint8_t> block, std::size_t offset, EventRecordView& record) {
    if (offset > block.size() || block.size() - offset < EVENT_RECORD_HEADER_SIZE) return false;
    const uint32_t length = u32_at(block, offset);
    if (length < EVENT_RECORD_HEADER_SIZE || length > block.size() - offset) return false;
    const std::span<const uint8_t> bytes = block.subspan(offset, length);
    record = EventRecordView{};
    record.length = length;
    record.record_number = u32_at(bytes, 8);
    record.time_generated = u32_at(bytes, 12);
    record.time_written = u32_at(bytes, 16);
    record.event_id = u32_at(bytes, 20);
    record.event_type = u16_at(bytes, 24);
    record.string_count = u16_at(bytes, 26);
    const uint32_t string_offset = u32_at(bytes, 36);
    const uint32_t sid_length = u32_at(bytes, 40);
    const uint32_t sid_offset = u32_at(bytes, 44);
    const uint32_t data_length = u32_at(bytes, 48);
    const uint32_t data_offset = u32_at(bytes, 52);

    std::size_t next = EVENT_RECORD_HEADER_SIZE;
    record.source = text_at(bytes, next, next);
    record.computer = text_at(bytes, next, next);
    if (string_offset >= EVENT_RECORD_HEADER_SIZE) {
        next = string_offset;
        for (uint32_t i = 0; i < record.string_count && next < bytes.size(); ++i)
            record.strings.push_back(text_at(bytes, next, next));
    }
    record.sid = range_in(bytes, sid_offset, sid_length);
    record.data = range_in(bytes, data_offset, data_length);
    return true;
}

int event_type_index(uint16_t event_type) {
    for (int bit = 0; bit < 5; ++bit)
        if (event_type & (1u << bit)) return bit + 1;
    return 0;
}

std::wstring event_source_name(std::u16string_view source) {
    std::wstring name = wide_from_utf16(source);
    name = replace_all(std::move(name), L"Software Protection Platform Service", L"Security-SPP");
    return replace_all(std::move(name), L"Microsoft-Windows-", L"");
}

std::wstring event_message(const std::vector<std::u16string>& strings) {
    std::wstring message;
    for (std::size_t i = 0; i < strings.size(); ++i) {
        const std::wstring text = text_trim(wide_from_utf16(strings[i]));
        if (i + 1 < strings.size()) {
            if (!text.empty()) message += text + L" | ";
        } else {
            message += text;
        }
    }
    return replace_all(std::move(message), L"\r\n", L" | ");
}

std::wstring event_data_hex(std::span<const uint8_t> data) {
    static constexpr wchar_t digits[] = L"0123456789ABCDEF";
    std::wstring hex;
    hex.reserve(data.size() * 2);
    for (const uint8_t byte : data) {
        hex.push_back(digits[byte >> 4]);
        hex.push_back(digits[byte & 0x0F]);
    }
    return hex;
}

void event_record_fill(const EventRecordView& view, EventRecord& record) {
    record = EventRecord{};
    record.record_number = view.record_number;
    record.time_generated = view.time_generated;
    record.time_written = view.time_written;
    record.event_id = static_cast<int32_t>(view.event_id & 0xFFFF);
    record.type = event_type_index(view.event_type);
    record.source = event_source_name(view.source);
    record.computer = wide_from_utf16(view.computer);
    record.message = event_message(view.strings);
    if (record.message.empty()) {
        record.message = L"--";
    } else {
        record.string_count = view.string_count;
    }
    if (text_lower_ascii(record.source) == L"disk") {
        record.data_length = static_cast<int32_t>(view.data.size());
        if (!view.data.empty()) record.data_hex = event_data_hex(view.data);
    }
    if (!view.sid.empty() && view.sid.size() <= record.sid.size()) {
        record.sid_length = static_cast<int32_t>(view.sid.size());
        std::memcpy(record.sid.data(), view.sid.data(), view.sid.size());
    }
}
