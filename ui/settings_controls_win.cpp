// The Settings tab's controls (and the settings controls of other tabs) set from the settings.
#include <mutex>
#include <string>

#include "core/control_numbers.h"
#include "core/settings_controls.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "runtime/gui/check_box/check_box.h"
#include "runtime/gui/combo_box/combo_box.h"
#include "runtime/gui/control/control.h"
#include "runtime/gui/folder_tree/folder_tree.h"
#include "runtime/gui/track_bar/track_bar.h"
#include "ui/ping_toolbar.h"
#include "ui/settings_page.h"

namespace {

void check_box_show(int control) {
    const OptionCheckBox* box = option_check_box(control);
    if (box && control_exists(control)) check_box_state_set(control, check_state_of(SharedInts[box->option].load()));
}

// A value the control cannot show leaves it as it is.
void choice_show(int control) {
    const SettingsChoice* choice = settings_choice(control);
    if (!choice || !control_exists(control)) return;
    const bool track_bar =
        control == TRACK_TRANSPARENCY || control == TRACK_WINDOW_WIDTH || control == TRACK_WINDOW_HEIGHT;
    const int count = track_bar ? 0 : combo_box_count(control);
    const int shown = choice_shown(*choice, SharedInts[choice->element].load(), count, -1);
    if (shown < 0) return;
    if (track_bar) {
        track_bar_value_set(control, shown);
    } else if (shown < count) {
        combo_box_select(control, shown);
    }
}

void log_controls_enable(bool enabled) {
    for (const int number : {CHECK_LOG_BUFFERING, CHECK_LOG_STORAGE_EVENTS, CHECK_LOG_NETWORK_EVENTS,
                             CHECK_LOG_DRIVE_SPACE, CHECK_LOG_SYSTEM_EVENTS}) {
        control_enable(number, enabled);
    }
}

}  // namespace

void options_controls_from_settings(int argument) {
    choice_show(COMBO_TITLE_TEXT);
    choice_show(COMBO_LONG_IDLE);
    for (const int box : {CHECK_ALWAYS_ON_TOP, CHECK_LOG_BUFFERING, CHECK_TRAY_SINGLE_CLICK, CHECK_DISK_ACTIVITY_ICON,
                          CHECK_EXTENDED_HISTORY, CHECK_LOG_STORAGE_EVENTS, CHECK_LOG_NETWORK_EVENTS,
                          CHECK_LOG_DRIVE_SPACE, CHECK_LOG_SYSTEM_EVENTS, CHECK_RESTORE_SESSION, CHECK_LOG_FILE}) {
        check_box_show(box);
    }
    if (SharedInts[OPT_LOG_FILE].load() != 0) {
        control_enable(BUTTON_OPEN_EXPLORER, true);
        log_controls_enable(true);
    } else {
        log_folder_chooser_close();
        log_controls_enable(false);
    }
    check_box_show(CHECK_START_MINIMIZED);
    choice_show(COMBO_NETWORK_UNIT);
    check_box_show(CHECK_TRANSPARENT);
    control_enable(TRACK_TRANSPARENCY, SharedInts[OPT_TRANSPARENT].load() != 0);
    for (const int box : {CHECK_POPUP_ON_DRIVES, CHECK_REALTIME_MEMORY, CHECK_REALTIME_NETWORK, CHECK_SOUND,
                          CHECK_TRAY_ICON, CHECK_MINIMIZE_TO_TRAY, CHECK_PING_TIMELINE_FULL, CHECK_BORDERLESS,
                          CHECK_CLOSE_TO_TRAY, CHECK_REMEMBER_POSITIONS}) {
        check_box_show(box);
    }
    std::wstring folder;
    {
        std::lock_guard guard(DataFilesLock);
        folder = DataFiles[DATA_FILE_LOG].folder;
    }
    folder_tree_go(TREE_FOLDER_CHOOSER, folder + L"*.*");
    control_text_set(TEXT_LOG_FOLDER, folder);
    choice_show(TRACK_TRANSPARENCY);
    choice_show(COMBO_PING_MODE);
    if (argument == 0) ping_toolbar_build();
    for (const int control : {COMBO_PING_FONT_SIZE, COMBO_PING_SLOW, COMBO_PING_INTERVAL, COMBO_EVENT_FONT_SIZE,
                              COMBO_BYTE_UNIT, TRACK_WINDOW_WIDTH, TRACK_WINDOW_HEIGHT}) {
        choice_show(control);
    }
    resize_preview_update();
}
