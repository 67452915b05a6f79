// The drive letters present and the rebuild of the drive table from them.
#include "system/drive_rescan.h"

#include <algorithm>

#include "core/format_bytes.h"
#include "core/format_number.h"
#include "core/format_text.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "runtime/date.h"
#include "runtime/text.h"
#include "system/volume_facts.h"

namespace {

// Rows go to fixed drives, then (before the removable ones) the summary, then the other types.
constexpr int ROW_ORDER[] = {TYPE_FIXED, TYPE_REMOVABLE, TYPE_NO_ROOT, TYPE_RAMDISK, TYPE_CDROM, TYPE_REMOTE};

void raise_to(SharedIntIndex index, int value) {
    if (SharedInts[index].load() < value) SharedInts[index] = value;
}

bool blank(std::wstring_view text) { return text_trim(text).empty(); }

void add(DriveNotes& notes, std::wstring text) { notes.push_back({NOTE_STORAGE_MONITOR, std::move(text)}); }

std::wstring log_space_line(const DriveEntry& drive, wchar_t letter, std::wstring_view mark, std::wstring_view serial) {
    return std::wstring(1, letter) + std::wstring(mark) + std::wstring(serial) + L" " +
           std::to_wstring(drive.free_bytes) + L" " + std::to_wstring(drive.total_bytes) + L" " +
           text_trim(drive.volume_name.view());
}

std::wstring audio_cd_label(int32_t tracks, std::wstring_view serial) {
    std::wstring label = tr_padded(L"Audio") + L": ";
    if (tracks == 0) return label + std::wstring(serial);
    if (tracks == 1) return label + L"1 " + tr_padded(L"Track");
    return label + std::to_wstring(tracks) + L" " + tr_padded(L"Tracks");
}

void clear_disk_fields(DriveEntry& drive) {
    // A disk that was not asked is no disk at all: -1 matches no disk number a disk error names.
    drive.device_number = -1;
    drive.partition_number = -1;
    drive.partition_style = L"";
    drive.device_partition = L"";
}

// Steps for a letter that Windows lists.
void rescan_listed(DriveWork& work, int i, DriveNotes& notes, const DrivePlatform& platform, int64_t rescan_count) {
    DriveEntry& drive = work.drives[i];
    DriveCellState& cell = work.cells[i];
    const wchar_t letter = static_cast<wchar_t>(L'A' + i - 1);

    int type = platform.drive_type(letter);
    if (type < TYPE_UNKNOWN || type > TYPE_RAMDISK) type = TYPE_UNKNOWN;
    drive.drive_type = type;
    raise_to(DRIVE_TYPE_NAME_WIDTH, static_cast<int>(DriveTypeNames[type].size()) + 1);

    if (type > TYPE_NO_ROOT) {
        if (rescan_count > 1 && cell.shown != CELL_SHOWN) {
            cell.text_color = static_cast<int32_t>(Palette[PALETTE_WHITE]);
            cell.back_color = static_cast<int32_t>(Palette[PALETTE_CYAN]);
            drive.fade_index = PALETTE_CYAN;
            drive.highlight_rounds = 3;
            SharedInts[DRIVE_CHANGE_PENDING] = 1;
        } else {
            // A rebuild ends every highlight, so no "NEW!" or "LOST" text outlives it.
            cell.text_color = static_cast<int32_t>(Palette[PALETTE_SILVER]);
            cell.back_color = static_cast<int32_t>(Palette[PALETTE_BLACK]);
            drive.fade_index = PALETTE_BLACK;
            drive.highlight_rounds = 0;
        }
        drive.serial = volume_serial(work, std::wstring(1, letter) + L":\\", VOLUME_FACTS_UPDATE, notes, platform);
        drive.lost_serial = drive.serial.view();
        drive.device_text = L"";
        drive.alias_count = 0;
        drive.alias_letters = L"";
        drive.alias_of = 0;
        drive.total_bytes = 0;
        drive.free_bytes = 0;
        clear_disk_fields(drive);
        if (!(drive.serial == NO_VOLUME_SERIAL)) {
            int64_t total = 0;
            int64_t free = 0;
            if (platform.disk_space(letter, total, free)) {
                drive.total_bytes = std::max<int64_t>(total, 0);
                drive.free_bytes = std::clamp<int64_t>(free, 0, drive.total_bytes);
            }
            if (type == TYPE_REMOVABLE || type == TYPE_FIXED || type == TYPE_CDROM || type == TYPE_RAMDISK) {
                disk_device_info(work, i, platform);
            }
        }
        if (i == SharedInts[WINDOWS_DRIVE].load()) {
            if (drive.device_number >= 0) {
                shared_text_set(DISK_ACTIVITY_DEVICE, L"\\\\.\\PhysicalDrive" + std::to_wstring(drive.device_number));
            }
            SharedInts[WINDOWS_DRIVE] = 0;
        }
    }

    switch (type) {
        case TYPE_FIXED:
            drive.separator = L":";
            drive.tag = std::wstring(1, letter) + L":";
            SharedInts[FIXED_DRIVE_COUNT] += 1;
            break;
        case TYPE_REMOTE:
            drive.separator = L"$";
            drive.tag = std::wstring(1, letter) + L"$";
            if (SharedQuads[MPR_LIBRARY].load() == 0) {
                drive.device_text = L"Network Path";
            } else {
                drive.name_length = 127;
                std::wstring remote;
                const int result = platform.network_connection(letter, remote);
                if (result == NETWORK_CONNECTION_OK) {
                    drive.device_text = remote;
                } else if (result == NETWORK_LIBRARY_MISSING) {
                    drive.device_text = L"Network Path";
                } else {
                    drive.device_text = network_error_text(result);
                }
            }
            break;
        case TYPE_REMOVABLE:
        case TYPE_CDROM:
            drive.separator = L":";
            drive.tag = std::wstring(1, letter) + L":";
            if (!(drive.volume_name == L"Audio CD")) {
                // A data disc or no disc after an audio CD shows no playing time.
                drive.cd_tracks = 0;
                drive.cd_seconds = 0;
            }
            if (drive.serial == NO_VOLUME_SERIAL) {
                drive.volume_name = tr_padded(L"No Media / Blank");
            } else if (drive.volume_name == L"Audio CD") {
                int32_t tracks = 0;
                int32_t seconds = 0;
                if (platform.cd_audio(letter, tracks, seconds)) {
                    drive.cd_tracks = std::max(tracks, 0);
                    drive.cd_seconds = std::max(seconds, 0);
                    drive.volume_name = audio_cd_label(drive.cd_tracks, drive.serial.view());
                }
            }
            break;
        case TYPE_RAMDISK:
            drive.separator = L"r";
            drive.tag = std::wstring(1, letter) + L"r";
            break;
        default:  // unknown or no root directory: the drive is in error
            drive.drive_type = 0;
            drive.alias_of = 0;
            drive.free_bytes = 0;
            drive.total_bytes = 0;
            drive.alias_letters = L"";
            cell.text_color = 0;
            cell.back_color = 0;
            clear_disk_fields(drive);
            if (cell.shown == CELL_SHOWN) {
                if (!drive.device_text.empty()) add(notes, tr(L"Mfg") + L": " + drive.device_text.str());
                if (!blank(drive.volume_name.view())) add(notes, tr(L"Vol") + L": " + drive.volume_name.str());
                add(notes, drive.drive_name.str() + L" " + tr(L"error") + L". " + tr(L"VolSerial") + L": " +
                               drive.serial.str());
                add(notes, L"--");
                cell.shown = CELL_LOST;
            }
            drive.device_text = L"";
            break;
    }

    if (drive.drive_type > TYPE_NO_ROOT && (cell.shown == CELL_HIDDEN || cell.shown == CELL_LOST)) {
        drive_info_lines(drive, notes);
        add(notes,
            drive.drive_name.str() + L" " + tr(L"found") + L". " + tr(L"VolSerial") + L": " + drive.serial.str());
        add(notes, L"--");
        if (drive.drive_type == TYPE_REMOVABLE) drive.found_date = date_now();
        if (SharedInts[OPT_LOG_STORAGE_EVENTS].load() != 0) {
            notes.push_back({NOTE_LOG, log_space_line(drive, letter, L"+ ", drive.serial.view())});
        }
        cell.shown = CELL_SHOWN;
    }
}

// Steps for a letter that Windows no longer lists.
void rescan_unlisted(DriveWork& work, int i, DriveNotes& notes) {
    DriveEntry& drive = work.drives[i];
    DriveCellState& cell = work.cells[i];
    const wchar_t letter = static_cast<wchar_t>(L'A' + i - 1);
    if (cell.shown == CELL_SHOWN) {
        drive_info_lines(drive, notes);
        add(notes,
            drive.drive_name.str() + L" " + tr(L"lost") + L". " + tr(L"VolSerial") + L": " + drive.lost_serial.str());
        add(notes, L"--");
        if (SharedInts[OPT_LOG_STORAGE_EVENTS].load() != 0) {
            notes.push_back({NOTE_LOG, log_space_line(drive, letter, L"- ", drive.lost_serial.view())});
        }
        cell.shown = CELL_LOST;
    }
    drive.serial = L"";
    drive.lost_serial = L"";
    drive.volume_name = L"";
    drive.old_volume_name = L"";
    drive.device_text = L"";
    drive.total_bytes = 0;
    drive.found_date = 0;
    drive.error_count = 0;
    drive.error_until = 0;
    clear_disk_fields(drive);
}

// The marker width while the drive shows the disk-error marker, else 0.
int marker_width(const DriveEntry& drive) {
    return drive.error_count != 0 ? static_cast<int>(shared_text(DISK_ERROR_MARKER).size()) : 0;
}

// A letter of the same volume as an earlier drive (a SUBST letter, a second mapping of a share, empty
// slots of one card reader) gets no cell of its own: the earlier drive's label lists it.
void alias_search(DriveWork& work, int i) {
    DriveEntry& drive = work.drives[i];
    if (drive.serial.empty()) return;
    for (int k = 3; k < i; ++k) {
        DriveEntry& target = work.drives[k];
        if (work.cells[k].shown != CELL_SHOWN || target.alias_of != 0) continue;
        if (!(target.serial == drive.serial) || target.total_bytes != drive.total_bytes ||
            !(target.volume_name == drive.volume_name)) {
            continue;
        }
        if (drive.drive_type == TYPE_REMOTE && target.total_bytes <= 0) continue;
        drive.alias_of = k;
        SharedInts[DRIVE_ALIAS_COUNT] += 1;
        // The summary counts each volume once: a fixed alias is no further fixed drive.
        if (drive.drive_type == TYPE_FIXED) SharedInts[FIXED_DRIVE_COUNT] -= 1;
        target.alias_letters = target.alias_letters.str() + drive.letter.str();
        target.alias_count += 1;
        raise_to(DRIVE_TEXT_WIDTH, target.alias_count + marker_width(target));
        return;
    }
}

void place_rows(DriveWork& work) {
    SharedInts[DRIVE_ROW_COUNT] = 0;
    work.cells[0].shown = CELL_HIDDEN;
    for (auto& cell : work.cells) cell.drive_row = 0;
    int rows = 0;
    for (const int type : ROW_ORDER) {
        if (type == TYPE_REMOVABLE && work.cells[0].drive_row == 0 && SharedInts[FIXED_DRIVE_COUNT].load() > 1) {
            work.cells[0].shown = CELL_SHOWN;
            work.cells[0].drive_row = ++rows;
            work.cells[0].text_color = static_cast<int32_t>(Palette[PALETTE_SILVER]);
            work.drives[0].drive_name = L"==";
        }
        for (int i = 1; i <= 26; ++i) {
            const DriveEntry& drive = work.drives[i];
            if (work.cells[i].shown == CELL_SHOWN && drive.alias_of == 0 && drive.drive_type == type) {
                work.cells[i].drive_row = ++rows;
            }
        }
    }
    SharedInts[DRIVE_ROW_COUNT] = rows;
}

}  // namespace

std::wstring drive_letters_from_roots(const std::vector<std::wstring>& roots, int windows_build) {
    std::wstring letters;
    for (const auto& root : roots) {
        if (root.empty()) continue;
        const wchar_t letter = text_upper_ascii(root.substr(0, 1))[0];
        if (letter >= L'A' && letter <= L'Z' && letters.find(letter) == std::wstring::npos) letters += letter;
    }
    if (windows_build < 1504) {
        if (!letters.empty() && letters[0] == L'A') letters.erase(0, 1);
        if (!letters.empty() && letters[0] == L'B') letters.erase(0, 1);
    }
    return letters;
}

std::wstring drive_letters_read(const DrivePlatform& platform) {
    if (SharedInts[QUIT_FLAG].load() != 0) return {};
    std::vector<std::wstring> roots;
    if (!platform.drive_roots(roots)) return FALLBACK_DRIVE_LETTERS;
    return drive_letters_from_roots(roots, SharedInts[WINDOWS_BUILD].load());
}

std::wstring network_error_text(int code) {
    switch (code) {
        case 1200: return L"ERROR_BAD_DEVICE";
        case 2250: return L"ERROR_NOT_CONNECTED";
        case 234: return L"ERROR_MORE_DATA";
        case 1201: return L"ERROR_CONNECTION_UNAVAIL";
        case 1222: return L"ERROR_NO_NETWORK";
        case 1208: return L"ERROR_EXTENDED_ERROR";
        case 1203: return L"ERROR_NO_NET_OR_BAD_PATH";
        case 487: return L"ERROR_INVALID_ADDRESS";
        default: return L"UNKNOWN ERROR " + std::to_wstring(code);
    }
}

void drive_info_lines(const DriveEntry& drive, DriveNotes& notes) {
    if (drive.free_bytes != 0) {
        const int64_t used = drive.total_bytes - drive.free_bytes;
        const int width = static_cast<int>(grouped_number(drive.total_bytes).size());
        add(notes, tr_padded(L" Used") + L": " + right_justify(grouped_number(used), width) + L" (" +
                       format_bytes(used, FORMAT_BYTES_SHORT) + L")");
        add(notes, tr_padded(L" Free") + L": " + right_justify(grouped_number(drive.free_bytes), width) + L" (" +
                       format_bytes(drive.free_bytes, FORMAT_BYTES_SHORT) + L")");
        add(notes, tr_padded(L"Total") + L": " + grouped_number(drive.total_bytes) + L" (" +
                       format_bytes(drive.total_bytes, FORMAT_BYTES_SHORT) + L")");
    }
    if (drive.drive_type == TYPE_REMOTE) {
        add(notes, tr(L"Dir") + L": " + drive.device_text.str());
    } else if (!drive.device_text.empty()) {
        add(notes, tr(L"Mfg") + L": " + drive.device_text.str());
    }
    if (!blank(drive.volume_name.view())) add(notes, tr(L"Vol") + L": " + drive.volume_name.str());
    if (!drive.file_system.empty()) {
        std::wstring line =
            choose_text(drive.drive_type, {tr(L"Root Drive"), tr(L"Removable Media"), tr(L"Fixed Drive"),
                                           tr(L"Remote/Network"), tr(L"Optical Drive"), tr(L"Ramdisk Drive")}) +
            L" " + drive.file_system.str() + L"-" + std::to_wstring(drive.name_length) + L" " +
            drive.partition_style.str() + L" " + drive.device_partition.str();
        line.erase(line.find_last_not_of(L' ') + 1);
        add(notes, std::move(line));
    }
}

void drive_rescan_run(DriveWork& work, DriveNotes& notes, const DrivePlatform& platform) {
    SharedQuads[DRIVE_RESCAN_COUNT] += 1;
    if (SharedInts[QUIT_FLAG].load() != 0) return;
    const int64_t rescan_count = SharedQuads[DRIVE_RESCAN_COUNT].load();
    SharedInts[FIXED_DRIVE_COUNT] = 0;
    SharedInts[DRIVE_ALIAS_COUNT] = 0;
    SharedInts[DRIVE_TEXT_WIDTH] = 0;
    SharedInts[VOLUME_NAME_WIDTH] = 16;
    SharedInts[DRIVE_TYPE_NAME_WIDTH] = 5;
    const std::wstring letters = shared_text(DRIVE_LETTERS);
    const bool reset_changes = SharedInts[DRIVE_CHANGES_RESET_REQUEST].load() != 0;

    for (int i = 1; i <= 26; ++i) {
        DriveEntry& drive = work.drives[i];
        const wchar_t letter = static_cast<wchar_t>(L'A' + i - 1);
        drive.letter = std::wstring(1, letter);
        drive.drive_name = std::wstring(1, letter) + L":";
        work.cells[i].drive_row = 0;
        if (reset_changes) {
            drive.last_change = 0;
            drive.total_change = 0;
        }
        if (letters.find(letter) != std::wstring::npos) {
            rescan_listed(work, i, notes, platform, rescan_count);
        } else {
            rescan_unlisted(work, i, notes);
        }
        if (work.cells[i].shown == CELL_SHOWN) {
            raise_to(DRIVE_TEXT_WIDTH, marker_width(drive));
            alias_search(work, i);
        }
    }
    SharedInts[DRIVE_CHANGES_RESET_REQUEST] = 0;
    SharedInts[DRIVE_COUNT] = static_cast<int>(letters.size());
    place_rows(work);
}
