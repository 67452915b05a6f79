// What the settings, positions, colour lists and the log buffer need of the windows, installed by the
// windowing layer at start-up. Every hook may be missing: the procedures then do without the windows.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/control_numbers.h"

struct SettingsUiHooks {
    // Builds the main window when it does not exist yet (a settings file read at start-up needs the graphs
    // before its colours are applied; the splash shows "4-Loading: Settings" meanwhile).
    void (*main_window_ensure)() = nullptr;
    // The outer position of a window in 96-DPI units; false when the window does not exist.
    bool (*window_position)(int window, int32_t* x, int32_t* y) = nullptr;
    // The plot colour of a graph control; -1 when there is no such graph.
    int32_t (*graph_color)(int graph) = nullptr;
    void (*graph_color_set)(int graph, int32_t color) = nullptr;
    // The position of a track bar; -1 when it does not exist.
    int32_t (*trackbar_position)(int control) = nullptr;
    // Shows a text in a control when that control exists (log-buffer count, log folder, positions).
    void (*control_text_set)(int control, std::wstring_view text) = nullptr;
    // Sets the Settings tab's controls from the settings after an import (argument 0).
    void (*settings_controls_refresh)(int argument) = nullptr;
};

// Installs the hooks (main thread, before the workers start); later calls replace them.
void settings_ui_hooks_set(const SettingsUiHooks& hooks);
// A copy of the hooks in force.
SettingsUiHooks settings_ui_hooks();

// The hooks the windowing runtime answers by itself: window positions, track bars and control texts (on Windows;
// natively none). Start-up adds the main window, the graph colours and the Settings tab's refresh and installs them.
SettingsUiHooks settings_ui_hooks_platform();
