// The drive watcher's round and loop: change pass, title, drive set, free space, disk activity and font change.
#include "system/drive_watcher_round.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "core/control_numbers.h"
#include "core/format_bytes.h"
#include "core/format_number.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "runtime/date.h"
#include "runtime/text.h"
#include "runtime/worker_loop.h"
#include "system/drive_rescan.h"
#include "system/volume_facts.h"

namespace {

constexpr int DRIVE_SET_ROUNDS = 200;
constexpr int DRIVE_SET_ROUNDS_AFTER_CHANGE = 40;
constexpr int SPACE_CHECK_ROUNDS = 50;
constexpr int TITLE_ROUNDS_DRIVES = 60;
constexpr int TITLE_ROUNDS_SAMPLERS = 600;

int32_t palette(int index) { return static_cast<int32_t>(Palette[index]); }

// A working copy with the base it is measured against, on the heap: the table is large for a thread stack.
struct DriveSession {
    DriveWork work;
    DriveWork base;
    DriveNotes notes;
    std::vector<std::pair<int, CellDrawForce>> draws;

    DriveSession() {
        drive_work_load(work);
        base = work;
    }
    // Stores the copy, then draws and posts: nothing waits on a window while the table is half written.
    void finish(const DriveUi& ui) {
        drive_work_store(work, base);
        for (const auto& [cell, force] : draws) ui.cell_draw(cell, force);
        draws.clear();
        if (!notes.empty()) ui.notes_post(notes);
        notes.clear();
    }
};

std::unique_ptr<DriveSession> session_start() { return std::make_unique<DriveSession>(); }

std::wstring drive_id_bytes(int64_t value) {
    return format_bytes(value,
                        SharedInts[BYTE_UNIT].load() == BYTE_UNIT_AUTO ? FORMAT_BYTES_SHORT : FORMAT_BYTES_FIXED_UNIT);
}

wchar_t letter_of(int i) { return static_cast<wchar_t>(L'A' + i - 1); }

void change_pass(const DriveUi& ui) {
    auto session = session_start();
    DriveWork& work = session->work;
    for (int i = 1; i <= 26; ++i) {
        DriveEntry& drive = work.drives[i];
        DriveCellState& cell = work.cells[i];
        if (drive.fade_index < PALETTE_FADE_STEP) continue;
        drive.fade_index -= PALETTE_FADE_STEP;
        cell.back_color = palette(drive.fade_index);
        const wchar_t letter = letter_of(i);
        std::wstring queue = shared_text(TITLE_DRIVE_QUEUE);
        if (queue.find(letter) == std::wstring::npos) shared_text_set(TITLE_DRIVE_QUEUE, queue + letter);
        if (cell.shown == CELL_SHOWN && cell.drive_row != 0) session->draws.emplace_back(i, CELL_DRAW_ALWAYS);
        const int64_t used = drive.total_bytes - drive.free_bytes;
        if (SharedInts[DRIVE_FILTER_ITEM].load() == 0 || SharedInts[DRIVE_FILTER_INDEX].load() == i) {
            session->notes.push_back(
                {NOTE_DRIVE_ID, drive.drive_name.str() + L"\n" + std::to_wstring(drive.free_percent) + L"%  " +
                                    drive_id_bytes(drive.free_bytes) + L"\n" + drive_id_bytes(drive.last_change) +
                                    L"\n" + drive_id_bytes(drive.total_change) + L"\n" +
                                    std::to_wstring(100 - drive.free_percent) + L"%  " + drive_id_bytes(used)});
        }
        if (SharedInts[OPT_LOG_DRIVE_SPACE].load() != 0) {
            session->notes.push_back({NOTE_LOG, drive.drive_name.str() + L" " + std::to_wstring(drive.free_percent) +
                                                    L" " + std::to_wstring(drive.free_bytes) + L" " +
                                                    std::to_wstring(used) + L" " + std::to_wstring(drive.last_change)});
        }
    }
    SharedInts[DRIVE_CHANGE_PENDING] = 0;
    session->finish(ui);
}

void title_step(const DriveUi& ui) {
    if (SharedInts[TITLE_MODE].load() != TITLE_MODE_DRIVES) {
        SharedInts[TITLE_COUNTDOWN] = TITLE_ROUNDS_SAMPLERS;
    } else {
        std::wstring queue = shared_text(TITLE_DRIVE_QUEUE);
        if (!queue.empty()) {
            const wchar_t letter = queue[0];
            std::erase(queue, letter);
            shared_text_set(TITLE_DRIVE_QUEUE, queue);
            const int k = letter - L'A' + 1;
            if (k >= 1 && k <= 26) {
                DriveEntry drive;
                {
                    std::lock_guard guard(DriveTableLock);
                    drive = DriveTable[k];
                }
                if (drive.last_change != 0) {
                    shared_text_set(TITLE_TEXT, std::wstring(1, letter) + drive.alias_letters.str() +
                                                    drive.separator.str() + L" " + std::to_wstring(drive.free_percent) +
                                                    L"% " + format_bytes(drive.free_bytes, FORMAT_BYTES_SHORT) + L" " +
                                                    format_bytes(drive.last_change, FORMAT_BYTES_SHORT));
                }
            }
        }
        SharedInts[TITLE_COUNTDOWN] = TITLE_ROUNDS_DRIVES;
    }
    const std::wstring text = shared_text(TITLE_TEXT);
    if (text == shared_text(TITLE_TEXT_SHOWN)) return;
    if (!ui.compact_title_set(text)) {
        SharedInts[TITLE_COUNTDOWN] = 1;  // the main thread is busy: try again next round
        return;
    }
    shared_text_set(TITLE_TEXT_SHOWN, text);
    if (SharedInts[OPT_TRAY_ICON].load() != 0) ui.tray_tooltip_set(drive_tray_tooltip(text));
}

void drive_set_check(const DrivePlatform& platform, const DriveUi& ui) {
    SharedInts[DRIVES_ARRIVED] = 0;
    const std::wstring letters = drive_letters_read(platform);
    shared_text_set(DRIVE_LETTERS_NEW, letters);
    if (SharedInts[DRIVE_RESCAN_REQUEST].exchange(0) > 0) shared_text_set(DRIVE_LETTERS, L"");
    if (letters != shared_text(DRIVE_LETTERS) && SharedInts[QUIT_FLAG].load() == 0) {
        shared_text_set(DRIVE_LETTERS, letters);
        SharedInts[DRIVE_COUNT] = static_cast<int>(letters.size());
        drive_rescan_apply(platform, ui);
        drive_filter_apply(ui);
        ui.compact_window_fit();
        ui.compact_window_layout();
        if (SharedInts[OPT_SOUND].load() != 0) {
            if (SharedInts[BEEP_SKIP_COUNT].load() == 0) {
                ui.beep();
            } else {
                SharedInts[BEEP_SKIP_COUNT] -= 1;
            }
        }
        SharedInts[SPACE_CHECK_COUNTDOWN] = SPACE_CHECK_ROUNDS;
    }
    SharedInts[DRIVE_SET_COUNTDOWN] = DRIVE_SET_ROUNDS;
}

// Forces the next drive-set check to rebuild the table.
void rebuild_soon(int rounds) {
    shared_text_set(DRIVE_LETTERS, L"");
    SharedInts[DRIVE_SET_COUNTDOWN] = rounds;
}

void total_change_lines(DriveSession& session, const DriveEntry& drive, wchar_t letter, int64_t new_total,
                        const std::wstring& serial) {
    const int64_t old_total = drive.total_bytes;
    const int64_t difference = new_total - old_total;
    // The difference is negative when the drive shrank: its sign needs a column of its own.
    const int width = static_cast<int>(std::max(
        {grouped_number(difference).size(), grouped_number(old_total).size(), grouped_number(new_total).size()}));
    auto line = [&](std::wstring_view name, int64_t value) {
        session.notes.push_back({NOTE_STORAGE_MONITOR, tr_padded(name) + L": " +
                                                           right_justify(grouped_number(value), width) + L" (" +
                                                           format_bytes(value, FORMAT_BYTES_SHORT) + L")"});
    };
    line(L" Diff", difference);
    line(L"  Old", old_total);
    line(L"  New", new_total);
    if (drive.drive_type == TYPE_REMOTE) {
        session.notes.push_back({NOTE_STORAGE_MONITOR, tr(L"Dir") + L": " + drive.device_text.str()});
    } else if (!drive.device_text.empty()) {
        session.notes.push_back({NOTE_STORAGE_MONITOR, tr(L"Mfg") + L": " + drive.device_text.str()});
    }
    if (!text_trim(drive.volume_name.view()).empty()) {
        session.notes.push_back({NOTE_STORAGE_MONITOR, tr(L"Vol") + L": " + drive.volume_name.str()});
    }
    session.notes.push_back({NOTE_STORAGE_MONITOR, drive.drive_name.str() + L" " + tr(L"total space changed") + L"."});
    session.notes.push_back({NOTE_STORAGE_MONITOR, L"--"});
    if (SharedInts[OPT_LOG_STORAGE_EVENTS].load() != 0) {
        session.notes.push_back({NOTE_LOG, std::wstring(1, letter) + L"! " + serial + L" " +
                                               std::to_wstring(drive.free_bytes) + L" " + std::to_wstring(new_total) +
                                               L" " + text_trim(drive.volume_name.view())});
    }
}

// Back to the normal colours; the text warns of low space, except on optical drives, whose space is not tracked.
void end_highlight(DriveSession& session, int i) {
    DriveWork& work = session.work;
    DriveCellState& cell = work.cells[i];
    const int32_t percent = work.drives[i].free_percent;
    if (work.drives[i].drive_type == TYPE_CDROM) {
        cell.text_color = palette(PALETTE_SILVER);
    } else {
        cell.text_color = percent < 5    ? palette(PALETTE_RED)
                          : percent < 10 ? palette(PALETTE_YELLOW)
                                         : palette(PALETTE_SILVER);
    }
    cell.back_color = 0;
    work.drives[i].fade_index = PALETTE_BLACK;
    cell.value_text = drive_line_text(work, i);
    session.draws.emplace_back(i, CELL_DRAW_ALWAYS);
}

void space_check(const DrivePlatform& platform, const DriveUi& ui) {
    auto session = session_start();
    DriveWork& work = session->work;
    const Date now = date_now();
    for (int i = 26; i >= 0; --i) {
        DriveCellState& cell = work.cells[i];
        if (cell.shown != CELL_SHOWN) continue;
        DriveEntry& drive = work.drives[i];
        const wchar_t letter = letter_of(i);
        const std::wstring root = std::wstring(1, letter) + L":\\";
        if (drive.error_count > 0 && drive.error_until < now) {
            drive.error_count = 0;
            SharedInts[DRIVE_RESCAN_REQUEST] = 1;  // the rebuild drops the marker from the label width
            SharedInts[BEEP_SKIP_COUNT] = 1;
        }
        if (drive.alias_of > 0) {
            if (volume_serial(work, root, VOLUME_SERIAL_ONLY, session->notes, platform) != drive.serial.view()) {
                rebuild_soon(0);
                break;
            }
        } else if (i == 0) {
            if (SharedInts[DRIVE_SUMMARY_REFRESH].load() == 1) {
                cell.value_text = drive_line_text(work, 0);
                session->draws.emplace_back(0, CELL_DRAW_IF_CHANGED);
                SharedInts[DRIVE_SUMMARY_REFRESH] = 0;
            }
        } else if (drive.drive_type == TYPE_CDROM) {
            // Space is not tracked for optical drives; a new medium shows as a new serial.
            if (volume_serial(work, root, VOLUME_SERIAL_ONLY, session->notes, platform) != drive.serial.view()) {
                rebuild_soon(DRIVE_SET_ROUNDS_AFTER_CHANGE);
                cell.text_color = 0;
                cell.back_color = palette(PALETTE_WHITE);
                drive.fade_index = PALETTE_WHITE;
                session->draws.emplace_back(i, CELL_DRAW_ALWAYS);
                SharedInts[DRIVE_CHANGE_PENDING] = 1;
            }
            if (drive.highlight_rounds > 0 && --drive.highlight_rounds == 0) end_highlight(*session, i);
        } else {
            const std::wstring serial = volume_serial(work, root, VOLUME_FACTS_UPDATE, session->notes, platform);
            drive.serial = serial;
            int64_t new_total = 0;
            int64_t new_free = 0;
            if (serial != NO_VOLUME_SERIAL && platform.disk_space(letter, new_total, new_free)) {
                new_total = std::max<int64_t>(new_total, 0);
                new_free = std::clamp<int64_t>(new_free, 0, new_total);
            } else {
                new_total = 0;
                new_free = 0;
            }
            if (drive.total_bytes != new_total) {
                if (drive.drive_type == TYPE_REMOVABLE) {
                    drive.last_change = 0;
                    drive.total_change = 0;
                    cell.text_color = 0;
                    cell.back_color = palette(PALETTE_WHITE);
                    drive.fade_index = PALETTE_WHITE;
                    SharedInts[DRIVE_CHANGE_PENDING] = 1;
                    cell.value_text = drive_line_text(work, i);
                    session->draws.emplace_back(i, CELL_DRAW_ALWAYS);
                } else {
                    if (new_total > 0) total_change_lines(*session, drive, letter, new_total, serial);
                    SharedInts[DRIVE_SUMMARY_REFRESH] = 1;
                }
                // Total and free stay as they were until that rebuild.
                rebuild_soon(DRIVE_SET_ROUNDS_AFTER_CHANGE);
            } else if (drive.free_bytes != new_free) {
                if (drive.drive_type == TYPE_FIXED) SharedInts[DRIVE_SUMMARY_REFRESH] = 1;
                drive.last_change = new_free - drive.free_bytes;
                drive.total_change += drive.last_change;
                drive.free_bytes = new_free;
                cell.text_color = palette(PALETTE_WHITE);
                drive.fade_index = drive.last_change < 0 ? PALETTE_RED : PALETTE_LIGHT_GREEN;
                cell.back_color = palette(drive.fade_index);
                cell.value_text = drive_line_text(work, i);
                session->draws.emplace_back(i, CELL_DRAW_ALWAYS);
                SharedInts[DRIVE_CHANGE_PENDING] = 1;
            } else if (drive.fade_index > 0) {
                if (drive.highlight_rounds > 0) {
                    drive.highlight_rounds -= 1;
                } else {
                    end_highlight(*session, i);
                }
            }
        }
    }
    SharedInts[SPACE_CHECK_COUNTDOWN] = SPACE_CHECK_ROUNDS;
    session->finish(ui);
}

void disk_activity(DriveWatcherState& state, const DrivePlatform& platform, const DriveUi& ui) {
    int64_t read_time = state.last_read_time;
    int64_t write_time = state.last_write_time;
    platform.disk_performance(read_time, write_time);  // a failed query reads as no activity
    int image = IMAGE_DISK_IDLE;
    if (write_time != state.last_write_time) {
        state.last_write_time = write_time;
        if (read_time != state.last_read_time) {
            state.last_read_time = read_time;
            image = IMAGE_DISK_READ_WRITE;
        } else {
            image = IMAGE_DISK_WRITE;
        }
    } else if (read_time != state.last_read_time) {
        state.last_read_time = read_time;
        image = IMAGE_DISK_READ;
    }
    if (image != SharedInts[TRAY_IMAGE].load() && SharedInts[QUIT_FLAG].load() == 0) {
        SharedInts[TRAY_IMAGE] = image;
        ui.tray_image_set(image);
    }
}

}  // namespace

std::wstring drive_tray_tooltip(const std::wstring& title) { return (L"Sotrix " + title).substr(0, 63); }

void drive_rescan_apply(const DrivePlatform& platform, const DriveUi& ui) {
    auto session = session_start();
    drive_rescan_run(session->work, session->notes, platform);
    session->finish(ui);
}

void drive_filter_apply(const DriveUi& ui) {
    if (SharedInts[QUIT_FLAG].load() != 0) return;
    auto session = session_start();
    const DriveFilterItems items = drive_filter_build(session->work);
    session->finish(ui);
    ui.filter_items_set(items);
}

void drive_watcher_start() {
    for (auto& scale : RateGraphScales) {
        scale.scale_top = 128;
        scale.peak = 127;
    }
}

void drive_watcher_round(DriveWatcherState& state, const DrivePlatform& platform, const DriveUi& ui) {
    if (SharedInts[DRIVE_CHANGE_PENDING].load() == 1) change_pass(ui);
    if (SharedInts[TITLE_COUNTDOWN].load() < 1) title_step(ui);
    if ((SharedInts[DRIVE_SET_COUNTDOWN].load() < 1 || SharedInts[DRIVE_RESCAN_REQUEST].load() > 0 ||
         SharedInts[DRIVES_ARRIVED].load() == 1) &&
        SharedInts[QUIT_FLAG].load() == 0) {
        drive_set_check(platform, ui);
    }
    if (SharedInts[SPACE_CHECK_COUNTDOWN].load() < 1 && SharedInts[QUIT_FLAG].load() == 0) space_check(platform, ui);
    if (SharedInts[OPT_TRAY_ICON].load() != 0 && SharedInts[OPT_DISK_ACTIVITY_ICON].load() > 0 &&
        SharedInts[TRAY_ICON_PRESENT].load() == 1) {
        disk_activity(state, platform, ui);
    }
    if (SharedInts[COMPACT_RELAYOUT_REQUEST].load() == 1 && ui.compact_window_normal()) {
        ui.compact_font_apply();
        ui.compact_window_fit();
        ui.compact_window_layout();
    }
}

void drive_watcher_round_end() {
    SharedInts[DRIVE_SET_COUNTDOWN] -= 1;
    SharedInts[SPACE_CHECK_COUNTDOWN] -= 1;
    SharedInts[TITLE_COUNTDOWN] -= 1;
}

void drive_watcher_run(const DrivePlatform& platform, const DriveUi& ui) {
    DriveWatcherState state;
    drive_watcher_start();
    // The round that sees the quit still ends, a pending copy included.
    const WorkerLoop loop{.period_ms = DRIVE_WATCHER_ROUND_MS,
                          .quit_order = WORKER_QUIT_AFTER_ROUND_END,
                          .quit_flag = &SharedInts[QUIT_FLAG],
                          .copy_request = &SharedInts[COPY_TAB_REQUEST],
                          .copy_tab = TAB_STORAGE};
    worker_loop_run(
        loop,
        [&](bool) {
            drive_watcher_round(state, platform, ui);
            return true;
        },
        [&ui](int tab) {
            if (ui.clipboard_copy != nullptr) ui.clipboard_copy(tab);
        },
        drive_watcher_round_end);
}
