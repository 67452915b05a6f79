// The compact window's arithmetic: cell places, fitting, start positions, hit test and click routing.
#include "ui/compact_layout.h"

#include <gtest/gtest.h>

#include "core/control_numbers.h"

namespace {

TEST(CompactLayout, CellPlacesFollowColumnsAndLines) {
    EXPECT_EQ(cell_x_position(1, 8.0f, 96), 248);  // (1 + 30) x 8
    EXPECT_EQ(cell_x_position(-9, 8.0f, 96), 168);
    EXPECT_EQ(cell_x_position(1, 8.0f, 144), 372);
    EXPECT_EQ(cell_x_position(16, 7.5f, 96), 345);
    EXPECT_EQ(cell_y_position(1, 12, 96), 0);
    EXPECT_EQ(cell_y_position(4, 12, 144), 54);
    // The canvas is 60 characters wide and ends one unit left of the window's right edge.
    const CompactCanvasPlace place = compact_canvas_place(234, 8.0f, 12);
    EXPECT_EQ(place.width, 480);
    EXPECT_EQ(place.height, 720);
    EXPECT_EQ(place.x, -247);
    EXPECT_EQ(place.y, 1);
    EXPECT_EQ(place.x + place.width, 234 - 1);
    EXPECT_FLOAT_EQ(compact_char_width(480, 96), 8.0f);
    EXPECT_FLOAT_EQ(compact_char_width(720, 144), 8.0f);
    EXPECT_EQ(compact_line_height(18, 144), 12);
}

TEST(CompactLayout, TheWindowFitsItsLines) {
    CompactContent content;
    content.char_width = 8.0f;
    content.drive_text_width = 10;
    content.line_height = 12;
    content.drive_count = 3;
    content.drive_alias_count = 1;
    content.gpu_entries = 1;
    content.net_lines = 2;
    content.summary_shown = 1;
    EXPECT_EQ(compact_fit_width(content), 314);
    EXPECT_EQ(compact_fit_height(content), 122);
    content = CompactContent{};
    content.char_width = 8.0f;
    EXPECT_EQ(compact_fit_width(content), 234);
    EXPECT_EQ(compact_fit_height(content), 50);
}

TEST(CompactLayout, FittingKeepsTheRightEdgeAndStaysInsideTheWorkArea) {
    const CompactWorkArea wide{1, 0, 0, 1920, 1040};
    struct Case {
        const char* what;
        CompactFrame now;
        int width;
        int height;
        bool mode_changed;
        CompactWorkArea area;
        bool change;
        CompactFrame after;
    };
    const Case cases[] = {
        {"narrower keeps the right edge", {1000, 100, 400, 122}, 314, 122, false, wide, true, {1086, 100, 314, 122}},
        {"wider grows to the right", {1000, 100, 400, 122}, 500, 122, false, wide, true, {1000, 100, 500, 122}},
        {"unchanged", {1000, 100, 314, 122}, 314, 122, false, wide, false, {1000, 100, 314, 122}},
        {"a mode change resizes anyway", {1000, 100, 314, 122}, 314, 122, true, wide, true, {1000, 100, 314, 122}},
        {"too low moves up with room to spare",
         {1000, 950, 314, 122},
         314,
         122,
         false,
         wide,
         true,
         {1000, 798, 314, 122}},
        {"too far right moves left", {1700, 100, 314, 122}, 314, 122, false, wide, true, {1603, 100, 314, 122}},
        {"a small work area never pushes it above its top",
         {0, 100, 234, 300},
         234,
         300,
         false,
         {1, 0, 30, 800, 350},
         true,
         {0, 30, 234, 300}},
        {"a narrow work area never pushes it left of it",
         {50, 0, 234, 50},
         234,
         50,
         false,
         {1, 10, 0, 200, 600},
         true,
         {10, 0, 234, 50}},
        {"no monitor: resized, not kept inside",
         {1700, 950, 400, 122},
         314,
         122,
         false,
         {0, 0, 0, 1920, 1040},
         true,
         {1786, 950, 314, 122}},
    };
    for (const Case& c : cases) {
        const CompactFitPlan plan = compact_fit_plan(c.now, c.width, c.height, c.mode_changed, c.area);
        EXPECT_FALSE(plan.minimized) << c.what;
        EXPECT_EQ(plan.change, c.change) << c.what;
        EXPECT_EQ(plan.record, c.area.monitor_count > 0) << c.what;
        EXPECT_EQ(plan.frame.x, c.after.x) << c.what;
        EXPECT_EQ(plan.frame.y, c.after.y) << c.what;
        EXPECT_EQ(plan.frame.inner_width, c.after.inner_width) << c.what;
        EXPECT_EQ(plan.frame.inner_height, c.after.inner_height) << c.what;
    }
    const CompactFitPlan minimized = compact_fit_plan(CompactFrame{-32000, -32000, 0, 0}, 314, 122, true, wide);
    EXPECT_TRUE(minimized.minimized);
    EXPECT_FALSE(minimized.change);
}

TEST(CompactLayout, StartPositionsStayInsideSmallWorkAreas) {
    const CompactWorkArea full{1, 0, 0, 1920, 1040};
    EXPECT_EQ(splash_position(full, 260).x, 1657);
    EXPECT_EQ(splash_position(full, 260).y, 730);
    // 300 high: the splash's formula would put it 10 above the top.
    const CompactWorkArea small{1, 0, 0, 400, 300};
    EXPECT_EQ(splash_position(small, 260).y, 0);
    EXPECT_EQ(splash_position(CompactWorkArea{1, 0, 40, 400, 300}, 260).y, 40);
    EXPECT_EQ(splash_position(CompactWorkArea{1, 0, 0, 200, 300}, 260).x, 0);

    struct Case {
        int saved_x, saved_y;
        CompactWorkArea area;
        int x, y;
    };
    const Case cases[] = {
        {0, 0, full, 1920 - 260 - 7, 1040 - 260 - 84},       // nothing saved: the default
        {300, 200, full, 300, 200},                          // saved and inside
        {1800, 200, full, 1920 - 260 - 7, 200},              // beyond the right edge
        {300, 1000, full, 300, 1040 - 260 - 84},             // beyond the bottom
        {0, 0, CompactWorkArea{1, 0, 0, 400, 300}, 133, 0},  // small: the default stops at the top
        {0, 0, CompactWorkArea{1, 0, 24, 240, 300}, 0, 24},  // narrow, with a taskbar at the top
    };
    for (const Case& c : cases) {
        const CompactPoint point = compact_start_position(c.saved_x, c.saved_y, 260, 84, c.area);
        EXPECT_EQ(point.x, c.x) << c.saved_x << "," << c.saved_y;
        EXPECT_EQ(point.y, c.y) << c.saved_x << "," << c.saved_y;
    }
}

TEST(CompactLayout, TheMainWindowIsPulledBackInside) {
    const CompactWorkArea area{1, 0, 0, 1920, 1040};
    EXPECT_EQ(main_window_position(0, 0, 560, 240, 800, 600, area).x, 560);  // nothing saved: where it is
    EXPECT_EQ(main_window_position(1500, 700, 560, 240, 800, 600, area).x, 1120);
    EXPECT_EQ(main_window_position(1500, 700, 560, 240, 800, 600, area).y, 440);
    EXPECT_EQ(main_window_position(100, 100, 0, 0, 2400, 1200, area).x, 0);  // larger than the area: at its edge
}

TEST(CompactLayout, HitTestFindsColumnAndLine) {
    struct Case {
        int x, y, dpi;
        int column, line;
    };
    const Case cases[] = {
        {248, 0, 96, 1, 1},                          // the first pixel of column 1
        {255, 11, 96, 1, 1},                         // its last pixel still column 1
        {256, 12, 96, 2, 2},  {168, 40, 96, -9, 4},  // a drive line's label
        {372, 18, 144, 1, 2},                        // scaled screens
        {0, 0, 96, -30, 1},
    };
    for (const Case& c : cases) {
        const CompactHit hit = compact_hit(c.x, c.y, 8.0f, 12, c.dpi);
        EXPECT_EQ(hit.column, c.column) << c.x << "," << c.y;
        EXPECT_EQ(hit.line, c.line) << c.x << "," << c.y;
    }
    EXPECT_EQ(compact_hit(100, 100, 0.0f, 0, 96).line, 0);  // before the font was measured
    // With only the line height measured a click must not land on line 2 (the CPU cell) at column 0.
    EXPECT_EQ(compact_hit(100, 20, 0.0f, 12, 96).line, 0);
    EXPECT_EQ(compact_hit(100, 20, 8.0f, 0, 96).line, 0);
}

CompactClickFacts click_facts(bool compact_mode) {
    CompactClickFacts facts;
    // Column + width of the fixed cells, as the templates and the mode set them.
    facts.cell_end[28] = 1 + (compact_mode ? 10 : 15);
    facts.cell_end[29] = compact_mode ? 11 + 10 : 16 + 14;
    facts.cell_end[30] = 21;
    facts.cell_end[31] = 30;
    facts.cell_end[32] = 21;
    facts.cell_end[33] = 30;
    facts.cell_end[34] = 23;
    facts.cell_end[35] = 30;
    facts.cell_end[36] = 15;
    facts.cell_end[37] = 24;
    facts.cell_end[38] = 27;
    facts.cell_end[39] = 30;
    return facts;
}

TEST(CompactLayout, ClicksOnTheFixedLines) {
    struct Case {
        bool compact_mode;
        int column, line;
        bool ping_shown;
        CompactClickKind kind;
        int tab;
    };
    const Case cases[] = {
        {false, 1, 1, false, COMPACT_CLICK_TAB, TAB_SYSTEM},
        {false, 29, 1, false, COMPACT_CLICK_TAB, TAB_SYSTEM},  // normal mode: the whole line up to column 29
        {false, 30, 1, false, COMPACT_CLICK_NOTHING, -1},
        {true, 20, 1, false, COMPACT_CLICK_TAB, TAB_SYSTEM},
        {true, 21, 1, false, COMPACT_CLICK_MINIMIZE, -1},
        {true, 23, 1, false, COMPACT_CLICK_MINIMIZE, -1},
        {true, 24, 1, false, COMPACT_CLICK_TAB, TAB_SETTINGS},
        {true, 27, 1, false, COMPACT_CLICK_CLOSE, -1},
        {true, 29, 1, false, COMPACT_CLICK_CLOSE, -1},
        {false, 5, 2, false, COMPACT_CLICK_TAB, TAB_PROCESSORS},
        {false, 25, 2, false, COMPACT_CLICK_TAB, TAB_SYSTEM},
        {false, 25, 3, false, COMPACT_CLICK_TAB, TAB_SYSTEM},
        {false, 3, 4, false, COMPACT_CLICK_NOTHING, -1},  // no hosts pinged: the ping cell is empty
        {false, 3, 4, true, COMPACT_CLICK_TAB, TAB_PING},
        {false, 16, 4, false, COMPACT_CLICK_TAB, TAB_STORAGE},  // "R"
        {false, 28, 4, false, COMPACT_CLICK_TAB, TAB_STORAGE},  // "W"
        {false, 40, 4, false, COMPACT_CLICK_NOTHING, -1},
    };
    for (const Case& c : cases) {
        CompactClickFacts facts = click_facts(c.compact_mode);
        facts.hit = CompactHit{c.column, c.line};
        facts.ping_shown = c.ping_shown;
        const CompactClick click = compact_click_route(facts);
        EXPECT_EQ(click.kind, c.kind) << "column " << c.column << " line " << c.line;
        EXPECT_EQ(click.tab, c.tab) << "column " << c.column << " line " << c.line;
    }
}

TEST(CompactLayout, ClicksBelowTheFixedLines) {
    CompactClickFacts facts = click_facts(false);
    facts.gpu_entries = 2;
    facts.active_connections = 1;
    facts.hit = CompactHit{-5, 5};
    EXPECT_EQ(compact_click_route(facts).tab, TAB_GRAPHICS);
    facts.hit.line = 6;
    EXPECT_EQ(compact_click_route(facts).tab, TAB_GRAPHICS);
    facts.hit.line = 7;
    EXPECT_EQ(compact_click_route(facts).tab, TAB_NETWORKS);
    facts.hit.line = 8;
    CompactClick click = compact_click_route(facts);
    EXPECT_EQ(click.kind, COMPACT_CLICK_TAB);
    EXPECT_EQ(click.tab, TAB_STORAGE);
    facts.control = true;
    click = compact_click_route(facts);
    EXPECT_EQ(click.kind, COMPACT_CLICK_DRIVE_CONSOLE);
    EXPECT_EQ(click.drive_row, 1);
    facts.shift = true;  // Shift comes first
    EXPECT_EQ(compact_click_route(facts).kind, COMPACT_CLICK_DRIVE_OPEN);
    facts.shift = facts.control = false;
    facts.alt = true;
    facts.hit.line = 10;
    click = compact_click_route(facts);
    EXPECT_EQ(click.kind, COMPACT_CLICK_DRIVE_POWERSHELL);
    EXPECT_EQ(click.drive_row, 3);
    facts.hit.line = 82;
    EXPECT_EQ(compact_click_route(facts).kind, COMPACT_CLICK_NOTHING);
    facts.hit.line = 0;
    EXPECT_EQ(compact_click_route(facts).kind, COMPACT_CLICK_NOTHING);
}

TEST(CompactLayout, CtrlWheelChangesTheFontWithinItsRange) {
    EXPECT_EQ(compact_wheel_font_size(10, 1, true), 11);
    EXPECT_EQ(compact_wheel_font_size(26, 1, true), 26);
    EXPECT_EQ(compact_wheel_font_size(11, -1, true), 10);
    EXPECT_EQ(compact_wheel_font_size(11, 0, true), 10);
    EXPECT_EQ(compact_wheel_font_size(10, -3, true), 10);
    EXPECT_EQ(compact_wheel_font_size(14, 1, false), 14);
}

}  // namespace
