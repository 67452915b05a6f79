// Fuzz target: the physical disk number that a "disk" event's insertion strings name, read as the watcher reads
// it (the strings joined into the message first). The number is the decimal digits right after the first
// "Harddisk" of a message whose second "\" field is "Device", within int32, else -1; and a message written
// with a number gives that number back.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "eventlog/disk_error_watch.h"
#include "eventlog/event_record.h"
#include "runtime/text.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// The number as the rule above gives it, written independently of the parser.
int64_t expected_number(const std::wstring& message) {
    const std::vector<std::wstring> fields = text_split(message, L'\\');
    if (fields.size() < 2 || fields[1] != L"Device") return -1;
    const std::size_t at = message.find(L"Harddisk");
    if (at == std::wstring::npos) return -1;
    std::size_t end = at + 8;
    while (end < message.size() && message[end] >= L'0' && message[end] <= L'9') ++end;
    if (end == at + 8) return -1;
    int64_t value = 0;
    for (std::size_t i = at + 8; i < end; ++i) {
        value = value * 10 + (message[i] - L'0');
        if (value > 0x7FFFFFFF) return -1;
    }
    return value;
}

// The insertion strings of the input: UTF-8 after a first byte that is even, UTF-16 (little-endian) after an
// odd one; a NUL ends each string, as in the record.
std::vector<std::u16string> strings_of(const uint8_t* data, std::size_t size) {
    std::u16string units;
    if (data[0] % 2 == 0) {
        const std::wstring wide = wide_from_utf8(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
        for (const wchar_t c : wide) {
            if (c > 0xFFFF) {
                units.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
                units.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
            } else {
                units.push_back(static_cast<char16_t>(c));
            }
        }
    } else {
        for (std::size_t i = 1; i + 1 < size; i += 2)
            units.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
    }
    std::vector<std::u16string> strings(1);
    for (const char16_t unit : units) {
        if (unit == 0) {
            strings.emplace_back();
        } else {
            strings.back().push_back(unit);
        }
    }
    return strings;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0 || size > 4096) return 0;
    const std::wstring message = event_message(strings_of(data, size));
    const int number = disk_error_disk_number(message);
    PROPERTY(number == expected_number(message));
    if (number >= 0) {
        const std::wstring again = L"\\Device\\Harddisk" + std::to_wstring(number) + L"\\DR" + std::to_wstring(number);
        PROPERTY(disk_error_disk_number(again) == number);
    }
    return 0;
}
