// The MAC vendor list: importing "Mac-Vendors-Export.csv" and looking up a hardware address's vendor.
#include "network/mac_vendors.h"

#include <algorithm>
#include <mutex>

#include "core/control_numbers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "network/host_naming.h"
#include "network/ping_hosts.h"
#include "network/ping_monitor.h"
#include "runtime/file_io.h"
#include "runtime/text.h"

namespace {

bool hex_digit(wchar_t c) { return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f'); }

// The prefix of a line: separators removed, lower case; empty when it is not 6 to 12 hexadecimal digits.
std::wstring prefix_key(std::wstring_view text) {
    std::wstring key;
    for (const wchar_t c : text_lower_ascii(text_trim(text))) {
        if (c == L':' || c == L'-') continue;
        if (!hex_digit(c)) return {};
        key += c;
    }
    return key.size() >= 6 && key.size() <= 12 ? key : std::wstring();
}

// Trimmed after the cut as well: a cut inside the name can leave blanks at its end.
std::wstring vendor_text(std::wstring_view text) {
    std::wstring vendor = text_trim(host_text_clean(text));
    if (vendor.size() > PING_HOST_TEXT_MAX) vendor = text_trim(text_cut(vendor, PING_HOST_TEXT_MAX));
    return vendor;
}

// A file larger than the minimum: the folder first, then the second folder (which then becomes the first).
std::wstring file_find(const std::wstring& file_name, std::wstring& folder_used) {
    std::wstring folder;
    std::wstring second;
    {
        std::lock_guard guard(DataFilesLock);
        folder = DataFiles[DATA_FILE_MAC_VENDORS].folder;
        second = DataFiles[DATA_FILE_MAC_VENDORS].alt_folder;
    }
    for (const std::wstring& place : {folder, second}) {
        if (place.empty()) continue;
        std::string bytes;
        FileError error = FILE_OK;
        const std::wstring path = place + file_name;
        // Only the size is wanted here: a read of one byte more than the minimum tells it.
        if (!file_read_all(file_path(path), bytes, MAC_VENDOR_FILE_MAX_BYTES, &error)) continue;
        if (bytes.size() <= MAC_VENDOR_FILE_MIN_BYTES) continue;
        folder_used = place;
        if (place == second && second != folder) {
            std::lock_guard guard(DataFilesLock);
            std::swap(DataFiles[DATA_FILE_MAC_VENDORS].folder, DataFiles[DATA_FILE_MAC_VENDORS].alt_folder);
        }
        return path;
    }
    return {};
}

}  // namespace

MacVendorEntries mac_vendor_parse(std::string_view bytes) {
    MacVendorEntries entries;
    const std::wstring text = wide_from_utf8(bytes);
    size_t start = text.find(L'\n');  // the header line
    while (start != std::wstring::npos && start < text.size()) {
        ++start;
        size_t end = text.find(L'\n', start);
        std::wstring_view line(text.data() + start, (end == std::wstring::npos ? text.size() : end) - start);
        start = end;
        if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
        const size_t comma = line.find(L',');
        if (comma == std::wstring_view::npos) continue;
        const std::wstring key = prefix_key(line.substr(0, comma));
        if (key.empty()) continue;
        std::wstring_view rest = line.substr(comma + 1);
        std::wstring_view value;
        if (!rest.empty() && rest.front() == L'"') {
            const size_t close = rest.find(L'"', 1);
            if (close == std::wstring_view::npos) continue;
            value = rest.substr(1, close - 1);
        } else {
            value = rest.substr(0, rest.find(L','));
        }
        std::wstring vendor = vendor_text(value);
        if (vendor.empty()) continue;
        entries[key] = std::move(vendor);
    }
    return entries;
}

void mac_vendor_replace(MacVendorTable& table, MacVendorEntries entries) {
    MacVendorEntries old;
    {
        std::lock_guard guard(table.lock);
        old.swap(table.map);
        table.map.swap(entries);
    }
    // The old entries are freed here, outside the lock.
}

int mac_vendor_import(const std::wstring& file_name, MacVendorTable& table, int quiet) {
    MacVendorEntries entries;
    std::wstring message;
    std::wstring shown_name;
    {
        std::lock_guard guard(DataFilesLock);
        shown_name = DataFiles[DATA_FILE_MAC_VENDORS].file_name;
    }
    if (file_name.empty()) {
        message = tr(L"Clearing List") + L": " + tr(L"MAC Vendors");
    } else {
        std::wstring folder;
        const std::wstring path = file_find(file_name, folder);
        std::string bytes;
        if (path.empty()) {
            message = tr(L"File not found or empty") + L": " + shown_name;
        } else if (!file_read_all(file_path(path), bytes, MAC_VENDOR_FILE_MAX_BYTES)) {
            message = tr(L"Cannot open file") + L": " + shown_name;
        } else {
            entries = mac_vendor_parse(bytes);
        }
    }
    const int count = static_cast<int>(entries.size());
    mac_vendor_replace(table, std::move(entries));
    SharedInts[MAC_VENDOR_COUNT] = count;
    const PingUi& ui = ping_ui();
    if (ui.control_exists(TEXT_MAC_VENDOR_FILE)) {
        ui.control_text_set(TEXT_MAC_VENDOR_FILE,
                            shown_name + L" - " +
                                (count > 0 ? tr(L"Active") + L" (" + std::to_wstring(count) + L")" : tr(L"Inactive")));
    }
    // A quiet import (the monitor's start) tells only of a list it took, never of a file that is not there.
    if (quiet) message.clear();
    if (count > 0) message = tr(L"Imported") + L" " + std::to_wstring(count) + L" " + tr(L"MAC Vendors");
    if (!message.empty()) ping_message(ui, message);
    return count;
}

std::wstring mac_vendor_lookup(std::wstring_view mac, MacVendorTable& table) {
    std::wstring key;
    for (const wchar_t c : text_lower_ascii(mac)) {
        if (c != L':' && c != L'-') key += c;
    }
    if (key.size() < 6) return {};
    std::lock_guard guard(table.lock);
    for (size_t n = std::min<size_t>(12, key.size()); n >= 6; --n) {
        const auto found = table.map.find(key.substr(0, n));
        if (found != table.map.end()) return found->second;
    }
    return {};
}
