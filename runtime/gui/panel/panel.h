// Panels (tab controls) whose tabs each hold a page of controls, and plain containers of controls.
// A panel reports EVENT_TYPE_CHANGE when the user selects another tab.
#pragma once

#include <string>
#include <string_view>

#include "runtime/gui/gui.h"

int panel_create(int number, const GuiParent& parent, int x, int y, int width, int height);
// Adds a tab with its page at the end; returns its index, -1 on failure. Controls go on the page with
// gui_in_tab(panel, index). Main thread.
int panel_tab_add(int number, std::wstring_view caption);
int panel_tab_count(int number);
std::wstring panel_tab_caption(int number, int tab);
// The selected tab; -1 when none or no such panel. Another thread gets the tab the main thread last saw,
// without waiting for it: every change of the tab passes through the main thread.
int panel_tab_selected(int number);
// Selects a tab and shows its page, without reporting a change.
void panel_tab_select(int number, int tab);
// The inner size of the pages, in 96-DPI units.
bool panel_page_size(int number, int* width, int* height);

enum ContainerFlags : int { CONTAINER_BORDER = 0x1 };
// A plain area that holds controls: create them with gui_in_container(number).
int container_create(int number, const GuiParent& parent, int x, int y, int width, int height, int flags);
