// Fuzz target: the disk-error decoder on any data, in both forms. The summary holds exactly one "\"; every
// row of the table shows the little-endian value of its own bytes, or "--" exactly when they reach past the
// data; values fit their column; and the raw hexadecimal text reads back (as the details read it) to the data.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/language.h"
#include "eventlog/disk_error_decode.h"
#include "eventlog/event_details.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

constexpr std::size_t VALUE_COLUMN = 14;  // "0x00" + 4 spaces + size digit + 5 spaces
constexpr std::size_t VALUE_WIDTH = 22;   // the value right-justified, then two spaces before the description

int hex_value(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// The value a row must show: the field's bytes, little-endian.
uint64_t field_value(const uint8_t* data, std::size_t offset, std::size_t size) {
    uint64_t value = 0;
    for (std::size_t i = 0; i < size; ++i) value |= static_cast<uint64_t>(data[offset + i]) << (8 * i);
    return value;
}

// One row of the table: "0xOO    S     " + value right-justified in 22 + "  " + description.
void row_check(const std::wstring& line, const uint8_t* data, std::size_t length) {
    PROPERTY(line.size() > VALUE_COLUMN + VALUE_WIDTH + 2);
    PROPERTY(line[VALUE_COLUMN + VALUE_WIDTH] == L' ' && line[VALUE_COLUMN + VALUE_WIDTH + 1] == L' ');
    const int high = hex_value(line[2]);
    const int low = hex_value(line[3]);
    const int size = line[8] - L'0';
    PROPERTY(high >= 0 && low >= 0 && size >= 1 && size <= 8);
    const auto offset = static_cast<std::size_t>(high * 16 + low);
    std::wstring value = line.substr(VALUE_COLUMN, VALUE_WIDTH);
    value.erase(0, value.find_first_not_of(L' '));
    PROPERTY(!value.empty());
    if (offset + static_cast<std::size_t>(size) > length) {
        PROPERTY(value == L"--");
        return;
    }
    uint64_t expected = field_value(data, offset, static_cast<std::size_t>(size));
    if (offset == 0x91) expected &= 0x0F;  // the sense key is the low four bits
    const bool decimal = offset == 0x01 || offset == 0x04 || offset == 0x28;
    uint64_t shown = 0;
    if (decimal) {
        PROPERTY(value.size() <= 20);
        for (const wchar_t c : value) {
            PROPERTY(c >= L'0' && c <= L'9');
            shown = shown * 10 + static_cast<uint64_t>(c - L'0');
        }
    } else {
        std::wstring digits = value;
        if (digits.starts_with(L"0x")) digits.erase(0, 2);
        PROPERTY(!digits.empty() && digits.size() <= 2 * static_cast<std::size_t>(size));
        PROPERTY(digits.size() == 1 || digits[0] != L'0');  // no leading zeros
        for (const wchar_t c : digits) {
            PROPERTY(hex_value(c) >= 0);
            shown = shown * 16 + static_cast<uint64_t>(hex_value(c));
        }
    }
    PROPERTY(shown == expected);
}

void full_check(const std::wstring& text, const uint8_t* data, std::size_t length) {
    std::size_t rows = 0;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find(L"\r\n", begin);
        if (end == std::wstring::npos) end = text.size();
        const std::wstring line = text.substr(begin, end - begin);
        if (line.starts_with(L"0x")) {
            row_check(line, data, length);
            ++rows;
        }
        begin = end + 2;
    }
    PROPERTY(rows == 36);

    const std::wstring raw_label = L"Raw Hex: ";
    const std::wstring length_label = L"\r\nData Length: ";
    const std::size_t raw = text.find(raw_label);
    const std::size_t tail = text.rfind(length_label);
    PROPERTY(raw != std::wstring::npos && tail != std::wstring::npos && raw < tail);
    std::wstring digits;
    std::size_t pieces = 0;
    for (std::size_t i = raw + raw_label.size(); i < tail; ++i) {
        if (text[i] == L'\n') ++pieces;
        if (text[i] != L'\r' && text[i] != L'\n' && text[i] != L' ') digits.push_back(text[i]);
    }
    PROPERTY(pieces == (length + 31) / 32);
    PROPERTY(event_data_bytes(digits, static_cast<int32_t>(length)) == std::vector<uint8_t>(data, data + length));
    PROPERTY(text.compare(tail, std::wstring::npos, length_label + std::to_wstring(length) + L" Bytes\r\n") == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz_state_init_once();
    if (size > 4096) return 0;  // the table reads at most 0x94 bytes; longer data only lengthens the raw text
    const std::wstring summary = disk_error_decode(data, size, true);
    const std::wstring full = disk_error_decode(data, size, false);
    if (size == 0) {
        PROPERTY(summary == L"Invalid data pointer or length\r\n" && full == summary);
        return 0;
    }
    const std::size_t slash = summary.find(L'\\');
    PROPERTY(slash != std::wstring::npos && summary.find(L'\\', slash + 1) == std::wstring::npos);
    PROPERTY(summary.size() <= 64);
    full_check(full, data, size);
    return 0;
}
