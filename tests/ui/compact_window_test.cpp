// The compact window's cells over a recording surface: drawing only changed values, groups, layout, fitting,
// font and mode, and the cells made from the data block's templates.
#include "ui/compact_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "ui/compact_window_surface.h"

namespace {

struct Recorder {
    bool window = true;    // the window exists
    bool drawable = true;  // its canvas can be drawn on
    std::vector<std::vector<CompactPaint>> paints;
    std::vector<bool> clears;
    CompactFrame frame{1000, 500, 260, 84};
    std::vector<CompactFrame> placed;
    std::vector<bool> captions;
    std::vector<CompactCanvasPlace> canvas;
    std::vector<std::wstring> positions;
    int font_points = 0;
    int blanks = 480;
    int glyph = 12;
};
Recorder rec;

bool fake_paint(const std::vector<CompactPaint>& cells, bool clear) {
    if (!rec.window || !rec.drawable) return false;
    rec.paints.push_back(cells);
    rec.clears.push_back(clear);
    return true;
}
bool fake_font_load(int points) {
    rec.font_points = points;
    rec.blanks = 60 * (points * 8 / 10);
    rec.glyph = points + 2;
    return true;
}
bool fake_font_measure(int* blanks, int* glyph) {
    if (!rec.drawable) return false;
    *blanks = rec.blanks;
    *glyph = rec.glyph;
    return true;
}
bool fake_frame(CompactFrame* frame) {
    if (!rec.window) return false;
    *frame = rec.frame;
    return true;
}
void fake_place(const CompactFrame& frame) {
    rec.placed.push_back(frame);
    rec.frame = frame;
}
void fake_caption(bool caption) { rec.captions.push_back(caption); }
void fake_canvas(const CompactCanvasPlace& place) { rec.canvas.push_back(place); }
void fake_desktop() {
    SharedInts[MONITOR_COUNT] = 1;
    SharedInts[WORKAREA_WIDTH] = 1920;
    SharedInts[WORKAREA_HEIGHT] = 1040;
}
void fake_origin(int* left, int* top) { *left = *top = 0; }
void fake_positions(std::wstring_view text) { rec.positions.emplace_back(text); }

class CompactWindow : public ::testing::Test {
protected:
    void SetUp() override {
        shared_tables_init();
        shared_state_init(SharedStateFacts{});
        text_maps_load(LANGUAGE_ENGLISH);
        rec = Recorder{};
        CompactSurface surface;
        surface.paint = fake_paint;
        surface.font_load = fake_font_load;
        surface.font_measure = fake_font_measure;
        surface.window_frame = fake_frame;
        surface.window_place = fake_place;
        surface.window_caption_set = fake_caption;
        surface.canvas_place = fake_canvas;
        surface.desktop_refresh = fake_desktop;
        surface.work_area_origin = fake_origin;
        surface.positions_show = fake_positions;
        surface.dpi = 96;
        compact_surface_set(surface);
        ASSERT_TRUE(compact_font_measure());
        compact_cells_setup();
    }
    void TearDown() override {
        compact_surface_set(CompactSurface{});
        text_maps_load(LANGUAGE_ENGLISH);
    }
};

TEST_F(CompactWindow, FixedCellsComeFromTheTemplates) {
    EXPECT_FLOAT_EQ(SharedFloats[COMPACT_CHAR_WIDTH].load(), 8.0f);
    EXPECT_EQ(SharedInts[COMPACT_LINE_HEIGHT].load(), 12);
    const CompactCell& physical = CompactCells[CELL_PHYSICAL];
    EXPECT_EQ(physical.shown, CELL_SHOWN);
    EXPECT_EQ(physical.label.str(), L"Phys:");
    EXPECT_EQ(physical.label_key.str(), L"Phys");
    EXPECT_EQ(physical.x, 248);
    EXPECT_EQ(physical.y, 0);
    EXPECT_EQ(physical.text_color, 0xFFFFFF);
    EXPECT_EQ(CompactCells[CELL_DISK_READ].line, 4);
    EXPECT_EQ(CompactCells[CELL_DISK_READ].x, (15 + 30) * 8);
    EXPECT_EQ(CompactCells[CELL_DISK_READ].y, 36);
    EXPECT_EQ(CompactCells[CELL_CLOSE].label.str(), L"[X]");  // the buttons keep their labels as they are
    EXPECT_EQ(CompactCells[CELL_CPU].value_text.str(), L" Calculating   ");
    EXPECT_EQ(DriveTable[3].drive_name.str(), L"C:");
    EXPECT_EQ(DriveTable[26].letter.str(), L"Z");
}

TEST_F(CompactWindow, GermanLabelsKeepTheirWidth) {
    text_maps_load(LANGUAGE_GERMAN);
    compact_cells_setup();
    EXPECT_EQ(CompactCells[CELL_BATTERY].label.str(), L"Akku:");
    EXPECT_EQ(CompactCells[CELL_CPU].value_text.str(), L" wird berechnet");
    EXPECT_EQ(CompactCells[CELL_PHYSICAL].label.str(), L"Phys:");
}

TEST_F(CompactWindow, ACellIsDrawnOnlyWhenItsValueChanged) {
    cell_value_set(CELL_IDLE, L" 5m");
    cell_draw(CELL_IDLE, CELL_DRAW_IF_CHANGED);
    cell_draw(CELL_IDLE, CELL_DRAW_IF_CHANGED);
    ASSERT_EQ(rec.paints.size(), 1u);
    // The text fills the cell's width, so a shorter value covers all of a longer one drawn before.
    const size_t width = static_cast<size_t>(CompactCells[CELL_IDLE].width);
    ASSERT_GT(width, 8u);
    EXPECT_EQ(rec.paints[0][0].text, L"Idle: 5m" + std::wstring(width - 8, L' '));
    EXPECT_FALSE(rec.clears[0]);
    cell_draw(CELL_IDLE, CELL_DRAW_ALWAYS);  // forced
    EXPECT_EQ(rec.paints.size(), 2u);
    cell_show(CELL_IDLE, L" 5m");
    EXPECT_EQ(rec.paints.size(), 2u);
    cell_show(CELL_IDLE, L" 6m");
    EXPECT_EQ(rec.paints.size(), 3u);
    // A value longer than the cell's room is cut, never written past it.
    cell_value_set(CELL_IDLE, std::wstring(100, L'x'));
    EXPECT_EQ(CompactCells[CELL_IDLE].value_text.str().size(), 60u);
    cell_value_set(-1, L"ignored");
    cell_draw(COMPACT_CELL_COUNT, CELL_DRAW_ALWAYS);
}

TEST_F(CompactWindow, WithoutAWindowTheValueStillCountsAsDrawn) {
    rec.window = false;
    cell_show(CELL_UPTIME, L" 1h");
    EXPECT_TRUE(rec.paints.empty());
    EXPECT_EQ(CompactCells[CELL_UPTIME].drawn_text.str(), L" 1h");
    // A group redraw that cannot draw leaves the drawn texts as they were.
    cell_value_set(CELL_NETWORK_FIRST, L"eth0");
    CompactCells[CELL_NETWORK_FIRST].shown = CELL_SHOWN;
    cell_group_redraw(CELL_GROUP_NETWORK);
    EXPECT_TRUE(CompactCells[CELL_NETWORK_FIRST].drawn_text.empty());
}

TEST_F(CompactWindow, GroupRedrawsDrawTheChangedShownCellsInOneGo) {
    for (int cell : {49, 52, 60}) {
        CompactCells[cell].shown = CELL_SHOWN;
        cell_value_set(cell, L"adapter " + std::to_wstring(cell));
    }
    cell_value_set(50, L"hidden");  // not shown
    cell_group_redraw(CELL_GROUP_NETWORK);
    ASSERT_EQ(rec.paints.size(), 1u);
    EXPECT_EQ(rec.paints[0].size(), 3u);
    cell_group_redraw(CELL_GROUP_NETWORK);  // nothing changed
    EXPECT_EQ(rec.paints.size(), 1u);
    cell_group_redraw(CELL_GPU_LAST);  // not a group
    cell_group_redraw(CELL_DRIVE_SUMMARY);
    EXPECT_EQ(rec.paints.size(), 1u);

    // Drives: only present drives with a row.
    CompactCells[3].shown = CELL_SHOWN;
    CompactCells[3].drive_row = 1;
    cell_value_set(3, L"C: 10G");
    CompactCells[4].shown = CELL_LOST;
    CompactCells[4].drive_row = 2;
    cell_value_set(4, L"D: gone");
    CompactCells[5].shown = CELL_SHOWN;  // not placed yet
    cell_value_set(5, L"E: new");
    cell_group_redraw(CELL_GROUP_DRIVES);
    ASSERT_EQ(rec.paints.size(), 2u);
    ASSERT_EQ(rec.paints[1].size(), 1u);
    EXPECT_EQ(rec.paints[1][0].text, L"C: 10G");
}

TEST_F(CompactWindow, LayoutPutsGpuNetworkAndDriveLinesBelowTheFixedBlock) {
    SharedInts[DRIVE_TEXT_WIDTH] = 10;
    for (int cell : {41, 42, 49, 52, 60}) CompactCells[cell].shown = CELL_SHOWN;
    CompactCells[3].shown = CELL_SHOWN;
    CompactCells[3].drive_row = 2;
    CompactCells[4].shown = CELL_LOST;
    CompactCells[4].drive_row = 1;
    compact_window_layout();
    EXPECT_EQ(CompactCells[41].line, 5);
    EXPECT_EQ(CompactCells[42].line, 6);
    EXPECT_EQ(CompactCells[49].line, 7);
    EXPECT_EQ(CompactCells[52].line, 8);
    EXPECT_EQ(CompactCells[60].line, 9);
    EXPECT_EQ(CompactCells[60].column, 1);
    EXPECT_EQ(CompactCells[3].line, 11);
    EXPECT_EQ(CompactCells[3].column, -9);
    EXPECT_EQ(CompactCells[3].x, 21 * 8);
    ASSERT_EQ(rec.paints.size(), 1u);
    EXPECT_TRUE(rec.clears[0]);
    // All twelve fixed cells are shown until a mode is applied, then five GPU and adapter lines and one drive.
    EXPECT_EQ(rec.paints[0].size(), 12u + 5u + 1u);
    ASSERT_FALSE(rec.canvas.empty());
    EXPECT_EQ(rec.canvas.back().x, 260 - 480 - 1);
}

TEST_F(CompactWindow, FittingSizesMovesAndRecords) {
    SharedInts[COMPACT_MODE_APPLIED] = 0;
    SharedInts[OPT_BORDERLESS] = 0;
    SharedInts[NET_LINES] = 2;
    SharedInts[NET_READ_COUNTDOWN] = 7;
    SharedInts[MAIN_X] = 3;
    SharedInts[MAIN_Y] = 4;
    rec.frame = CompactFrame{1000, 980, 260, 84};
    compact_window_fit();
    EXPECT_EQ(SharedInts[COMPACT_WIDTH].load(), 234);
    EXPECT_EQ(SharedInts[COMPACT_HEIGHT].load(), 12 * 6 + 2);
    ASSERT_EQ(rec.placed.size(), 1u);
    EXPECT_EQ(rec.placed[0].x, 1026);  // the right edge stays at 1260
    EXPECT_EQ(rec.placed[0].y, 1040 - 74 - 120);
    EXPECT_EQ(SharedInts[COMPACT_X].load(), 1026);
    EXPECT_EQ(SharedInts[COMPACT_Y].load(), 846);
    ASSERT_EQ(rec.positions.size(), 1u);
    EXPECT_EQ(rec.positions[0], L"3, 4\r\n1026, 846");
    EXPECT_EQ(SharedInts[NET_READ_COUNTDOWN].load(), 0);
    EXPECT_EQ(SharedInts[COMPACT_RELAYOUT_REQUEST].load(), 0);

    // Minimised: nothing changes but the request to fit again later.
    rec.frame = CompactFrame{-32000, -32000, 0, 0};
    SharedInts[NET_READ_COUNTDOWN] = 7;
    compact_window_fit();
    EXPECT_EQ(rec.placed.size(), 1u);
    EXPECT_EQ(SharedInts[COMPACT_RELAYOUT_REQUEST].load(), 1);
    EXPECT_EQ(SharedInts[NET_READ_COUNTDOWN].load(), 0);
}

TEST_F(CompactWindow, TheModeChangesLabelsButtonsAndFrame) {
    rec.frame = CompactFrame{1000, 100, 234, 50};
    SharedInts[COMPACT_MODE_APPLIED] = 0;
    SharedInts[OPT_BORDERLESS] = 1;
    compact_mode_toggle();
    EXPECT_TRUE(CompactCells[CELL_PHYSICAL].label.empty());
    EXPECT_EQ(CompactCells[CELL_PHYSICAL].width, 10);
    EXPECT_EQ(CompactCells[CELL_PAGEFILE].column, 11);
    EXPECT_EQ(CompactCells[CELL_PAGEFILE].x, 41 * 8);
    for (int cell = CELL_MINIMIZE; cell <= CELL_CLOSE; ++cell) EXPECT_EQ(CompactCells[cell].shown, CELL_SHOWN);
    ASSERT_EQ(rec.captions.size(), 1u);
    EXPECT_FALSE(rec.captions[0]);
    EXPECT_EQ(rec.placed.size(), 1u);  // the same size is set again around the new frame
    EXPECT_EQ(SharedInts[COMPACT_MODE_APPLIED].load(), 1);

    SharedInts[OPT_BORDERLESS] = 0;
    compact_mode_toggle();
    EXPECT_EQ(CompactCells[CELL_PHYSICAL].label.str(), L"Phys:");
    EXPECT_EQ(CompactCells[CELL_PAGEFILE].label.str(), L"Page:");
    EXPECT_EQ(CompactCells[CELL_PAGEFILE].width, 14);
    for (int cell = CELL_MINIMIZE; cell <= CELL_CLOSE; ++cell) EXPECT_EQ(CompactCells[cell].shown, CELL_HIDDEN);
    EXPECT_TRUE(rec.captions.back());
    EXPECT_EQ(rec.placed.size(), 2u);
}

TEST_F(CompactWindow, AFontChangeIsAppliedOnceAndMovesTheFixedCells) {
    SharedInts[COMPACT_FONT_SIZE] = 20;
    compact_font_apply();
    EXPECT_EQ(rec.font_points, 20);
    EXPECT_EQ(SharedInts[COMPACT_FONT_APPLIED].load(), 20);
    EXPECT_FLOAT_EQ(SharedFloats[COMPACT_CHAR_WIDTH].load(), 16.0f);
    EXPECT_EQ(SharedInts[COMPACT_LINE_HEIGHT].load(), 22);
    EXPECT_EQ(CompactCells[CELL_UPTIME].y, 2 * 22);
    rec.font_points = 0;
    compact_font_apply();  // already applied
    EXPECT_EQ(rec.font_points, 0);

    // A canvas that cannot be drawn on keeps the old measures.
    rec.drawable = false;
    SharedInts[COMPACT_FONT_SIZE] = 12;
    compact_font_apply();
    EXPECT_FLOAT_EQ(SharedFloats[COMPACT_CHAR_WIDTH].load(), 16.0f);
}

TEST_F(CompactWindow, ClicksAreMeasuredWithTheCurrentFont) {
    const CompactHit hit = compact_window_hit(8 * 31 + 3, 12 * 3 + 1);
    EXPECT_EQ(hit.column, 1);
    EXPECT_EQ(hit.line, 4);
}

}  // namespace
