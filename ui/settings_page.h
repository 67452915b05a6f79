// The Settings tab: its build, its controls set from the settings, the window-size preview, and the
// handlers of its control events and the About tab's. Main thread.
#pragma once

#include <string_view>

#include "runtime/gui/event/gui_event.h"
#include "ui/main_layout.h"

struct MainBuild;

// Lays out the page's rows on TAB_SETTINGS (inside the main window build, FONT_SETTINGS the default font).
void settings_page_build(const MainBuild& build);

// The first monitor, the DPI, the caption and the frame of a main window, as the size rule reads them.
DesktopFacts desktop_facts();

// Makes the Settings tab's controls (and the settings controls of other tabs, where they exist) show the
// settings. Argument 0 (after an import or a log-file toggle) also rebuilds the Ping tab's inputs for the ping
// mode in force; 1 (start-up, which builds them a little later) does not.
void options_controls_from_settings(int argument);

// The log-folder chooser closed: the folder tree replaced by the "Open File Explorer" button, the
// folder controls disabled.
void log_folder_chooser_close();

// Draws the window-size preview for the two size sliders and updates the size box's text.
void resize_preview_update();

// What the handlers do outside the program: start its new instance ("restart norepair", elevated on
// request; true when it started) and open a web address or a folder with the shell (true when opened).
struct SettingsEventSeams {
    bool (*program_start)(bool elevated) = nullptr;
    bool (*shell_open)(std::wstring_view target) = nullptr;
};
void settings_event_seams_set(const SettingsEventSeams& seams);
SettingsEventSeams settings_event_seams();

// The control events of the Settings and About tabs.
void settings_tab_event(const GuiEvent& event);
// Registers settings_tab_event for the controls of both tabs.
void settings_tab_handlers_add();
