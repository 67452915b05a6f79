// The restart on Windows.
#include <windows.h>

#include "app/restart.h"
#include "core/control_numbers.h"
#include "core/event_lists.h"
#include "core/program_restart.h"
#include "core/settings_file.h"
#include "core/shared_state.h"
#include "runtime/gui/window/window.h"
#include "ui/status_title.h"

bool program_restart(std::wstring_view program, bool elevated) {
    if (window_exists(WIN_MAIN)) window_show(WIN_MAIN, WINDOW_HIDE);
    settings_save_if_changed();
    const std::wstring folder = shared_text(WORKING_FOLDER);
    if (!folder.empty()) SetCurrentDirectoryW(folder.c_str());
    if (program_start_again(program, elevated, SW_HIDE)) {
        SharedInts[EXIT_LOOP_FLAG] = 1;
        SharedInts[QUIT_FLAG] = 1;
        return true;
    }
    // Ending now would leave the user with no program at all.
    event_line_add(LIST_SYSTEM_EVENTS, restart_failed_text());
    if (window_exists(WIN_MAIN)) window_show(WIN_MAIN, WINDOW_SHOW);
    status_title_set(restart_failed_text(), 20);
    return false;
}
