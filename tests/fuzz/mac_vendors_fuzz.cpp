// The MAC vendor list "Mac-Vendors-Export.csv": any bytes through the CSV reader, and through the program's import
// from the data folder when the file is large enough to count.
//
// Properties: every entry is a prefix of 6 to 12 lower-case hexadecimal digits with a vendor that is not empty,
// trimmed, free of controls and at most PING_HOST_TEXT_MAX characters; no more entries than lines; the entries
// written as a CSV file read back the same; every prefix looks up its own vendor; the import takes what the reader
// takes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "network/host_naming.h"
#include "network/mac_vendors.h"
#include "network/ping_hosts.h"
#include "runtime/file_io.h"
#include "runtime/text.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

bool hex_key(const std::wstring& key) {
    if (key.size() < 6 || key.size() > 12) return false;
    for (const wchar_t c : key) {
        if (!((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f'))) return false;
    }
    return true;
}

// The entries as a file of the published list's shape: a vendor with a comma quoted, any other after a blank.
std::string csv_of(const MacVendorEntries& entries) {
    std::string csv = "Mac Prefix,Vendor Name,Private,Block Type,Last Update\r\n";
    for (const auto& [key, vendor] : entries) {
        const std::string text = utf8_from_wide(vendor);
        const bool quoted = vendor.find(L',') != std::wstring::npos;
        csv += utf8_from_wide(key) + (quoted ? ",\"" + text + "\"" : ", " + text) + ",false,MA-L,2024/01/01\r\n";
    }
    return csv;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const MacVendorEntries entries = mac_vendor_parse(bytes);

    size_t lines = 0;
    for (const char c : bytes) lines += c == '\n' ? 1 : 0;
    fuzz_require(entries.size() <= lines, "no more entries than lines after the header");
    for (const auto& [key, vendor] : entries) {
        fuzz_require(hex_key(key), "a prefix is 6 to 12 lower-case hexadecimal digits");
        fuzz_require(!vendor.empty() && vendor.size() <= PING_HOST_TEXT_MAX, "a vendor is 1 to 40 characters");
        fuzz_require(vendor == text_trim(vendor), "a vendor is trimmed");
        fuzz_require(vendor == host_text_clean(vendor), "a vendor holds no controls");
    }
    fuzz_require(mac_vendor_parse(csv_of(entries)) == entries, "the entries written read back the same");

    MacVendorTable table;
    mac_vendor_replace(table, entries);
    for (const auto& [key, vendor] : entries) {
        fuzz_require(mac_vendor_lookup(key, table) == vendor, "a prefix looks up its own vendor");
    }

    // The import counts a file of MAC_VENDOR_FILE_MIN_BYTES or less as missing.
    if (size > MAC_VENDOR_FILE_MIN_BYTES) {
        const FuzzFolders& folders = fuzz_program_reset();
        const std::wstring name = L"Mac-Vendors-Export.csv";
        fuzz_require(file_write_atomic(file_path(folders.Data + name), bytes, false), "the input is written");
        const int count = mac_vendor_import(name, MacVendorMap, 1);
        fuzz_require(count == static_cast<int>(entries.size()) && SharedInts[MAC_VENDOR_COUNT].load() == count,
                     "the import takes what the reader takes");
        for (const auto& [key, vendor] : entries) {
            fuzz_require(mac_vendor_lookup(key, MacVendorMap) == vendor, "an imported prefix looks up its vendor");
        }
        mac_vendor_import(L"", MacVendorMap, 1);
    }
    return 0;
}
