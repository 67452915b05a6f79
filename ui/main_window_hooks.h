// What the main window offers the hooks and handlers that start-up installs: the battery column's title
// for the system monitor, and the redraw of a tab when the user selects it.
#pragma once

#include <string>

#include "runtime/gui/event/gui_event.h"

// Replaces the title and width (96-DPI units) of LIST_BATTERY's first column ("Battery (Saver On)").
// Any thread; nothing happens while the list does not exist.
void battery_column_set(const std::wstring& title, int width);

// The handler of PANEL_MAIN's tab change: redraws the tab now shown (graphs_refresh forced and throttled),
// whatever the samplers draw. Main thread.
void main_tab_selected(const GuiEvent& event);
