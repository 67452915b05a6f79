// Compact cells drawn by several threads at once onto a canvas-like surface: one painter at a time, no torn
// text, the canvas ends showing the cell's value, and a shorter value covers a longer one.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <latch>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "ui/compact_window.h"
#include "ui/compact_window_surface.h"

namespace {

constexpr int CHAR_PIXELS = 8;  // the fake font: 60 blanks measure 480 pixels
constexpr int LINE_PIXELS = 12;
constexpr int CANVAS_COLUMNS = 160;
constexpr int CANVAS_LINES = 16;

// A character canvas that paints one character at a time and gives other threads room to come between,
// as a real text draw can be interrupted. It counts paints that overlapped in time.
struct Canvas {
    std::array<std::array<std::atomic<wchar_t>, CANVAS_COLUMNS>, CANVAS_LINES> chars{};
    std::atomic<int> painting{0};
    std::atomic<int> overlaps{0};
    std::mutex texts_lock;
    std::vector<std::wstring> texts;  // every text painted, in order

    std::wstring line_part(int line, int column, int count) const {
        std::wstring text;
        for (int i = column; i < column + count && i < CANVAS_COLUMNS; ++i) text += chars[line][i].load();
        return text;
    }
};
Canvas* canvas = nullptr;

bool canvas_paint(const std::vector<CompactPaint>& cells, bool) {
    if (canvas->painting.fetch_add(1) != 0) canvas->overlaps.fetch_add(1);
    for (const CompactPaint& cell : cells) {
        const int line = cell.y / LINE_PIXELS;
        int column = cell.x / CHAR_PIXELS;
        for (const wchar_t c : cell.text) {
            if (line >= 0 && line < CANVAS_LINES && column >= 0 && column < CANVAS_COLUMNS)
                canvas->chars[line][column].store(c);
            ++column;
            std::this_thread::yield();
        }
        std::lock_guard guard(canvas->texts_lock);
        canvas->texts.push_back(cell.text);
    }
    canvas->painting.fetch_sub(1);
    return true;
}
bool canvas_measure(int* blanks, int* glyph) {
    *blanks = 60 * CHAR_PIXELS;
    *glyph = LINE_PIXELS;
    return true;
}

std::wstring value_of(int cell) {
    std::lock_guard guard(CellDrawMutex);
    return CompactCells[cell].value_text.str();
}
std::wstring drawn_of(int cell) {
    std::lock_guard guard(CellDrawMutex);
    return CompactCells[cell].drawn_text.str();
}

class CellDraw : public ::testing::Test {
protected:
    Canvas Paper;
    int Cell = CELL_UPTIME;  // the exit and the log read what it shows
    std::wstring Label;
    size_t Width = 0;
    std::vector<std::wstring> Values;  // of different lengths, the longest filling the cell

    void SetUp() override {
        shared_tables_init();
        shared_state_init(SharedStateFacts{});
        text_maps_load(LANGUAGE_ENGLISH);
        canvas = &Paper;
        CompactSurface surface;
        surface.paint = canvas_paint;
        surface.font_measure = canvas_measure;
        surface.dpi = 96;
        compact_surface_set(surface);
        ASSERT_TRUE(compact_font_measure());
        compact_cells_setup();
        Label = CompactCells[Cell].label.str();
        Width = static_cast<size_t>(CompactCells[Cell].width);
        ASSERT_GT(Width, Label.size() + 6);
        const size_t room = Width - Label.size();
        Values = {L" 5s", std::wstring(room, L'8'), L" 12m 3s", L" 1d", std::wstring(room - 2, L'7')};
    }
    void TearDown() override {
        compact_surface_set(CompactSurface{});
        canvas = nullptr;
    }

    // The text a cell shows for a value: label and value, blanks up to the cell's width.
    std::wstring shown(const std::wstring& value) const {
        std::wstring text = Label + value;
        if (text.size() < Width) text.resize(Width, L' ');
        return text;
    }
    std::wstring on_canvas() const {
        const CompactCell& cell = CompactCells[Cell];
        return Paper.line_part(cell.y / LINE_PIXELS, cell.x / CHAR_PIXELS, static_cast<int>(Width));
    }
};

TEST_F(CellDraw, ThreadsDrawingOneCellLeaveItsLastValueWholeOnTheCanvas) {
    constexpr int ROUNDS = 400;
    // The ways the monitors draw a cell: set and draw in one call, set then draw when changed, and a forced
    // redraw of whatever the value is.
    const auto show = [this](int thread) {
        for (int i = 0; i < ROUNDS; ++i) cell_show(Cell, Values[(thread + i) % Values.size()]);
    };
    const auto set_then_draw = [this](int thread) {
        for (int i = 0; i < ROUNDS; ++i) {
            cell_value_set(Cell, Values[(thread * 3 + i) % Values.size()]);
            cell_draw(Cell, CELL_DRAW_IF_CHANGED);
        }
    };
    const auto force = [this](int) {
        for (int i = 0; i < ROUNDS; ++i) cell_draw(Cell, CELL_DRAW_ALWAYS);
    };
    const std::wstring start_up_value = value_of(Cell);  // what a forced draw paints before any value came
    std::latch start(5);
    std::vector<std::thread> threads;
    for (int t = 0; t < 5; ++t) {
        threads.emplace_back([&, t] {
            start.arrive_and_wait();
            if (t < 2) {
                show(t);
            } else if (t < 4) {
                set_then_draw(t);
            } else {
                force(t);
            }
        });
    }
    for (auto& thread : threads) thread.join();

    EXPECT_EQ(Paper.overlaps.load(), 0) << "two threads painted at the same time";
    std::set<std::wstring> whole;
    for (const std::wstring& value : Values) whole.insert(shown(value));
    whole.insert(shown(start_up_value));
    int torn = 0;
    for (const std::wstring& text : Paper.texts) {
        if (!whole.contains(text) && ++torn <= 3)
            ADD_FAILURE() << "torn text painted: [" << testing::PrintToString(text) << "]";
    }
    EXPECT_EQ(torn, 0);
    ASSERT_GT(Paper.texts.size(), static_cast<size_t>(ROUNDS));
    // Whatever value came last is the one on the canvas and the one recorded as drawn.
    EXPECT_EQ(on_canvas(), shown(value_of(Cell)));
    EXPECT_EQ(drawn_of(Cell), value_of(Cell));
}

TEST_F(CellDraw, AShorterValueCoversALongerOneOnTheCanvas) {
    struct Step {
        const char* how;
        void (*draw)(int cell, const std::wstring& value);
    };
    const Step steps[] = {
        {"cell_show", [](int cell, const std::wstring& value) { cell_show(cell, value); }},
        {"set, then draw when changed",
         [](int cell, const std::wstring& value) {
             cell_value_set(cell, value);
             cell_draw(cell, CELL_DRAW_IF_CHANGED);
         }},
        {"group redraw",
         [](int cell, const std::wstring& value) {
             cell_value_set(cell, value);
             cell_group_redraw(CELL_GROUP_FIXED);
         }},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.how);
        for (const std::wstring& longer : {Values[1], Values[4]}) {
            step.draw(Cell, longer);
            ASSERT_EQ(on_canvas(), shown(longer));
            step.draw(Cell, L" 5s");
            EXPECT_EQ(on_canvas(), shown(L" 5s")) << "a part of " << testing::PrintToString(longer) << " stayed";
        }
    }
}

}  // namespace
