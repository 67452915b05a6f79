// Where the controls of the System to Events tabs and the About page stand: on the page, without covering
// each other (neighbours may share a border), at the sizes of the smallest, a common and a large window.
#include "ui/main_layout_pages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct Named {
    const char* name;
    UnitRect place;
};

struct PageCase {
    int page_width;
    int page_height;
};

// Page sizes of the smallest window (800 x 550), of 1280 x 800 at 80 % and of a large one.
constexpr PageCase PAGES[] = {{790, 521}, {1014, 611}, {1910, 1033}};

// Inside the page (PANEL_WIDTH + 4 by PANEL_HEIGHT + 1), and no two overlapping by more than a shared border.
void expect_laid_out(const std::vector<Named>& controls, const PanelLayout& layout, const std::string& page) {
    for (const Named& c : controls) {
        EXPECT_GE(c.place.x, 0) << page << " " << c.name;
        EXPECT_GE(c.place.y, 0) << page << " " << c.name;
        EXPECT_GT(c.place.width, 0) << page << " " << c.name;
        EXPECT_GT(c.place.height, 0) << page << " " << c.name;
        EXPECT_LE(c.place.right(), layout.panel_width + 4) << page << " " << c.name;
        EXPECT_LE(c.place.bottom(), layout.panel_height + 1) << page << " " << c.name;
    }
    for (size_t i = 0; i < controls.size(); ++i) {
        for (size_t j = i + 1; j < controls.size(); ++j) {
            const UnitRect& a = controls[i].place;
            const UnitRect& b = controls[j].place;
            const int across = std::min(a.right(), b.right()) - std::max(a.x, b.x);
            const int down = std::min(a.bottom(), b.bottom()) - std::max(a.y, b.y);
            EXPECT_FALSE(across > 2 && down > 2) << page << ": " << controls[i].name << " covers " << controls[j].name;
        }
    }
}

TEST(SystemPage, RowsShareBordersAndFillThePage) {
    const PanelLayout small = panel_layout(790, 521, 96);
    const SystemRows rows = system_rows(small);
    EXPECT_EQ(rows.graph_height, 99);
    EXPECT_EQ(rows.list_top, 76);
    EXPECT_EQ(rows.events_height, 150);
    EXPECT_EQ(rows.battery_height, 52);
    for (const PageCase& size : PAGES) {
        const PanelLayout layout = panel_layout(size.page_width, size.page_height, 96);
        const SystemPage p = system_page(layout);
        EXPECT_EQ(p.header, (UnitRect{2, 2, layout.panel_width, 72}));
        EXPECT_EQ(p.pagefile_list.y, p.physical_list.bottom() - 1);
        EXPECT_EQ(p.events_list.bottom(), layout.panel_height);
        EXPECT_EQ(p.battery_list.bottom(), layout.panel_height);
        EXPECT_EQ(p.physical_graph.right() + 2, p.physical_list.x);
        expect_laid_out({{"header", p.header},
                         {"physical list", p.physical_list},
                         {"pagefile list", p.pagefile_list},
                         {"processors list", p.processors_list},
                         {"events list", p.events_list},
                         {"physical graph", p.physical_graph},
                         {"pagefile graph", p.pagefile_graph},
                         {"speed graph", p.speed_graph},
                         {"average graph", p.average_graph},
                         {"battery list", p.battery_list}},
                        layout, "system " + std::to_string(size.page_width));
    }
}

TEST(ProcessorsPage, ListsStackedBelow1600UnitsAndSideBySideFrom) {
    const PanelLayout layout = panel_layout(1594, 900, 96);
    const ProcessorsPage narrow = processors_page(layout, 1599);
    EXPECT_EQ(narrow.base_speed_list, (UnitRect{2, 2, layout.panel_width, 47}));
    EXPECT_EQ(narrow.speed_list, (UnitRect{2, 48, layout.panel_width, 47}));
    EXPECT_EQ(narrow.temperature_strip, (UnitRect{2, 97, layout.panel_width, 20}));
    EXPECT_EQ(narrow.grid_top, 118);
    const ProcessorsPage wide = processors_page(layout, 1600);
    const int half = layout.panel_width / 2;
    EXPECT_EQ(wide.base_speed_list, (UnitRect{2, 2, half - 1, 47}));
    EXPECT_EQ(wide.speed_list, (UnitRect{2 + half + 1, 2, half, 47}));
    EXPECT_EQ(wide.list_base_width, half);
    EXPECT_EQ(wide.grid_top, 72);
}

TEST(GraphicsPage, ListsOverTheStripOverTheGroups) {
    for (const PageCase& size : PAGES) {
        const PanelLayout layout = panel_layout(size.page_width, size.page_height, 96);
        const GraphicsPage p = graphics_page(layout);
        const int g = system_rows(layout).graph_height;
        EXPECT_EQ(p.groups_top, layout.panel_height - 3 * g);
        EXPECT_EQ(p.temperature_strip.bottom(), p.groups_top);
        expect_laid_out({{"gpu combo", p.gpu_combo},
                         {"id list", p.id_list},
                         {"info list", p.info_list},
                         {"strip", p.temperature_strip}},
                        layout, "graphics " + std::to_string(size.page_width));
    }
}

TEST(RatePages, GraphsAtLeast152High) {
    for (const PageCase& size : PAGES) {
        const PanelLayout layout = panel_layout(size.page_width, size.page_height, 96);
        const int g = system_rows(layout).graph_height;
        for (const bool networks : {false, true}) {
            const RatePage p = networks ? networks_page(layout) : storage_page(layout);
            EXPECT_EQ(p.graph_height, std::max(g, 152));
            EXPECT_EQ(p.lower_graph.bottom(), layout.panel_height);
            EXPECT_EQ(p.upper_graph.bottom() - 1, p.lower_graph.y);
            EXPECT_EQ(p.id_list.bottom() - 1, p.upper_graph.y);
            std::vector<Named> controls = {{"unit", p.unit_combo},   {"filter", p.filter_combo},
                                           {"id list", p.id_list},   {"side list", p.side_list},
                                           {"upper", p.upper_graph}, {"lower", p.lower_graph}};
            if (networks) {
                controls.push_back({"events", p.events_list});
                EXPECT_EQ(p.events_list.bottom(), layout.panel_height);
            } else {
                EXPECT_EQ(p.side_list.bottom(), layout.panel_height);
            }
            expect_laid_out(controls, layout, (networks ? "networks " : "storage ") + std::to_string(size.page_width));
        }
    }
    // A tall page keeps its own graph height: 1033 units give G = 227.
    EXPECT_EQ(storage_page(panel_layout(1910, 1033, 96)).graph_height, 227);
}

TEST(PingPage, ToolbarGroupsMeetNeverAndTheListFillsThePage) {
    for (const PageCase& size : PAGES) {
        const PanelLayout layout = panel_layout(size.page_width, size.page_height, 96);
        const int panel_main = size.page_width + 8;
        const PingPage p = ping_page(layout, panel_main);
        EXPECT_LT(p.reset_button.right() + 4, p.font_combo.x) << size.page_width;
        EXPECT_EQ(p.scroll_area.y, p.status_canvas.bottom());
        EXPECT_EQ(p.scroll_area.bottom(), layout.panel_height - 2);
        EXPECT_EQ(p.list_canvas, (UnitRect{0, 1, panel_main - 32, layout.panel_height}));
        expect_laid_out({{"mode", p.mode_combo},
                         {"host", p.host_input},
                         {"add", p.add_button},
                         {"delete", p.delete_button},
                         {"reset", p.reset_button},
                         {"now", p.now_button},
                         {"interval", p.interval_combo},
                         {"slow", p.slow_combo},
                         {"font", p.font_combo},
                         {"status", p.status_canvas},
                         {"scroll", p.scroll_area}},
                        layout, "ping " + std::to_string(size.page_width));
    }
}

TEST(EventsPage, ToolbarAndTheThreeLists) {
    for (const PageCase& size : PAGES) {
        const PanelLayout layout = panel_layout(size.page_width, size.page_height, 96);
        const EventsPage p = events_page(layout, 150);
        EXPECT_LT(p.clear_button.right() + 4, p.font_combo.x) << size.page_width;
        EXPECT_EQ(p.search_list, p.events_list);
        EXPECT_EQ(p.search_type_combo, p.type_combo);
        EXPECT_EQ(p.details_list.y, p.events_list.bottom() - 1);
        EXPECT_EQ(p.details_list.bottom(), layout.panel_height);
        EXPECT_GE(p.details_height, 150);
        EXPECT_GE(p.details_height, (layout.panel_height - p.status_canvas.bottom()) / 3);
        expect_laid_out({{"log", p.log_combo},
                         {"days", p.days_combo},
                         {"search", p.search_input},
                         {"mode", p.search_mode_combo},
                         {"search button", p.search_button},
                         {"clear", p.clear_button},
                         {"type", p.type_combo},
                         {"font", p.font_combo},
                         {"status", p.status_canvas},
                         {"events", p.events_list},
                         {"details", p.details_list}},
                        layout, "events " + std::to_string(size.page_width));
    }
    // The details height only grows: a larger height from before stays.
    EXPECT_EQ(events_page(panel_layout(790, 521, 96), 300).details_height, 300);
    EXPECT_EQ(events_page(panel_layout(790, 521, 96), 150).details_height, 161);
    // A height from the settings file is clamped: the event list keeps a third of the room, and a negative
    // height gives the smallest details list.
    for (const int height : {100000, 483, -5}) {
        const EventsPage p = events_page(panel_layout(790, 521, 96), height);
        const int room = p.events_list.height + p.details_height;
        EXPECT_GE(p.events_list.height, room / 3) << height;
        EXPECT_GE(p.details_height, room / 3) << height;
        EXPECT_EQ(p.details_list.bottom(), panel_layout(790, 521, 96).panel_height) << height;
    }
}

TEST(AboutPage, ScaledRowsAndThePanelAtTheBottom) {
    for (const PageCase& size : PAGES) {
        const PanelLayout layout = panel_layout(size.page_width, size.page_height, 96);
        const AboutPage p = about_page(layout);
        EXPECT_EQ(p.data_files.bottom(), layout.panel_height - 6);
        expect_laid_out({{"about", p.about_text},
                         {"website", p.website_link},
                         {"support", p.support_text},
                         {"donation", p.donation_link},
                         {"data files", p.data_files}},
                        layout, "about " + std::to_string(size.page_width));
    }
    const AboutPage large = about_page(panel_layout(1910, 1033, 96));  // scale 1.5
    EXPECT_EQ(large.about_text, (UnitRect{2, 30, 1906, 135}));
    EXPECT_EQ(large.donation_link.y, 405);
}

TEST(AboutPage, LinksNarrowedToTheirTextKeepTheirRightEdge) {
    const UnitRect link{2, 110, 786, 25};
    EXPECT_EQ(link_narrowed(link, 200), (UnitRect{295, 110, 493, 25}));
    EXPECT_EQ(link_narrowed(link, 786), link);
    // A text wider than the page: the link moves left and grows by the same amount.
    EXPECT_EQ(link_narrowed(link, 1000), (UnitRect{-105, 110, 893, 25}));
    for (const int text : {0, 1, 200, 785, 1000}) EXPECT_EQ(link_narrowed(link, text).right(), link.right());
}

}  // namespace
