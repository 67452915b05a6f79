// The already-running notice: a small window with the fixed text, for five seconds.
#include <windows.h>

#include <string>

#include "app/already_running_notice.h"
#include "core/control_numbers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/single_instance.h"
#include "core/version.h"
#include "runtime/gui/control/control.h"
#include "runtime/gui/font/font.h"
#include "runtime/gui/text/text.h"
#include "runtime/gui/window/window.h"
#include "ui/dark_mode.h"

namespace {

constexpr int NOTICE_SHOWN_MS = 5000;
constexpr int NOTICE_WAIT_STEP_MS = 250;

}  // namespace

void already_running_notice_and_end() {
    const bool dark = SharedInts[DARK_MODE].load() == 1;
    const std::wstring title = std::wstring(program_name()) + L" " + version_text();
    window_open(WIN_COMPACT, 0, 0, 300, 70, title, WINDOW_CAPTION | WINDOW_SYSTEM_MENU | WINDOW_CENTERED);
    if (dark) {
        dark_title_bar_apply(WIN_COMPACT, 1);
        window_color_set(WIN_COMPACT, DARK_BACKGROUND);
    }
    font_load(FONT_NOTICE, L"Arial", 11, FONT_STYLE_HIGH_QUALITY);
    gui_default_font_set(FONT_NOTICE);
    text_label_create(TEXT_SPLASH, gui_in_window(WIN_COMPACT), 0, 15, 290, 50,
                      already_running_text(user_primary_language()), TEXT_CENTER);
    if (dark) control_colors_set(TEXT_SPLASH, 0xE0E0E0, DARK_BACKGROUND);
    window_timer_add(WIN_COMPACT, TIMER_NOTICE, NOTICE_SHOWN_MS);
    // The running instance may take the foreground when it comes forward.
    AllowSetForegroundWindow(ASFW_ANY);
    single_instance_activate_broadcast();
    Sleep(50);
    for (;;) {
        const GuiEvent event = wait_window_event(NOTICE_WAIT_STEP_MS);
        if (event.kind == EVENT_TIMER && event.window == WIN_COMPACT && event.number == TIMER_NOTICE) break;
    }
    window_close(WIN_COMPACT);
    ExitProcess(0);
}
