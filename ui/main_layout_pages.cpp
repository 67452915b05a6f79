// Positions and sizes of the tab pages' controls, from the panel's layout values.
#include "ui/main_layout_pages.h"

#include <algorithm>

namespace {

constexpr int COMBO_HEIGHT = 20;
constexpr int BUTTON_HEIGHT = 22;

}  // namespace

SystemRows system_rows(const PanelLayout& layout) {
    SystemRows rows;
    rows.graph_height = (layout.panel_height - SYSTEM_HEADER_HEIGHT - 51) / 4;
    rows.list_top = SYSTEM_HEADER_HEIGHT + 4;
    rows.events_height = layout.panel_height - SYSTEM_HEADER_HEIGHT - 3 * rows.graph_height - 1;
    rows.battery_height = layout.panel_height - SYSTEM_HEADER_HEIGHT - 4 * rows.graph_height;
    return rows;
}

SystemPage system_page(const PanelLayout& layout) {
    const SystemRows rows = system_rows(layout);
    const int g = rows.graph_height;
    const int t = rows.list_top;
    const int s = layout.side_column_width;
    const int w = layout.graph_column_width;
    const int side = layout.side_column_x;
    const int left = layout.left_margin;
    SystemPage page;
    page.header = {left, 2, layout.panel_width, SYSTEM_HEADER_HEIGHT};
    // Each row overlaps the one above by a pixel, so neighbours share a border.
    page.physical_list = {side, t, s, g};
    page.pagefile_list = {side, t + g - 1, s, g};
    page.processors_list = {side, t + 2 * g - 2, s, g};
    page.events_list = {side, t + 3 * g - 3, s, rows.events_height};
    page.physical_graph = {left, t, w, g};
    page.pagefile_graph = {left, t + g - 1, w, g};
    page.speed_graph = {left, t + 2 * g - 2, w, g};
    page.average_graph = {left, t + 3 * g - 3, w, g};
    page.battery_list = {left, page.average_graph.bottom() - 1, w, rows.battery_height};
    return page;
}

ProcessorsPage processors_page(const PanelLayout& layout, int window_inner_width) {
    ProcessorsPage page;
    const int left = layout.left_margin;
    if (window_inner_width < WIDE_PROCESSOR_LISTS) {
        page.list_base_width = layout.panel_width;
        page.base_speed_list = {left, 2, page.list_base_width, 47};
        page.speed_list = {left, 48, page.list_base_width, 47};
    } else {
        page.list_base_width = layout.panel_width / 2;
        page.base_speed_list = {left, 2, page.list_base_width - 1, 47};
        page.speed_list = {left + page.list_base_width + 1, 2, page.list_base_width, 47};
    }
    page.temperature_strip = {left, page.speed_list.bottom() + 2, layout.panel_width, 20};
    page.grid_top = page.temperature_strip.bottom() + 1;
    return page;
}

GraphicsPage graphics_page(const PanelLayout& layout) {
    const SystemRows rows = system_rows(layout);
    const int g = rows.graph_height;
    GraphicsPage page;
    const int left = layout.left_margin;
    page.gpu_combo = {left, 2, layout.panel_width, COMBO_HEIGHT};
    page.id_list = {left, page.gpu_combo.bottom() + 2, layout.graph_column_width, layout.panel_height - 3 * g - 46};
    page.info_list = {layout.side_column_x, page.id_list.y, layout.side_column_width, page.id_list.height};
    page.temperature_strip = {left, page.id_list.bottom() + 2, layout.panel_width, 20};
    page.groups_top = page.temperature_strip.bottom();
    return page;
}

namespace {

RatePage rate_page(const PanelLayout& layout, bool with_events) {
    const SystemRows rows = system_rows(layout);
    RatePage page;
    page.graph_height = std::max(rows.graph_height, STORAGE_GRAPH_MIN_HEIGHT);
    const int g2 = page.graph_height;
    const int left = layout.left_margin;
    const int ph = layout.panel_height;
    page.unit_combo = {left, 2, (layout.panel_width * 8 + 50) / 100, COMBO_HEIGHT};  // 8 % of the panel
    page.filter_combo = {left + page.unit_combo.width + 2, 2, layout.panel_width - page.unit_combo.width - 2,
                         COMBO_HEIGHT};
    const int y = page.unit_combo.bottom() + 2;
    page.id_list = {left, y, layout.graph_column_width, ph - 2 * g2 - y + 2};
    if (with_events) {
        page.side_list = {layout.side_column_x, y, layout.side_column_width, ph - y - rows.events_height + 1};
        page.events_list = {layout.side_column_x, page.side_list.bottom() - 1, layout.side_column_width,
                            rows.events_height};
    } else {
        page.side_list = {layout.side_column_x, y, layout.side_column_width, ph - page.unit_combo.bottom() - 2};
    }
    page.upper_graph = {left, ph - 2 * g2 + 1, layout.graph_column_width, g2};
    page.lower_graph = {left, ph - g2, layout.graph_column_width, g2};
    return page;
}

}  // namespace

RatePage storage_page(const PanelLayout& layout) { return rate_page(layout, false); }

RatePage networks_page(const PanelLayout& layout) { return rate_page(layout, true); }

// The choice boxes are wide enough for their longest item next to the drop-down arrow ("1 Minute
// (Default)", "800", "28pt"); the host field gives up the room for that.
PingPage ping_page(const PanelLayout& layout, int panel_main_width) {
    const float t = layout.tabs_scale;
    const int left = layout.left_margin;
    PingPage page;
    page.mode_combo = {left, 2, scaled_units(t, 160), COMBO_HEIGHT};
    page.host_input = {page.mode_combo.right() + 4, 2, scaled_units(t, 220), COMBO_HEIGHT};
    const int button = scaled_units(t, 30);
    page.add_button = {page.host_input.right() + 4, 1, button, BUTTON_HEIGHT};
    page.delete_button = {page.add_button.right() + 2, 1, button, BUTTON_HEIGHT};
    page.reset_button = {page.delete_button.right() + 2, 1, button, BUTTON_HEIGHT};

    const int now_width = scaled_units(t, 40);
    page.now_button = {panel_main_width - now_width - 8, 1, now_width, BUTTON_HEIGHT};
    const int interval_width = scaled_units(t, 150);
    page.interval_combo = {page.now_button.x - interval_width - 3, 2, interval_width, COMBO_HEIGHT};
    const int slow_width = scaled_units(t, 50);
    page.slow_combo = {page.interval_combo.x - slow_width - 3, 2, slow_width, COMBO_HEIGHT};
    const int font_width = scaled_units(t, 50);
    page.font_combo = {page.slow_combo.x - font_width - 3, 2, font_width, COMBO_HEIGHT};

    page.status_canvas = {left, page.mode_combo.bottom() + 3, panel_main_width - 11, 17};
    const int top = page.status_canvas.bottom();
    page.scroll_area = {left, top, panel_main_width - 11, layout.panel_height - top - 2};
    page.inner_width = panel_main_width - 32;
    page.inner_height = layout.panel_height;
    page.list_canvas = {0, 1, page.inner_width, page.inner_height};
    return page;
}

EventsPage events_page(const PanelLayout& layout, int details_height) {
    const float t = layout.tabs_scale;
    EventsPage page;
    page.log_combo = {4, 2, scaled_units(t, 180), COMBO_HEIGHT};
    page.days_combo = {page.log_combo.right() + 4, 2, scaled_units(t, 75), COMBO_HEIGHT};
    // The search mode box fits "in allen Feldern"; the search field gives up the room for it.
    page.search_input = {page.days_combo.right() + 4, 2, scaled_units(t, 130), COMBO_HEIGHT};
    page.search_mode_combo = {page.search_input.right() + 4, 2, scaled_units(t, 120), COMBO_HEIGHT};
    const int button = scaled_units(t, 30);
    page.search_button = {page.search_mode_combo.right() + 3, 1, button, BUTTON_HEIGHT};
    page.clear_button = {page.search_button.right() + 2, 1, button, BUTTON_HEIGHT};
    const int type_width = scaled_units(t, 130);
    page.type_combo = {layout.panel_width - type_width, 2, type_width + 2, COMBO_HEIGHT};
    page.search_type_combo = page.type_combo;
    const int font_width = scaled_units(t, 50);
    page.font_combo = {page.type_combo.x - font_width - 3, 2, font_width, COMBO_HEIGHT};
    page.status_canvas = {4, page.log_combo.bottom() + 1, layout.panel_width, 13};

    const int y = page.status_canvas.bottom();
    // A height from the settings never squeezes the event list below a third of the room, nor the details.
    const int room = std::max(layout.panel_height - y, 0);
    page.details_height = std::clamp(details_height, room / 3, room - room / 3);
    page.events_list = {4, y, layout.panel_width - 2, layout.panel_height - y - page.details_height};
    page.search_list = page.events_list;
    const int details_top = page.events_list.bottom() - 1;
    page.details_list = {4, details_top, layout.panel_width - 2, layout.panel_height - details_top};
    return page;
}

AboutPage about_page(const PanelLayout& layout) {
    const float s = layout.settings_scale;
    const int left = layout.left_margin;
    const int width = layout.panel_width;
    AboutPage page;
    page.about_text = {left, scaled_units(s, 20), width, scaled_units(s, 90)};
    page.website_link = {left, scaled_units(s, 110), width, scaled_units(s, 25)};
    page.support_text = {left, scaled_units(s, 160), width, scaled_units(s, 110)};
    page.donation_link = {left, scaled_units(s, 270), width, scaled_units(s, 25)};
    // Its right edge lines up with the other pages' right-hand column instead of running off the page.
    page.data_files = {left + 5, layout.panel_height - 140, width - 5, 134};
    return page;
}

UnitRect link_narrowed(const UnitRect& link, int text_width) {
    const int d = (link.width - text_width) / 2;
    UnitRect narrowed = link;
    narrowed.x += d;
    narrowed.width -= d;
    return narrowed;
}
