// The decoder of the data of "disk" events (full table and summary).
#include "eventlog/disk_error_decode.h"

#include <optional>
#include <span>

#include "core/language.h"

namespace {

// A little-endian field of `size` bytes at `offset`, when it lies wholly inside the data.
std::optional<uint64_t> field(std::span<const uint8_t> data, std::size_t offset, std::size_t size) {
    if (offset > data.size() || size > data.size() - offset) return std::nullopt;
    uint64_t value = 0;
    for (std::size_t i = 0; i < size; ++i) value |= static_cast<uint64_t>(data[offset + i]) << (8 * i);
    return value;
}

std::wstring hex(uint64_t value) {
    static constexpr wchar_t digits[] = L"0123456789ABCDEF";
    std::wstring text;
    do {
        text.insert(text.begin(), digits[value & 0x0F]);
        value >>= 4;
    } while (value != 0);
    return text;
}

std::wstring operation_full(uint64_t code) {
    switch (code) {
        case 3: return tr(L"Read");
        case 4: return tr(L"Write");
        case 15: return tr(L"IOCTL");
        default: return tr(L"Unknown") + L" (0x" + hex(code) + L")";
    }
}

std::wstring operation_short(std::optional<uint64_t> code) {
    if (!code) return tr(L"Unknown") + L" ";
    switch (*code) {
        case 3: return tr(L"Read Error Detected") + L".";
        case 4: return tr(L"Write Error Detected") + L".";
        case 15: return tr(L"IOCTL Error Detected") + L".";
        default: return tr(L"Unknown") + L" (0x" + hex(*code) + L") ";
    }
}

std::wstring status_name(std::optional<uint64_t> code, bool short_form) {
    if (!code) return tr(L"Unknown");
    switch (*code) {
        case 0x80040033:
            return short_form ? tr(L"Paging Error/Timeout")
                              : tr(L"Likely driver-specific") + L" (" + tr(L"Paging Error/Timeout") + L")";
        case 0x8000002D: return tr(L"STATUS_DISK_OPERATION_FAILED");
        case 0xC000000E: return tr(L"STATUS_DEVICE_DATA_ERROR");
        default: return tr(L"Unknown") + L" (0x" + hex(*code) + L")";
    }
}

std::wstring cdb_operation_name(uint64_t code) {
    switch (code) {
        case 0x28: return tr(L"Read") + L"(10)";
        case 0x2A: return tr(L"Write") + L"(10)";
        case 0xA8: return tr(L"Read") + L"(12)";
        case 0xAA: return tr(L"Write") + L"(12)";
        default: return tr(L"Unknown") + L" (0x" + hex(code) + L")";
    }
}

std::wstring sense_key_name(uint64_t key) {
    static constexpr const wchar_t* names[] = {L"No Sense",       L"Recovered Error", L"Not Ready",     L"Medium Error",
                                               L"Hardware Error", L"Illegal Request", L"Unit Attention"};
    if (key < std::size(names)) return tr(names[key]);
    if (key == 0x0B) return tr(L"Aborted Command");
    return tr(L"Unknown") + L" (0x" + hex(key) + L")";
}

enum ValueStyle { HEX_PLAIN, HEX_PREFIXED, DECIMAL };

struct Row {
    std::wstring& out;
    std::span<const uint8_t> data;

    // One table row: prefix, value right-justified in 22 characters, two spaces, the description.
    void add(std::size_t offset, std::size_t size, ValueStyle style, const std::wstring& description,
             uint64_t mask = ~0ull) const {
        const std::optional<uint64_t> value = field(data, offset, size);
        std::wstring text = L"--";
        if (value) {
            const uint64_t v = *value & mask;
            text = style == DECIMAL ? std::to_wstring(v) : (style == HEX_PREFIXED ? L"0x" : L"") + hex(v);
        }
        std::wstring prefix = L"0x" + hex(offset);
        if (prefix.size() < 4) prefix.insert(2, 4 - prefix.size(), L'0');
        out += prefix + L"    " + std::to_wstring(size) + L"     ";
        if (text.size() < 22) out.append(22 - text.size(), L' ');
        out += text + L"  " + description + L"\r\n";
    }
};

std::wstring decimal_or_dash(std::optional<uint64_t> value, uint64_t mask = ~0ull) {
    return value ? std::to_wstring(*value & mask) : std::wstring(L"--");
}

}  // namespace

std::wstring disk_error_decode(const uint8_t* data_address, std::size_t length, bool short_form) {
    if (data_address == nullptr || length < 1) return tr(L"Invalid data pointer or length") + L"\r\n";
    const std::span<const uint8_t> data(data_address, length);
    const std::optional<uint64_t> operation = field(data, 0x00, 1);
    const std::optional<uint64_t> error_code = field(data, 0x0C, 4);
    if (short_form) return operation_short(operation) + L"\\" + status_name(error_code, true);

    std::wstring text = L"\r\n" + tr(L"Operation Type") + L": " + operation_full(*operation) + L"\r\n";
    text += tr(L"NTSTATUS Error") + L": " + status_name(error_code, false) + L"\r\n";
    const std::optional<uint64_t> final_status = field(data, 0x14, 4);
    text += tr(L"Final Status") + L": ";
    if (final_status && *final_status == 0) {
        text += tr(L"Operation will be retried") + L"\r\n";
    } else {
        text += tr(L"Operation failed") + L" (0x" + (final_status ? hex(*final_status) : L"--") + L")\r\n";
    }
    text += L"\r\n" + tr(L"Offset") + L"  " + tr(L"Bytes") + L"  " + tr(L"Value") + std::wstring(18, L' ') +
            tr(L"Description") + L"\r\n";
    text += L"------  -----  ---------------------  ---------------------------------------------\r\n";

    const Row row{text, data};
    row.add(0x00, 1, HEX_PLAIN,
            tr(L"Type of Operation") + L" (0x03 = " + tr(L"Read") + L", 0x04 = " + tr(L"Write") + L", 0x0F = " +
                tr(L"IOCTL") + L")");
    row.add(0x01, 1, DECIMAL, tr(L"Number of retries remaining"));
    row.add(0x02, 2, HEX_PREFIXED,
            tr(L"Dump Data Size") + L" (" + decimal_or_dash(field(data, 0x02, 2)) + L" " + tr(L"Bytes") + L")");
    row.add(0x04, 2, DECIMAL, tr(L"Number of associated device name strings"));
    row.add(0x06, 2, HEX_PREFIXED, tr(L"Offset to device name (string not in binary)"));
    row.add(0x08, 2, HEX_PREFIXED, tr(L"Unused"));
    row.add(0x0A, 2, HEX_PREFIXED, tr(L"Padding bytes"));
    row.add(0x0C, 4, HEX_PREFIXED, tr(L"NTSTATUS Error Code"));
    row.add(0x10, 4, HEX_PREFIXED, tr(L"Unique Error Value (driver-specific)"));
    row.add(0x14, 4, HEX_PREFIXED, tr(L"NTSTATUS Final Status (0x00000000 = will retry)"));
    row.add(0x18, 4, HEX_PREFIXED, tr(L"Sequence Number"));
    row.add(0x1C, 4, HEX_PREFIXED, tr(L"Io Control Code"));
    row.add(0x20, 8, HEX_PREFIXED, tr(L"Byte offset to bad sector, if any"));
    row.add(0x28, 8, DECIMAL, tr(L"Tick count when the error occurred"));
    row.add(0x30, 4, HEX_PREFIXED, tr(L"Port Number"));
    row.add(0x34, 1, HEX_PREFIXED, tr(L"Error Flags"));
    row.add(0x35, 3, HEX_PREFIXED, tr(L"Unused"));

    text += L"\r\n" + tr(L"SCSI Request Block (SRB)") + L":\r\n";
    row.add(0x38, 1, HEX_PLAIN, tr(L"SRB Length"));
    row.add(0x39, 1, HEX_PLAIN, tr(L"SRB Function (0x00 = EXECUTE_SCSI)"));
    row.add(0x3A, 1, HEX_PLAIN, tr(L"SRB Status (0x01 = ERROR, 0x04 = BUSY)"));
    row.add(0x3B, 1, HEX_PLAIN, tr(L"SCSI Path ID"));
    row.add(0x3C, 1, HEX_PLAIN, tr(L"SCSI Target ID"));
    row.add(0x3D, 1, HEX_PLAIN, tr(L"SCSI LUN"));
    row.add(0x3E, 1, HEX_PLAIN, tr(L"CDB Length"));
    row.add(0x3F, 1, HEX_PLAIN, tr(L"Sense Info Length"));
    row.add(0x40, 4, HEX_PREFIXED, tr(L"Data Transfer Length"));
    row.add(0x44, 4, HEX_PREFIXED, tr(L"Data Buffer Offset"));
    row.add(0x48, 4, HEX_PREFIXED, tr(L"Sense Info Offset"));

    text += L"\r\n" + tr(L"Command Descriptor Block (CDB)") + L":\r\n";
    const std::optional<uint64_t> cdb_operation = field(data, 0x4C, 1);
    row.add(0x4C, 1, HEX_PLAIN,
            tr(L"Operation Code") + L"(" + (cdb_operation ? cdb_operation_name(*cdb_operation) : L"--") + L")");
    row.add(0x4D, 4, HEX_PREFIXED, tr(L"Logical Block Address (LBA)"));
    row.add(0x51, 2, HEX_PREFIXED,
            tr(L"Transfer Length") + L" (" + decimal_or_dash(field(data, 0x51, 2)) + L" " + tr(L"sectors") + L")");
    row.add(0x53, 1, HEX_PREFIXED, tr(L"Control"));

    text += L"\r\n" + tr(L"Sense Data") + L":\r\n";
    const std::optional<uint64_t> sense_key = field(data, 0x91, 1);
    row.add(0x90, 1, HEX_PLAIN, tr(L"Response Code (0x70 = Current, 0x71 = Deferred)"));
    row.add(0x91, 1, HEX_PLAIN,
            tr(L"Sense Key") + L" (" + (sense_key ? sense_key_name(*sense_key & 0x0F) : L"--") + L")", 0x0F);
    row.add(0x92, 1, HEX_PREFIXED, tr(L"Additional Sense Code (ASC)"));
    row.add(0x93, 1, HEX_PREFIXED, tr(L"Additional Sense Code Qualifier (ASCQ)"));

    text += L"\r\n" + tr(L"Raw Hex") + L": ";
    static constexpr wchar_t digits[] = L"0123456789ABCDEF";
    for (std::size_t i = 0; i < data.size(); ++i) {
        text.push_back(digits[data[i] >> 4]);
        text.push_back(digits[data[i] & 0x0F]);
        if (i % 32 == 31 || i + 1 == data.size()) text += L"\r\n" + std::wstring(9, L' ');
    }
    text += L"\r\n" + tr(L"Data Length") + L": " + std::to_wstring(data.size()) + L" " + tr(L"Bytes") + L"\r\n";
    return text;
}
