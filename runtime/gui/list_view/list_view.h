// List views that show the rows of the list model (runtime/list_model.h) kept under their own number.
// Any thread changes the rows through the model; the view follows without the thread waiting for it.
// A row of a list with columns holds its columns separated by "\n". They report EVENT_TYPE_CHANGE when a
// row becomes selected, and left and right clicks and left double clicks.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "runtime/gui/gui.h"

enum ListViewFlags : int {
    LIST_VIEW_PLAIN = 0x1,  // no column header; one column as wide as the control
    LIST_VIEW_GRID = 0x2,   // grid lines
    LIST_VIEW_MULTI_SELECT = 0x4,
    LIST_VIEW_BORDERLESS = 0x8,
};

// Creates the view with its first column (96-DPI units). Returns its number, 0 on failure. Main thread.
int list_view_create(int number, const GuiParent& parent, int x, int y, int width, int height,
                     std::wstring_view first_column_title, int first_column_width, int flags);
// Adds a column at the position (-1 at the end). Main thread.
bool list_view_column_add(int number, int position, std::wstring_view title, int width);
void list_view_column_width_set(int number, int column, int width);
// Replaces a column's title and width (96-DPI units). Any thread: another thread waits while the main thread
// changes the header.
void list_view_column_set(int number, int column, std::wstring_view title, int width);
// The titles of the view's columns, left to right; none when there is no such view. Any thread: the view
// answers on the main thread, so a worker that calls this holds no lock the main thread may wait for.
std::vector<std::wstring> list_view_column_titles(int number);
// The (first) selected row; -1 when none.
int list_view_selected(int number);
// Selects a row (-1 clears the selection) and shows it.
void list_view_select(int number, int index);
// Shows the model's rows again at once. Main thread.
void list_view_refresh(int number);
