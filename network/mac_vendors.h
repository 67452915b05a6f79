// The MAC vendor list: "Mac-Vendors-Export.csv" imported into MacVendorMap, and the vendor of an address.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

#include "core/shared_tables.h"

// A file of this size or less counts as missing.
inline constexpr size_t MAC_VENDOR_FILE_MIN_BYTES = 1024;
// A larger file is refused: the published list is a few megabytes.
inline constexpr size_t MAC_VENDOR_FILE_MAX_BYTES = 64 * 1024 * 1024;

using MacVendorEntries = std::unordered_map<std::wstring, std::wstring>;

// The entries of the CSV text (UTF-8): the header line is skipped; each further line is a prefix of 6 to 12
// hexadecimal digits (":" and "-" allowed between them), a comma and the vendor, plain up to the next comma or
// quoted; other lines are skipped. Vendor names are cleaned of controls and cut to PING_HOST_TEXT_MAX.
MacVendorEntries mac_vendor_parse(std::string_view bytes);

// Imports the file of DataFiles entry DATA_FILE_MAC_VENDORS (its folder, else its second folder); an empty
// file_name only empties the table. The new entries are built aside and replace the table's whole under its
// lock. Sets MAC_VENDOR_COUNT and the Ping tab's message: the count taken, or unless quiet why none was.
// Returns the number of entries.
int mac_vendor_import(const std::wstring& file_name, MacVendorTable& table, int quiet);

// Replaces the table's entries as a whole (the import's last step).
void mac_vendor_replace(MacVendorTable& table, MacVendorEntries entries);

// The vendor of a hardware address by its longest listed prefix (12 down to 6 digits); empty when none.
std::wstring mac_vendor_lookup(std::wstring_view mac, MacVendorTable& table);
