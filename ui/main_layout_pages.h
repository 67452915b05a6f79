// Where the controls of the System to Events tabs and the About page stand, from the page layout values.
#pragma once

#include "ui/main_layout.h"

constexpr int SYSTEM_HEADER_HEIGHT = 72;
constexpr int STORAGE_GRAPH_MIN_HEIGHT = 152;
constexpr int WIDE_PROCESSOR_LISTS = 1600;  // from this inner window width the two processor lists stand side by side

// The graph height G and the events height E that the System tab fixes for the later pages.
struct SystemRows {
    int graph_height = 0;    // G
    int list_top = 0;        // T
    int events_height = 0;   // E
    int battery_height = 0;  // B
};
SystemRows system_rows(const PanelLayout& layout);

struct SystemPage {
    UnitRect header;
    UnitRect physical_list, pagefile_list, processors_list, events_list;
    UnitRect physical_graph, pagefile_graph, speed_graph, average_graph;
    UnitRect battery_list;
};
SystemPage system_page(const PanelLayout& layout);

struct ProcessorsPage {
    UnitRect base_speed_list, speed_list;
    int list_base_width = 0;  // the width the column fractions are taken of
    UnitRect temperature_strip;
    int grid_top = 0;
};
ProcessorsPage processors_page(const PanelLayout& layout, int window_inner_width);

struct GraphicsPage {
    UnitRect gpu_combo, id_list, info_list, temperature_strip;
    int groups_top = 0;  // Y: the GPU graph groups start below it
};
GraphicsPage graphics_page(const PanelLayout& layout);

// The Storage and the Networks tab share their shape: a unit box and a filter box, an ID list over two rate
// graphs on the left; a list (and on Networks an event list) on the right.
struct RatePage {
    int graph_height = 0;  // G2: at least STORAGE_GRAPH_MIN_HEIGHT
    UnitRect unit_combo, filter_combo, id_list, side_list, events_list, upper_graph, lower_graph;
};
RatePage storage_page(const PanelLayout& layout);
RatePage networks_page(const PanelLayout& layout);

// Sizes that are T x n take the tabs scale; the right-hand group is placed from the panel's own width.
struct PingPage {
    UnitRect mode_combo, host_input, add_button, delete_button, reset_button;
    UnitRect now_button, interval_combo, slow_combo, font_combo;
    UnitRect status_canvas, scroll_area;
    int inner_width = 0;  // of the scroll area
    int inner_height = 0;
    UnitRect list_canvas;  // inside the scroll area
};
PingPage ping_page(const PanelLayout& layout, int panel_main_width);

struct EventsPage {
    UnitRect log_combo, days_combo, search_input, search_mode_combo, search_button, clear_button;
    UnitRect search_type_combo, type_combo, font_combo, status_canvas;
    int details_height = 0;  // EVENTLOG_DETAILS_HEIGHT after the build
    UnitRect search_list, events_list, details_list;
};
// `details_height` is the height the details list had so far; the build only raises it.
EventsPage events_page(const PanelLayout& layout, int details_height);

struct AboutPage {
    UnitRect about_text, website_link, support_text, donation_link, data_files;
};
AboutPage about_page(const PanelLayout& layout);

// A link narrowed to its text, which stays centred where the link stood: d = (width - text width) / 2
// (negative when the text is wider), x moves right by d and the width shrinks by d.
UnitRect link_narrowed(const UnitRect& link, int text_width);
