// The control makers that the main window's pages share: lists, list boxes, graphs, strips, choice boxes.
#include <cmath>

#include "core/control_numbers.h"
#include "core/language.h"
#include "runtime/gui/canvas/canvas.h"
#include "runtime/gui/combo_box/combo_box.h"
#include "runtime/gui/control/control.h"
#include "runtime/gui/font/font.h"
#include "runtime/gui/list_view/list_view.h"
#include "ui/graph_descriptor.h"
#include "ui/graph_draw.h"
#include "ui/main_layout_choices.h"
#include "ui/main_window_pages.h"

namespace {

constexpr int32_t CANVAS_WHITE = 0xFFFFFF;

int column_width(double fraction, int base) { return static_cast<int>(std::lround(fraction * base)); }

std::wstring column_title(const ListColumn& column) {
    return column.as_is ? std::wstring(column.title) : shown(column.title);
}

}  // namespace

std::wstring shown(std::wstring_view english) {
    const std::wstring& text = tr(english);
    return text.empty() ? std::wstring(english) : text;
}

void page_list_create(int number, int tab, const UnitRect& place, int base, std::initializer_list<ListColumn> columns) {
    const auto first = columns.begin();
    if (first == columns.end()) return;
    if (!list_view_create(number, gui_in_tab(PANEL_MAIN, tab), place.x, place.y, place.width, place.height,
                          column_title(*first), column_width(first->fraction, base), 0)) {
        return;
    }
    for (auto column = first + 1; column != columns.end(); ++column)
        list_view_column_add(number, -1, column_title(*column), column_width(column->fraction, base));
}

void page_list_box_create(int number, int tab, const UnitRect& place, int font) {
    if (!list_view_create(number, gui_in_tab(PANEL_MAIN, tab), place.x, place.y, place.width, place.height, L"",
                          place.width, LIST_VIEW_PLAIN)) {
        return;
    }
    if (font >= 0) control_font_set(number, font);
}

void graph_create(int number, int tab, const UnitRect& place, int32_t plot_color) {
    const int canvas = canvas_create(number, gui_in_tab(PANEL_MAIN, tab), place.x, place.y, place.width, place.height,
                                     0, CANVAS_WHITE);
    if (!canvas) return;
    GraphDescriptor* graph =
        graph_descriptor_create(number, graph_scaled(place.width, graphs_device_scale()), canvas, 0);
    if (!graph) return;
    graph_set_attribute(number, GRAPH_ATTR_FONT, font_handle(FONT_GRAPH));
    graph_set_attribute(number, GRAPH_ATTR_PLOT_COLOR, plot_color);
}

void page_strip_create(int number, int tab, const UnitRect& place) {
    if (canvas_create(number, gui_in_tab(PANEL_MAIN, tab), place.x, place.y, place.width, place.height, 0,
                      CANVAS_WHITE)) {
        strip_frame_paint(number);
    }
}

void page_combo_create(int number, int tab, const UnitRect& place, const std::vector<std::wstring>& items, int selected,
                       int font) {
    if (!combo_box_create(number, gui_in_tab(PANEL_MAIN, tab), place.x, place.y, place.width, place.height, 0)) return;
    if (font >= 0) control_font_set(number, font);
    combo_box_clear(number);
    for (const std::wstring& item : items) combo_box_item_add(number, -1, item);
    combo_box_select(number, item_index_checked(selected, static_cast<int>(items.size()), -1));
}

TimeWords time_words() {
    TimeWords words;
    words.second = shown(L"Second");
    words.seconds = shown(L"Seconds");
    words.minute = shown(L"Minute");
    words.minutes = shown(L"Minutes");
    words.hour = shown(L"Hour");
    words.hours = shown(L"Hours");
    words.day = shown(L"Day");
    words.days = shown(L"Days");
    words.default_word = shown(L"Default");
    words.disabled = shown(L"Disabled");
    words.forever = shown(L"Forever");
    return words;
}
