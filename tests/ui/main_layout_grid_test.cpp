// The per-processor graph grid, the core labels and span text, and the GPU graph groups.
#include "ui/main_layout_grid.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "ui/main_layout_pages.h"

namespace {

// The Processors page of the smallest window: grid below the strip, down to the panel's height.
constexpr int PANEL_W = 786;
constexpr int PANEL_H = 520;
constexpr int GRID_TOP = 118;

struct ShapeCase {
    int cpus;
    int columns;
    int rows;
};

TEST(CoreGrid, ShapeForTheProcessorCount) {
    const ShapeCase cases[] = {{1, 1, 1},  {2, 2, 1},  {4, 2, 2},     {8, 4, 2},     {10, 4, 3}, {12, 4, 3}, {16, 4, 4},
                               {20, 5, 4}, {24, 6, 4}, {144, 12, 12}, {200, 12, 12}, {0, 1, 1},  {-5, 1, 1}};
    for (const ShapeCase& c : cases) {
        const CoreGridLayout grid = core_grid_layout(c.cpus, PANEL_W, PANEL_H, GRID_TOP, 2);
        EXPECT_EQ(grid.columns, c.columns) << c.cpus;
        EXPECT_EQ(grid.rows, c.rows) << c.cpus;
        EXPECT_EQ(static_cast<int>(grid.cells.size()), core_count_checked(c.cpus)) << c.cpus;
    }
}

TEST(CoreGrid, MoreThan144ProcessorsAreHeldToTheTables) {
    EXPECT_EQ(core_count_checked(200), 144);
    EXPECT_EQ(core_count_checked(145), 144);
    EXPECT_EQ(core_count_checked(144), 144);
    EXPECT_EQ(core_count_checked(0), 1);
    const CoreGridLayout grid = core_grid_layout(200, PANEL_W, PANEL_H, GRID_TOP, 2);
    EXPECT_EQ(grid.count, 144);
    EXPECT_EQ(grid.cells.back().core, 143);
}

TEST(CoreGrid, OneProcessorFillsTheGrid) {
    const CoreGridLayout grid = core_grid_layout(1, PANEL_W, PANEL_H, GRID_TOP, 2);
    ASSERT_EQ(grid.cells.size(), 1u);
    EXPECT_EQ(grid.cells[0].place, (UnitRect{2, GRID_TOP, PANEL_W, PANEL_H - GRID_TOP + 1}));
    EXPECT_EQ(grid.height, PANEL_H - GRID_TOP + 1);
    EXPECT_EQ(grid.cells[0].horizontal_divisions, 4);
    EXPECT_EQ(grid.cells[0].vertical_divisions, 0);
    EXPECT_FALSE(grid.cells[0].no_value_labels);
}

// Every graph stays on the page, neighbours share exactly one unit of border, and the grid is centred.
TEST(CoreGrid, CellsTileThePageArea) {
    for (const int cpus : {1, 2, 3, 8, 10, 16, 24, 64, 144}) {
        for (const int width : {786, 1250, 1910}) {
            const CoreGridLayout grid = core_grid_layout(cpus, width, PANEL_H, GRID_TOP, 2);
            const int used = grid.columns * grid.graph_width - (grid.columns - 1);
            EXPECT_LE(std::abs((grid.left_margin - 2) - (width - used) / 2), 1) << cpus << " at " << width;
            for (const CoreGraphCell& cell : grid.cells) {
                const int column = cell.core % grid.columns;
                const int row = cell.core / grid.columns;
                EXPECT_EQ(cell.place.x, grid.left_margin + column * (grid.graph_width - 1));
                EXPECT_EQ(cell.place.y, GRID_TOP + row * (grid.graph_height - 1));
                EXPECT_GE(cell.place.x, 2);
                EXPECT_LE(cell.place.right(), width + 2) << cpus << " at " << width;
                EXPECT_LE(cell.place.bottom(), PANEL_H + 1) << cpus;  // the page is PANEL_HEIGHT + 1 high
            }
        }
    }
}

TEST(CoreGrid, GridLinesAndLabelsFollowTheShape) {
    // 10 processors on 4 x 3: the last two cells stay empty; 4 horizontal divisions below 5 rows.
    const CoreGridLayout ten = core_grid_layout(10, PANEL_W, PANEL_H, GRID_TOP, 2);
    EXPECT_EQ(ten.cells.size(), 10u);
    for (const CoreGraphCell& cell : ten.cells) {
        EXPECT_EQ(cell.horizontal_divisions, 4);
        EXPECT_EQ(cell.no_value_labels, cell.core % 4 != 0) << cell.core;  // first column only
    }
    // 5 to 7 rows: 2 divisions; value labels up to 6 rows.
    const CoreGridLayout thirty = core_grid_layout(30, PANEL_W, PANEL_H, GRID_TOP, 2);
    ASSERT_GE(thirty.rows, 5);
    ASSERT_LE(thirty.rows, 6);
    EXPECT_EQ(thirty.cells[0].horizontal_divisions, 2);
    EXPECT_FALSE(thirty.cells[0].no_value_labels);
    const CoreGridLayout fifty = core_grid_layout(50, PANEL_W, PANEL_H, GRID_TOP, 2);
    ASSERT_EQ(fifty.rows, 7);
    EXPECT_EQ(fifty.cells[0].horizontal_divisions, 2);
    EXPECT_TRUE(fifty.cells[0].no_value_labels);
    // From 8 rows the drawing chooses, and graphs narrower than 100 units get one vertical division.
    const CoreGridLayout many = core_grid_layout(144, PANEL_W, PANEL_H, GRID_TOP, 2);
    EXPECT_EQ(many.cells[0].horizontal_divisions, 0);
    EXPECT_LT(many.graph_width, 100);
    EXPECT_EQ(many.cells[0].vertical_divisions, 1);
    EXPECT_EQ(core_grid_layout(2, PANEL_W, PANEL_H, GRID_TOP, 2).cells[0].vertical_divisions, 0);
}

TEST(CoreLabels, NumberPaddedToTheCountsDigits) {
    EXPECT_EQ(core_graph_label(L"CPU", 3, 16), L"CPU 03");
    EXPECT_EQ(core_graph_label(L"CPU", 3, 8), L"CPU 3");
    EXPECT_EQ(core_graph_label(L"CPU", 0, 1), L"CPU 0");
    EXPECT_EQ(core_graph_label(L"CPU", 7, 144), L"CPU 007");
    EXPECT_EQ(core_graph_label(L"CPU", 143, 144), L"CPU 143");
    EXPECT_EQ(core_graph_label(L"CPU", 5, 500), L"CPU 005");           // the count is held to 144 here too
    EXPECT_EQ(core_graph_label(L"Prozessor", 3, 144), L"Prozessor ");  // cut to the label's 10 characters
}

TEST(CoreSpan, SecondsAndMinutes) {
    EXPECT_EQ(core_span_text(300, L"seconds", L"minutes"), L"745 seconds (12.4 minutes)");
    EXPECT_EQ(core_span_text(200, L"seconds", L"minutes"), L"495 seconds");
    EXPECT_EQ(core_span_text(242, L"seconds", L"minutes"), L"600 seconds");
    EXPECT_EQ(core_span_text(244, L"Sekunden", L"Minuten"), L"605 Sekunden (10.1 Minuten)");
}

TEST(GpuGroups, SixGraphsInTwoColumnsOfThree) {
    const auto places = gpu_group_layout(300, 100, 786, 2);
    EXPECT_EQ(places[0], (UnitRect{2, 302, 392, 100}));
    EXPECT_EQ(places[1], (UnitRect{2, 400, 392, 100}));
    EXPECT_EQ(places[2], (UnitRect{2, 499, 392, 100}));
    EXPECT_EQ(places[3], (UnitRect{394, 302, 392, 100}));
    EXPECT_EQ(places[4], (UnitRect{394, 400, 392, 100}));
    EXPECT_EQ(places[5], (UnitRect{394, 499, 392, 100}));
    // The lowest row ends one unit above the panel's bottom when the groups start at PANEL_HEIGHT - 3 G.
    EXPECT_EQ(places[2].bottom(), 300 + 3 * 100 - 1);
}

TEST(GpuGroups, TheSelectionIsCheckedBeforeItIndexesASlot) {
    const struct {
        int selected;
        int entries;
        int slot;
    } cases[] = {{0, 0, -1}, {3, 0, -1}, {0, 1, 0}, {1, 1, 0},  {-1, 2, 0},
                 {1, 2, 1},  {7, 8, 7},  {8, 9, 0}, {9, 12, 0}, {5, 12, 5}};
    for (const auto& c : cases)
        EXPECT_EQ(gpu_slot_checked(c.selected, c.entries), c.slot) << c.selected << "/" << c.entries;
}

}  // namespace
