// Volume serials, labels and renames, and the physical disk behind a drive letter.
#include "system/volume_facts.h"

#include <algorithm>
#include <cstring>

#include "core/format_text.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "runtime/text.h"

namespace {

// STORAGE_DEVICE_DESCRIPTOR: Version, Size, four flag bytes, then the offsets of vendor id (12), product
// id (16), revision (20) and serial (24), bus type (28), raw length (32); raw properties from byte 36 on.
constexpr std::size_t VENDOR_OFFSET_AT = 12;
constexpr std::size_t PRODUCT_OFFSET_AT = 16;
constexpr std::size_t DESCRIPTOR_FIXED_PART = 36;

uint32_t read_uint32(const uint8_t* bytes, std::size_t length, std::size_t at) {
    if (at > length || length - at < 4) return 0;
    uint32_t value = 0;
    std::memcpy(&value, bytes + at, 4);
    return value;
}

// The ANSI text at the offset, read up to its zero or the last byte returned.
std::wstring descriptor_text_at(const uint8_t* bytes, std::size_t length, uint32_t offset) {
    if (offset < DESCRIPTOR_FIXED_PART || offset >= length) return {};
    std::wstring text;
    for (std::size_t i = offset; i < length && bytes[i] != 0; ++i) {
        const uint8_t byte = bytes[i];
        text += byte < 0x20 || byte == 0x7F ? L' ' : static_cast<wchar_t>(byte);
    }
    return text_trim(text);
}

}  // namespace

std::wstring volume_serial_text(uint32_t serial) {
    std::wstring text(9, L'-');
    for (int i = 0; i < 8; ++i) {
        const uint32_t digit = (serial >> (28 - 4 * i)) & 0xF;
        text[i < 4 ? i : i + 1] = HEX_DIGITS[digit];
    }
    return text;
}

std::wstring storage_descriptor_text(const uint8_t* bytes, std::size_t length) {
    if (bytes == nullptr) return {};
    const uint32_t vendor_offset = read_uint32(bytes, length, VENDOR_OFFSET_AT);
    const uint32_t product_offset = read_uint32(bytes, length, PRODUCT_OFFSET_AT);
    std::wstring text;
    if (vendor_offset != 0) text = descriptor_text_at(bytes, length, vendor_offset) + L" ";
    if (product_offset != 0) text += descriptor_text_at(bytes, length, product_offset);
    return text_trim(text);
}

std::wstring partition_style_text(int32_t style) {
    switch (style) {
        case 0: return L"MBR";
        case 1: return L"GPT";
        case 2: return L"RAW";
        default: return {};
    }
}

std::wstring device_partition_text(int32_t device_number, int32_t partition_number) {
    if (device_number < 0) return {};
    return std::to_wstring(device_number) + L":" +
           (partition_number < 0 ? std::wstring(L"-") : std::to_wstring(partition_number));
}

std::wstring volume_serial(DriveWork& work, std::wstring_view root, VolumeSerialUse use, DriveNotes& notes,
                           const DrivePlatform& platform) {
    if (root.empty()) return NO_VOLUME_SERIAL;
    const wchar_t letter = text_upper_ascii(root.substr(0, 1))[0];
    if (letter < L'A' || letter > L'Z') return NO_VOLUME_SERIAL;
    VolumeInfo info;
    const bool read = platform.volume_info(letter, info);
    const std::wstring serial = volume_serial_text(read ? info.serial : 0);
    if (use != VOLUME_FACTS_UPDATE || serial == NO_VOLUME_SERIAL) return serial;

    DriveEntry& drive = work.drives[letter - L'A' + 1];
    const FixedText<33> label(info.label.empty() ? std::wstring_view(L" ") : std::wstring_view(info.label));
    const int label_width = std::min(static_cast<int>(std::min<std::size_t>(info.label.size(), 33)) + 1, 32);
    if (SharedInts[VOLUME_NAME_WIDTH].load() < label_width) SharedInts[VOLUME_NAME_WIDTH] = label_width;
    drive.volume_name = label.view();
    drive.name_length = static_cast<int32_t>(info.max_component_length);
    drive.file_system = text_trim(info.file_system);

    if (drive.old_volume_name.empty()) {
        drive.old_volume_name = label.view();
    } else if (!(drive.old_volume_name == label.view())) {
        const std::wstring old_name = drive.old_volume_name.str();
        const std::wstring new_name = label.str();
        notes.push_back({NOTE_STORAGE_MONITOR, tr(L"Old") + L": " + old_name});
        notes.push_back({NOTE_STORAGE_MONITOR, tr(L"New") + L": " + new_name});
        notes.push_back({NOTE_STORAGE_MONITOR, drive.drive_name.str() + L" " + tr(L"Volume name changed") + L"."});
        notes.push_back({NOTE_STORAGE_MONITOR, L"--"});
        if (SharedInts[OPT_LOG_STORAGE_EVENTS].load() != 0) {
            notes.push_back(
                {NOTE_LOG, text_trim(std::wstring(1, letter) + L"* " + drive.serial.str() + L" " + tr(L"Volume Name") +
                                     L": \"" + old_name + L"\" -> \"" + new_name + L"\"")});
        }
        drive.old_volume_name = label.view();
    }
    return serial;
}

int disk_device_info(DriveWork& work, int index, const DrivePlatform& platform) {
    if (index < 1 || index > 26) return 0;
    DriveEntry& drive = work.drives[index];
    drive.partition_style = L"";
    drive.device_number = -1;
    drive.device_text = L"";
    drive.partition_number = -1;
    drive.device_partition = L"";

    DiskQuery query;
    platform.disk_query(static_cast<wchar_t>(L'A' + index - 1), query);
    if (!query.volume_opened) return 0;
    // A CD-ROM or RAM disk device numbers its own kind of devices: its 0 is not physical disk 0.
    const bool physical_disk = drive.drive_type == TYPE_REMOVABLE || drive.drive_type == TYPE_FIXED;
    if (query.number_read && physical_disk) {
        drive.device_number = query.device_number;
        drive.partition_number = query.partition_number;
        drive.device_partition = device_partition_text(query.device_number, query.partition_number);
    }
    drive.device_text = storage_descriptor_text(query.descriptor.data(), query.descriptor.size());
    if (drive.device_number >= 0) drive.partition_style = partition_style_text(query.partition_style);
    return 1;
}
