// The windowing hooks that the runtime's windows and controls answer by themselves.
#include "core/settings_file_hooks.h"

#include "runtime/gui/control/control.h"
#include "runtime/gui/track_bar/track_bar.h"
#include "runtime/gui/window/window.h"

namespace {

bool window_position_of(int window, int32_t* x, int32_t* y) {
    int left = 0;
    int top = 0;
    if (!window_exists(window) || !window_outer_position(window, &left, &top)) return false;
    *x = left;
    *y = top;
    return true;
}

int32_t trackbar_position_of(int control) { return control_exists(control) ? track_bar_value(control) : -1; }

// From any thread without waiting for the main thread.
void control_text_show(int control, std::wstring_view text) {
    if (control_exists(control)) control_text_set(control, text);
}

}  // namespace

SettingsUiHooks settings_ui_hooks_platform() {
    SettingsUiHooks hooks;
    hooks.window_position = window_position_of;
    hooks.trackbar_position = trackbar_position_of;
    hooks.control_text_set = control_text_show;
    return hooks;
}
