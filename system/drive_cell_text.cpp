// Drive cell texts and the drive filter's items.
#include "system/drive_cell_text.h"

#include <algorithm>
#include <cstdint>

#include "core/format_bytes.h"
#include "core/format_number.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "runtime/text.h"

namespace {

// Padded with spaces on the right, or cut, to exactly `width` characters.
std::wstring left_justify(std::wstring_view text, int width) {
    if (width <= 0) return {};
    std::wstring result(text.substr(0, static_cast<std::size_t>(width)));
    result.resize(static_cast<std::size_t>(width), L' ');
    return result;
}

int32_t percent_of(int64_t part, int64_t total) {
    if (total <= 0 || part <= 0) return 0;
    if (part >= total) return 100;
    if (part <= INT64_MAX / 100) return static_cast<int32_t>(part * 100 / total);
    return static_cast<int32_t>(static_cast<long double>(part) * 100 / static_cast<long double>(total));
}

int32_t low_space_color(int32_t free_percent) {
    if (free_percent < 5) return static_cast<int32_t>(Palette[PALETTE_RED]);
    if (free_percent < 10) return static_cast<int32_t>(Palette[PALETTE_YELLOW]);
    return static_cast<int32_t>(Palette[PALETTE_SILVER]);
}

std::wstring change_part(const DriveEntry& drive) {
    switch (drive.fade_index) {
        case PALETTE_LIGHT_GREEN:  // grew, then fading
        case PALETTE_DARK_GREEN:
        case PALETTE_RED:  // shrank
        case PALETTE_MAROON: return format_bytes(drive.last_change, FORMAT_BYTES_CHANGE);
        case PALETTE_CYAN:  // found
        case PALETTE_TEAL: return L" -" + tr_padded(L"NEW!") + L"-";
        case PALETTE_WHITE:  // lost, or another medium
        case PALETTE_SILVER: return L" -" + tr_padded(L"LOST") + L"-";
        case PALETTE_BLACK: return format_bytes(drive.total_change, FORMAT_BYTES_CHANGE);
        default: return {};
    }
}

}  // namespace

std::wstring drive_line_text(DriveWork& work, int k) {
    if (k < 0 || k > 26) return {};
    DriveEntry& drive = work.drives[k];
    DriveCellState& cell = work.cells[k];
    const int width = std::max(SharedInts[DRIVE_TEXT_WIDTH].load(), 0) + 2;

    std::wstring label;
    if (k > 0) {
        std::wstring name = (drive.error_count != 0 ? shared_text(DISK_ERROR_MARKER) : std::wstring()) +
                            drive.letter.str() + drive.alias_letters.str() + drive.separator.str();
        label = right_justify(name, width);
    } else {
        label.assign(static_cast<std::size_t>(width), L'=');
        int64_t total = 0;
        int64_t free = 0;
        int64_t total_change = 0;
        for (int i = 1; i <= 26; ++i) {
            const DriveEntry& each = work.drives[i];
            if (work.cells[i].shown != CELL_SHOWN || each.drive_type != TYPE_FIXED || each.alias_of != 0) continue;
            total += each.total_bytes;
            free += each.free_bytes;
            total_change += each.total_change;
        }
        drive.total_bytes = total;
        drive.free_bytes = free;
        drive.total_change = total_change;
    }

    const bool no_medium = drive.serial == NO_VOLUME_SERIAL;
    if (k > 0 && drive.drive_type == TYPE_CDROM && !no_medium && drive.cd_tracks > 0) {
        const std::wstring length =
            std::to_wstring(drive.cd_seconds / 60) + L":" + std::to_wstring(drive.cd_seconds % 60);
        return label + L" ()" + left_justify(drive.volume_name.view(), 17) + right_justify(length, 7);
    }
    if (k > 0 && (drive.drive_type == TYPE_REMOVABLE || drive.drive_type == TYPE_CDROM) &&
        (no_medium || drive.drive_type == TYPE_CDROM)) {
        return label + L" ()" + left_justify(drive.volume_name.view(), 16) +
               format_bytes(drive.free_bytes, FORMAT_BYTES_COLUMN);
    }
    if (k > 0 && drive.drive_type == TYPE_REMOTE && drive.total_bytes == 0) {
        cell.text_color = static_cast<int32_t>(Palette[PALETTE_MAGENTA]);
        return label + L" " + left_justify(drive.device_text.view(), 26);
    }
    drive.free_percent = percent_of(drive.free_bytes, drive.total_bytes);
    if (cell.text_color == static_cast<int32_t>(Palette[PALETTE_SILVER]) ||
        cell.text_color == static_cast<int32_t>(Palette[PALETTE_BLACK])) {
        cell.text_color = low_space_color(drive.free_percent);
    }
    return label + right_justify(std::to_wstring(drive.free_percent), 3) + L"%" +
           format_bytes(drive.free_bytes, FORMAT_BYTES_COLUMN) + change_part(drive) +
           format_bytes(drive.total_bytes - drive.free_bytes, FORMAT_BYTES_COLUMN);
}

DriveFilterItems drive_filter_build(DriveWork& work) {
    DriveFilterItems result;
    if (SharedInts[QUIT_FLAG].load() != 0) return result;
    const int chosen_index = SharedInts[DRIVE_FILTER_INDEX].load();
    const std::wstring chosen_serial = text_trim(shared_text(DRIVE_FILTER_SERIAL));
    const int type_width = SharedInts[DRIVE_TYPE_NAME_WIDTH].load();
    const int volume_width = SharedInts[VOLUME_NAME_WIDTH].load() + 1;
    int item = 0;
    int index = chosen_index;
    std::wstring letters;

    result.items.push_back(tr(L"Show ALL Active Drives"));
    for (int i = 1; i <= 26; ++i) {
        if (work.cells[i].drive_row == 0 || work.cells[i].shown != CELL_SHOWN) continue;
        work.cells[i].value_text = drive_line_text(work, i);
        const DriveEntry& drive = work.drives[i];
        const int type = std::clamp(drive.drive_type, 0, 6);
        std::wstring text = tr(L"Filter") + L" " + drive.drive_name.str() +
                            format_bytes(drive.total_bytes, FORMAT_BYTES_COLUMN) + L" (" + drive.serial.str() + L") " +
                            left_justify(DriveTypeNames[type], type_width) +
                            left_justify(drive.volume_name.view(), volume_width);
        if (type == TYPE_REMOTE) {
            text += drive.device_text.str();
        } else {
            text += drive.partition_style.str() + L" " + drive.device_partition.str() + L" " + drive.device_text.str();
        }
        result.items.push_back(std::move(text));
        letters += drive.letter.str();
        const std::wstring serial = text_trim(drive.serial.view());
        if (i == chosen_index || (!chosen_serial.empty() && serial == chosen_serial)) {
            item = static_cast<int>(result.items.size()) - 1;
            index = i;
        }
    }
    const int count = static_cast<int>(result.items.size());
    if (item == 0 || item > count) {
        item = 0;
        index = -1;
    }
    result.selected = item;
    SharedInts[DRIVE_FILTER_ITEM] = item;
    SharedInts[DRIVE_FILTER_INDEX] = index;
    SharedInts[DRIVE_FILTER_ITEM_COUNT] = count;
    shared_text_set(DRIVE_FILTER_LETTERS, letters);
    work.cells[0].value_text = drive_line_text(work, 0);
    return result;
}
