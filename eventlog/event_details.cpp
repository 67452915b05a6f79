// The details of one event without the controls: the event a row names, the request's serving, and its lines.
#include "eventlog/event_details.h"

#include <algorithm>

#include "core/format_number.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "runtime/text.h"

namespace {

constexpr int LABEL_WIDTH = 17;
constexpr int EXTENT_MARGIN = 3;  // characters beyond the longest line
constexpr wchar_t TIME_MASK[] = L"%yyyy-%mm-%dd %hh:%ii:%ss  ";

std::wstring label(std::wstring_view english) { return right_justify(tr(english), LABEL_WIDTH) + L": "; }

// Every field of the text split at the separator; one field when there is none.
std::vector<std::wstring> fields(std::wstring_view text, std::wstring_view separator) {
    std::vector<std::wstring> result;
    std::size_t start = 0;
    while (true) {
        const std::size_t at = text.find(separator, start);
        if (at == std::wstring_view::npos) break;
        result.emplace_back(text.substr(start, at - start));
        start = at + separator.size();
    }
    result.emplace_back(text.substr(start));
    return result;
}

int hex_digit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    return -1;
}

}  // namespace

int64_t event_details_index(int row, const std::vector<EventRecord>& events, const std::vector<int64_t>& hits) {
    if (row < 0) return -1;
    int64_t index = row;
    if (!hits.empty()) {
        if (static_cast<std::size_t>(row) >= hits.size()) return -1;
        index = hits[static_cast<std::size_t>(row)];
    }
    return index >= 0 && static_cast<uint64_t>(index) < events.size() ? index : -1;
}

void event_details_request_serve(int row, int (*show)(int row)) {
    const int served = show(row);
    // The main thread may have asked for another row while this one was shown (an account lookup can be slow).
    int expected = row;
    SharedInts[EVENTLOG_DETAILS_INDEX].compare_exchange_strong(expected, served);
}

EventDetailsText event_details_text(const EventRecord& event, const EventDetailsInput& input) {
    EventDetailsText text;
    const std::wstring first = label(L"Time Generated") + date_format(TIME_MASK, event.time_generated) + tr(L"Event") +
                               L": " + std::to_wstring(event.event_id) + L"  " + tr(L"Record") + L": " +
                               std::to_wstring(event.record_number) + L"  " + tr(L"Computer") + L": " + event.computer +
                               input.account;
    const std::wstring second = label(L"Time Written") + date_format(TIME_MASK, event.time_written) + tr(L"Type") +
                                L": " + input.type_label + L"  " + tr(L"Source") + L": " + event.source;
    const std::size_t longest = std::max(first.size(), second.size());
    text.lines = {first, second, std::wstring(longest, L'-')};
    text.extent = (static_cast<int>(longest) + EXTENT_MARGIN) * input.char_width;

    std::vector<std::wstring> added;
    if (event.string_count > 0) {
        for (const std::wstring& field : fields(event.message, L" | ")) added.push_back(L" " + field);
    }
    if (!input.disk_decoded.empty() && text_lower_ascii(event.source) == L"disk") {
        for (const std::wstring& line : fields(input.disk_decoded, L"\r\n")) added.push_back(L" " + line);
    }
    for (std::wstring& line : added) {
        const int length = static_cast<int>(line.size());
        if (length * input.char_width > text.extent) text.extent = (length + EXTENT_MARGIN) * input.char_width;
        text.lines.push_back(std::move(line));
    }
    return text;
}

std::vector<uint8_t> event_data_bytes(std::wstring_view hex, int32_t data_length) {
    std::vector<uint8_t> bytes;
    if (data_length <= 0 || hex.size() % 2 != 0) return bytes;
    const std::size_t count = std::min(static_cast<std::size_t>(data_length), hex.size() / 2);
    bytes.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const int high = hex_digit(hex[2 * i]);
        const int low = hex_digit(hex[2 * i + 1]);
        if (high < 0 || low < 0) return {};
        bytes.push_back(static_cast<uint8_t>(high * 16 + low));
    }
    return bytes;
}
