// Inside the main window build: the page builders, called in tab order, and the control makers they share.
// Everything here runs on the main thread while the window is built, before any worker starts.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "ui/main_layout.h"
#include "ui/main_layout_pages.h"

// What every page is built from.
struct MainBuild {
    PanelLayout layout;
    SystemRows rows;              // G and E of the System tab, kept for the later pages
    int window_width = 0;         // inner width of the main window, units
    int panel_main_width = 0;     // width of the panel control, units
    bool settings_given = false;  // a settings file was read: its choices are kept
};

void system_page_build(const MainBuild& build);
void processors_page_build(const MainBuild& build);
void graphics_page_build(const MainBuild& build);
// Draws the six graphs of a GPU slot with "No Data" the first time the slot is shown (the build does it for
// the slot it shows). Main thread.
void gpu_slot_placeholders_draw(int slot);
void storage_page_build(const MainBuild& build);
void networks_page_build(const MainBuild& build);
void ping_page_build(const MainBuild& build);
void events_page_build(const MainBuild& build);
void about_page_build(const MainBuild& build);

// The shown text of an English key; the key itself where the text table has no entry, so no control is
// ever left without its words.
std::wstring shown(std::wstring_view english);

// A list with columns on a page: report view, full-row selection. Column widths are fractions of `base`.
struct ListColumn {
    std::wstring_view title;  // English key, shown translated
    double fraction = 0;
    bool as_is = false;  // the title is shown as given (already made of translated words)
};
void page_list_create(int number, int tab, const UnitRect& place, int base, std::initializer_list<ListColumn> columns);
// A single-column list without a header (a list box) in a font (-1: the default font).
void page_list_box_create(int number, int tab, const UnitRect& place, int font);

// A graph control: its canvas, its descriptor sized to the canvas in device pixels, the graph font and a
// plot colour (0x00BBGGRR).
void graph_create(int number, int tab, const UnitRect& place, int32_t plot_color);
// A temperature strip canvas with its frame drawn.
void page_strip_create(int number, int tab, const UnitRect& place);

// A drop-down list with items, one selected (-1: none), in a font (-1: the default font).
void page_combo_create(int number, int tab, const UnitRect& place, const std::vector<std::wstring>& items, int selected,
                       int font = -1);

// The translated words of the time units.
struct TimeWords;
TimeWords time_words();
