// Virtual list views (LVS_OWNERDATA): the view asks for each visible cell, which comes from the list model.
#include <windows.h>

#include <commctrl.h>

#include <array>

#include "runtime/gui/dpi/dpi_win.h"
#include "runtime/gui/list_view/list_row_columns.h"
#include "runtime/gui/list_view/list_view.h"
#include "runtime/gui/object/gui_objects_win.h"
#include "runtime/list_model.h"

namespace {

HWND hwnd_of(int number) { return gui_object_hwnd(false, number); }

void post_list_event(const GuiObject& object, int type) {
    GuiEvent event;
    event.kind = EVENT_CONTROL;
    event.window = object.window;
    event.control = object.number;
    event.type = type;
    gui_event_post(event);
}

}  // namespace

int list_view_create(int number, const GuiParent& parent, int x, int y, int width, int height,
                     std::wstring_view first_column_title, int first_column_width, int flags) {
    DWORD style = WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS;
    if (!(flags & LIST_VIEW_MULTI_SELECT)) style |= LVS_SINGLESEL;
    if (flags & LIST_VIEW_PLAIN) style |= LVS_NOCOLUMNHEADER;
    const DWORD ex_style = (flags & LIST_VIEW_BORDERLESS) ? 0 : WS_EX_CLIENTEDGE;
    number = gui_child_create(number, GUI_KIND_LIST_VIEW, WC_LISTVIEWW, parent, x, y, width, height, L"", style,
                              ex_style, flags);
    if (number == 0) return 0;
    HWND hwnd = hwnd_of(number);
    DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER;
    if (flags & LIST_VIEW_GRID) extended |= LVS_EX_GRIDLINES;
    SendMessageW(hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
    const int column_width = (flags & LIST_VIEW_PLAIN) ? width - 4 : first_column_width;
    list_view_column_add(number, 0, first_column_title, column_width);
    list_view_refresh(number);
    return number;
}

bool list_view_column_add(int number, int position, std::wstring_view title, int width) {
    HWND hwnd = hwnd_of(number);
    if (!hwnd) return false;
    HWND header = reinterpret_cast<HWND>(SendMessageW(hwnd, LVM_GETHEADER, 0, 0));
    const int count = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    std::wstring text(title);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.cx = gui_scale(width);
    column.pszText = text.data();
    column.iSubItem = position < 0 || position > count ? count : position;
    return SendMessageW(hwnd, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column.iSubItem),
                        reinterpret_cast<LPARAM>(&column)) >= 0;
}

void list_view_column_width_set(int number, int column, int width) {
    if (HWND hwnd = hwnd_of(number))
        SendMessageW(hwnd, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), gui_scale(width));
}

void list_view_column_set(int number, int column, std::wstring_view title, int width) {
    HWND hwnd = hwnd_of(number);
    if (!hwnd) return;
    std::wstring text(title);
    LVCOLUMNW change{};
    change.mask = LVCF_TEXT | LVCF_WIDTH;
    change.cx = gui_scale(width);
    change.pszText = text.data();
    SendMessageW(hwnd, LVM_SETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&change));
}

std::vector<std::wstring> list_view_column_titles(int number) {
    std::vector<std::wstring> titles;
    HWND hwnd = hwnd_of(number);
    if (!hwnd) return titles;
    HWND header = reinterpret_cast<HWND>(SendMessageW(hwnd, LVM_GETHEADER, 0, 0));
    const int count = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    for (int column = 0; column < count; ++column) {
        std::array<wchar_t, 260> text{};
        LVCOLUMNW item{};
        item.mask = LVCF_TEXT;
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(text.size());
        if (!SendMessageW(hwnd, LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item))) break;
        // The view may answer with a text of its own instead of filling the buffer.
        titles.emplace_back(item.pszText ? item.pszText : L"");
    }
    return titles;
}

int list_view_selected(int number) {
    HWND hwnd = hwnd_of(number);
    if (!hwnd) return -1;
    return static_cast<int>(SendMessageW(hwnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void list_view_select(int number, int index) {
    HWND hwnd = hwnd_of(number);
    if (!hwnd) return;
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = 0;
    SendMessageW(hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    if (index < 0) return;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    SendMessageW(hwnd, LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
}

void list_view_refresh(int number) {
    HWND hwnd = hwnd_of(number);
    if (!hwnd) return;
    // A new count lays the view out again (its scroll bars, its header); the same count needs none of it.
    const int count = list_rows_count(number);
    if (SendMessageW(hwnd, LVM_GETITEMCOUNT, 0, 0) != count)
        SendMessageW(hwnd, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), LVSICF_NOSCROLL);
    // Rows are inserted at the top, so every visible row may have changed. A hidden view is painted whole
    // when it is shown.
    if (IsWindowVisible(hwnd)) InvalidateRect(hwnd, nullptr, FALSE);
}

void list_view_on_rows_changed(int number) {
    GuiObject object;
    if (gui_object_get(false, number, &object) && object.kind == GUI_KIND_LIST_VIEW) list_view_refresh(number);
}

bool list_view_on_notify(const GuiObject& object, NMHDR* header, LRESULT* result) {
    switch (header->code) {
        case LVN_GETDISPINFOW: {
            auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
            if ((info->item.mask & LVIF_TEXT) && info->item.pszText && info->item.cchTextMax > 0) {
                const std::wstring row = list_row(object.number, info->item.iItem);
                const std::wstring_view cell = list_row_column(row, info->item.iSubItem);
                const size_t length = cell.size() < static_cast<size_t>(info->item.cchTextMax - 1)
                                          ? cell.size()
                                          : static_cast<size_t>(info->item.cchTextMax - 1);
                cell.copy(info->item.pszText, length);
                info->item.pszText[length] = L'\0';
            }
            *result = 0;
            return true;
        }
        case LVN_ITEMCHANGED: {
            const auto* change = reinterpret_cast<NMLISTVIEW*>(header);
            if ((change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED) &&
                !(change->uOldState & LVIS_SELECTED)) {
                post_list_event(object, EVENT_TYPE_CHANGE);
            }
            *result = 0;
            return true;
        }
        case NM_CLICK: post_list_event(object, EVENT_TYPE_LEFT_CLICK); return false;
        case NM_RCLICK: post_list_event(object, EVENT_TYPE_RIGHT_CLICK); return false;
        case NM_DBLCLK: post_list_event(object, EVENT_TYPE_LEFT_DOUBLE_CLICK); return false;
        default: return false;
    }
}
