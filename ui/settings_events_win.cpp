// The control events of the Settings and About tabs: options flipped and applied, the size sliders, the
// title and long-idle choices, the log folder, import and export, Shutdown and Restart, the links and the
// data-file panel.
#include <windows.h>

#include <commdlg.h>

#include <mutex>
#include <string>
#include <vector>

#include "core/control_handlers.h"
#include "core/control_numbers.h"
#include "core/data_file_panel.h"
#include "core/data_folder.h"
#include "core/event_lists.h"
#include "core/language.h"
#include "core/log_file.h"
#include "core/self_start_line.h"
#include "core/settings_controls.h"
#include "core/settings_file.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "core/version.h"
#include "runtime/gui/check_box/check_box.h"
#include "runtime/gui/combo_box/combo_box.h"
#include "runtime/gui/control/control.h"
#include "runtime/gui/folder_tree/folder_tree.h"
#include "runtime/gui/font/font.h"
#include "runtime/gui/panel/panel.h"
#include "runtime/gui/track_bar/track_bar.h"
#include "runtime/gui/tray/tray.h"
#include "runtime/gui/window/window.h"
#include "ui/compact_window.h"
#include "ui/main_window_pages.h"
#include "ui/settings_page.h"
#include "ui/status_title.h"

namespace {

SettingsEventSeams seams_in_use;
std::wstring chosen_log_folder;  // the folder last picked in the folder tree

void test_beep() {
    if (SharedInts[OPT_SOUND].load() != 1) return;
    if (SharedInts[BEEP_SKIP_COUNT].load() == 0) {
        Beep(1000, 55);
    } else {
        SharedInts[BEEP_SKIP_COUNT] -= 1;
    }
}

void compact_alpha_set(int alpha) {
    const HWND compact = reinterpret_cast<HWND>(window_handle(WIN_COMPACT));
    if (!compact) return;
    SetWindowLongPtrW(compact, GWL_EXSTYLE, GetWindowLongPtrW(compact, GWL_EXSTYLE) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(compact, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
}

std::wstring data_folder(DataFileEntry entry, bool alternative) {
    std::lock_guard guard(DataFilesLock);
    return alternative ? DataFiles[entry].alt_folder : DataFiles[entry].folder;
}

void log_folder_set(const std::wstring& folder) {
    std::lock_guard guard(DataFilesLock);
    DataFiles[DATA_FILE_LOG].folder = folder;
}

void tray_image_program() {
    if (SharedInts[TRAY_IMAGE].load() != IMAGE_TRAY_ICON && SharedInts[QUIT_FLAG].load() == 0) {
        SharedInts[TRAY_IMAGE] = IMAGE_TRAY_ICON;
        tray_image_set(TRAY_MAIN, IMAGE_TRAY_ICON);
    }
}

void disk_activity_clicked() {
    std::atomic<int32_t>& option = SharedInts[OPT_DISK_ACTIVITY_ICON];
    option = option_flipped(option.load());
    if (!tray_exists(TRAY_MAIN)) {
        option = 0;
    } else if (option.load() < 1) {
        tray_image_program();
    }
    check_box_state_set(CHECK_DISK_ACTIVITY_ICON, check_state_of(option.load()));
    if (option.load() == 1 && SharedInts[OPT_TRAY_ICON].load() == 1 && SharedInts[TRAY_ICON_PRESENT].load() == 1 &&
        DiskActivityHandle.load() == 0) {
        // Opened for device queries only: no access rights, no sharing.
        const HANDLE device =
            CreateFileW(shared_text(DISK_ACTIVITY_DEVICE).c_str(), 0, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (device == INVALID_HANDLE_VALUE) {
            option = -1;
        } else {
            DiskActivityHandle = reinterpret_cast<intptr_t>(device);
        }
    }
}

void tray_icon_changed() {
    if (SharedInts[OPT_TRAY_ICON].load() == 1) {
        tray_add(TRAY_MAIN, WIN_COMPACT, IMAGE_TRAY_ICON, std::wstring(program_name()) + L" " + version_text());
        tray_image_program();
    } else {
        tray_remove(TRAY_MAIN);
        if (SharedInts[OPT_DISK_ACTIVITY_ICON].load() > 0) {
            SharedInts[OPT_DISK_ACTIVITY_ICON] = 0;
            check_box_state_set(CHECK_DISK_ACTIVITY_ICON, 0);
        }
    }
    SharedInts[TRAY_ICON_PRESENT] = tray_exists(TRAY_MAIN) ? 1 : 0;
}

void log_file_changed() {
    if (SharedInts[OPT_LOG_FILE].load() == 1 && data_folder(DATA_FILE_LOG, false) == data_folder(DATA_FILE_LOG, true)) {
        data_folder_ensure(shared_text(DATA_SUBFOLDER));
    }
    data_folder_panel_draw(0);
    options_controls_from_settings(0);
    if (SharedInts[OPT_LOG_FILE].load() == 0) log_buffer_flush();
}

void borderless_clicked() {
    if (SharedInts[COMPACT_MODE_APPLIED].load() == SharedInts[OPT_BORDERLESS].load()) {
        SharedInts[OPT_BORDERLESS] = option_flipped(SharedInts[OPT_BORDERLESS].load());
        compact_mode_toggle();
        compact_window_layout();
    } else {
        test_beep();  // a change of mode is still being applied
    }
    check_box_state_set(CHECK_BORDERLESS, check_state_of(SharedInts[OPT_BORDERLESS].load()));
}

void option_clicked(const OptionCheckBox& box) {
    if (box.control == CHECK_DISK_ACTIVITY_ICON) return disk_activity_clicked();
    if (box.control == CHECK_BORDERLESS) return borderless_clicked();
    std::atomic<int32_t>& option = SharedInts[box.option];
    option = option_flipped(option.load());
    // The boxes do not tick themselves: each shows its option after the click.
    check_box_state_set(box.control, check_state_of(option.load()));
    switch (box.control) {
        case CHECK_ALWAYS_ON_TOP: window_topmost_set(WIN_COMPACT, option.load() == 1); break;
        case CHECK_LOG_FILE: log_file_changed(); break;
        case CHECK_LOG_BUFFERING: log_buffer_resize(); break;
        case CHECK_RESTORE_SESSION: data_folder_panel_draw(0); break;
        case CHECK_EXTENDED_HISTORY: SharedInts[MAX_EVENT_LINES] = option.load() == 1 ? 9998 : 499; break;
        case CHECK_SOUND:
            if (option.load() == 1) test_beep();
            break;
        case CHECK_TRAY_ICON: tray_icon_changed(); break;
        case CHECK_TRANSPARENT:
            control_enable(TRACK_TRANSPARENCY, option.load() == 1);
            compact_alpha_set(option.load() == 1 ? SharedInts[OPACITY_STEP].load() * 255 * 10 / 100 : 255);
            break;
        default: break;
    }
}

void transparency_moved() {
    const std::optional<int> step = track_position_taken(track_bar_value(TRACK_TRANSPARENCY), 1, 9);
    if (!step) return;
    SharedInts[OPACITY_STEP] = *step;
    if (*step * 10 != SharedInts[OPACITY_PERCENT].load()) {
        SharedInts[OPACITY_PERCENT] = *step * 10;
        compact_alpha_set(*step * 10 * 255 / 100);
    }
}

std::wstring cell_value(int cell) { return std::wstring(CompactCells[cell].value_text.view()); }

std::wstring stripped(std::wstring text) {
    const size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) return {};
    return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

void title_chosen() {
    const std::optional<int> mode =
        combo_choice_taken(combo_box_selected(COMBO_TITLE_TEXT), combo_box_count(COMBO_TITLE_TEXT));
    if (!mode) return;
    SharedInts[TITLE_MODE] = *mode;
    switch (*mode) {
        case TITLE_MODE_PHYSICAL:
            shared_text_set(TITLE_TEXT, cell_value(CELL_PHYSICAL) + L" " + tr_padded(L"Phys"));
            break;
        case TITLE_MODE_PAGEFILE:
            shared_text_set(TITLE_TEXT, cell_value(CELL_PAGEFILE) + L" " + tr_padded(L"Page"));
            break;
        case TITLE_MODE_CPU: shared_text_set(TITLE_TEXT, stripped(cell_value(CELL_CPU))); break;
        case TITLE_MODE_BATTERY:
            shared_text_set(TITLE_TEXT, CompactCells[CELL_BATTERY].values[1].load() == -1
                                            ? shown(L"No") + L" " + shown(L"Battery")
                                            : stripped(cell_value(CELL_BATTERY)) + L" " + shown(L"Battery"));
            break;
        case TITLE_MODE_UPTIME:
            shared_text_set(TITLE_TEXT, stripped(cell_value(CELL_UPTIME)) + L" " + tr_padded(L"Uptime"));
            break;
        case TITLE_MODE_IDLE:
            shared_text_set(TITLE_TEXT, std::wstring(CompactCells[CELL_IDLE].drawn_text.view()) + tr_padded(L"Idle"));
            break;
        case TITLE_MODE_DISK:
            shared_text_set(TITLE_TEXT, shared_text(DISK_RW_LETTERS) + L": " +
                                            std::to_wstring(SharedQuads[DISK_READ_KB].load()) + L"K/" +
                                            std::to_wstring(SharedQuads[DISK_WRITE_KB].load()) + L"K");
            break;
        case TITLE_MODE_NETWORK:
            shared_text_set(TITLE_TEXT, shared_text(NET_SR_LETTERS) + L": " +
                                            std::to_wstring(SharedQuads[NET_SEND_KB].load()) + L"K/" +
                                            std::to_wstring(SharedQuads[NET_RECV_KB].load()) + L"K");
            break;
        default: shared_text_set(TITLE_TEXT_SHOWN, L""); break;
    }
    SharedInts[TITLE_COUNTDOWN] = 0;
}

void long_idle_chosen() {
    const std::optional<int> choice =
        combo_choice_taken(combo_box_selected(COMBO_LONG_IDLE), combo_box_count(COMBO_LONG_IDLE));
    if (!choice) return;
    SharedInts[LONG_IDLE_CHOICE] = *choice;
    SharedInts[LONG_IDLE_SECONDS] = long_idle_seconds(shared_text(LONG_IDLE_CHOICES), *choice);
}

void log_folder_set_clicked() {
    if (control_exists(TREE_FOLDER_CHOOSER)) chosen_log_folder = folder_tree_path(TREE_FOLDER_CHOOSER);
    const std::wstring chosen = chosen_log_folder.empty() ? data_folder(DATA_FILE_LOG, false) : chosen_log_folder;
    if (folder_write_test(chosen) == 1) {
        const std::wstring folder = folder_with_separator(chosen);
        log_folder_set(folder);
        control_text_set(TEXT_LOG_FOLDER, folder);
        data_folder_panel_draw(0);
    } else {
        control_text_set(TEXT_LOG_FOLDER, shown(L"Invalid or Protected Folder"));
    }
}

void log_folder_preset(bool portable) {
    const std::wstring folder = portable ? data_folder(DATA_FILE_PROGRAM, false) : data_folder(DATA_FILE_LOG, true);
    log_folder_set(folder);
    folder_tree_go(TREE_FOLDER_CHOOSER, folder + L"*.*");
    control_text_set(TEXT_LOG_FOLDER, folder);
    data_folder_ensure(shared_text(DATA_SUBFOLDER));
    data_folder_panel_draw(0);
}

void log_folder_chooser_open() {
    if (control_exists(BUTTON_OPEN_EXPLORER)) control_free(BUTTON_OPEN_EXPLORER);
    const float scale = SharedFloats[SETTINGS_SCALE].load();
    if (folder_tree_create(TREE_FOLDER_CHOOSER, gui_in_container(CONTAINER_FOLDER_CHOOSER), 0, 0,
                           scaled_units(scale, 304), scaled_units(scale, 160), data_folder(DATA_FILE_LOG, false)) &&
        font_exists(FONT_DEFAULT)) {
        control_font_set(TREE_FOLDER_CHOOSER, FONT_DEFAULT);
    }
    for (const int number :
         {TEXT_LOG_FOLDER, BUTTON_SET_LOG_FOLDER, BUTTON_DEFAULT_LOG_FOLDER, BUTTON_PORTABLE_LOG_FOLDER}) {
        control_enable(number, true);
    }
}

// The open or save dialog for a settings file; the empty text when it was cancelled.
std::wstring settings_file_dialog(bool save) {
    std::vector<wchar_t> path(MAX_PATH * 4, L'\0');
    const std::wstring proposed = L"Sotrix.ini";
    proposed.copy(path.data(), proposed.size());
    std::wstring patterns = shown(L"Settings File") + L" (*.ini)";
    patterns.push_back(L'\0');
    patterns += L"*.ini";
    patterns.push_back(L'\0');
    const std::wstring title = shown(save ? L"Select file to Export" : L"Select file to Import");
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = reinterpret_cast<HWND>(window_handle(WIN_MAIN));
    dialog.lpstrFilter = patterns.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = OFN_NOCHANGEDIR | (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    return chosen ? std::wstring(path.data()) : std::wstring();
}

void restart_clicked() {
    window_show(WIN_MAIN, WINDOW_HIDE);
    settings_save_if_changed();
    const std::wstring folder = shared_text(WORKING_FOLDER);
    if (!folder.empty()) SetCurrentDirectoryW(folder.c_str());
    const bool elevated = (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0;
    if (seams_in_use.program_start && seams_in_use.program_start(elevated)) {
        SharedInts[EXIT_LOOP_FLAG] = 1;
        quit_flag_raise(1);
        return;
    }
    // Ending now would leave the user without the program.
    const std::wstring failed = shown(L"Restart") + L" " + std::wstring(program_name()) + L": " + shown(L"Failed");
    event_line_add(LIST_SYSTEM_EVENTS, failed);
    window_show(WIN_MAIN, WINDOW_SHOW);
    status_title_set(failed, STATUS_SECONDS);
}

void shell_open(const std::wstring& target) {
    if (seams_in_use.shell_open && shell_target_allowed(target)) seams_in_use.shell_open(target);
}

}  // namespace

void settings_event_seams_set(const SettingsEventSeams& seams) { seams_in_use = seams; }

SettingsEventSeams settings_event_seams() { return seams_in_use; }

void settings_tab_event(const GuiEvent& event) {
    if (const OptionCheckBox* box = option_check_box(event.control)) return option_clicked(*box);
    switch (event.control) {
        case TRACK_TRANSPARENCY: transparency_moved(); break;
        case TRACK_WINDOW_WIDTH:
        case TRACK_WINDOW_HEIGHT: resize_preview_update(); break;
        case COMBO_TITLE_TEXT: title_chosen(); break;
        case COMBO_LONG_IDLE: long_idle_chosen(); break;
        case BUTTON_SET_LOG_FOLDER: log_folder_set_clicked(); break;
        case BUTTON_DEFAULT_LOG_FOLDER: log_folder_preset(false); break;
        case BUTTON_PORTABLE_LOG_FOLDER: log_folder_preset(true); break;
        case BUTTON_OPEN_EXPLORER: log_folder_chooser_open(); break;
        case TREE_FOLDER_CHOOSER:
            if (event.type == EVENT_TYPE_CHANGE) chosen_log_folder = folder_tree_path(TREE_FOLDER_CHOOSER);
            break;
        case BUTTON_IMPORT_SETTINGS: {
            const std::wstring path = settings_file_dialog(false);
            if (!path.empty()) settings_import(path);
            break;
        }
        case BUTTON_EXPORT_SETTINGS: {
            const std::wstring path = settings_file_dialog(true);
            if (!path.empty()) settings_export(path);
            break;
        }
        case BUTTON_SHUTDOWN:
            SharedInts[EXIT_LOOP_FLAG] = 1;
            quit_flag_raise(1);
            break;
        case BUTTON_RESTART: restart_clicked(); break;
        case LINK_WEBSITE:
        case LINK_DONATION:
            if (event.type == EVENT_TYPE_LEFT_CLICK) shell_open(control_text(event.control));
            break;
        case CANVAS_DATA_FILES:
            if (event.type == EVENT_TYPE_LEFT_DOUBLE_CLICK) data_folder_panel_draw(0);
            break;
        default: break;  // the folder text and the size picture: accepted, nothing to do
    }
}

void settings_tab_handlers_add() {
    control_handler_add(BUTTON_EXPORT_SETTINGS, BUTTON_PORTABLE_LOG_FOLDER, settings_tab_event);
    control_handler_add(CANVAS_DATA_FILES, CANVAS_DATA_FILES, settings_tab_event);
    control_handler_add(CHECK_ALWAYS_ON_TOP, CHECK_BORDERLESS, settings_tab_event);
    control_handler_add(COMBO_LONG_IDLE, COMBO_LONG_IDLE, settings_tab_event);
    control_handler_add(COMBO_TITLE_TEXT, COMBO_TITLE_TEXT, settings_tab_event);
    control_handler_add(TREE_FOLDER_CHOOSER, BUTTON_OPEN_EXPLORER, settings_tab_event);
    control_handler_add(PICTURE_RESIZE_PREVIEW, PICTURE_RESIZE_PREVIEW, settings_tab_event);
    control_handler_add(TEXT_LOG_FOLDER, TEXT_LOG_FOLDER, settings_tab_event);
    control_handler_add(LINK_WEBSITE, LINK_DONATION, settings_tab_event);
    control_handler_add(TRACK_TRANSPARENCY, TRACK_WINDOW_HEIGHT, settings_tab_event);
}
