// The main window's side of the hooks: the battery column's title and the redraw of a selected tab.
#include "ui/main_window_hooks.h"

#include "core/control_numbers.h"
#include "runtime/gui/control/control.h"
#include "runtime/gui/list_view/list_view.h"
#include "runtime/gui/panel/panel.h"
#include "ui/graph_control.h"

void battery_column_set(const std::wstring& title, int width) {
    if (control_exists(LIST_BATTERY)) list_view_column_set(LIST_BATTERY, 0, title, width);
}

void main_tab_selected(const GuiEvent&) {
    if (control_exists(PANEL_MAIN)) graphs_refresh(panel_tab_selected(PANEL_MAIN), REFRESH_FORCED, REFRESH_THROTTLED);
}
