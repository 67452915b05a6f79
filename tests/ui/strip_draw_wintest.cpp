// Temperature strips painted on real canvases: colour runs from the right, the grey band otherwise.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>

#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "runtime/display_probe_win.h"
#include "runtime/gui/canvas/canvas.h"
#include "runtime/gui/canvas/canvas_draw_win.h"
#include "runtime/gui/gui.h"
#include "runtime/gui/window/window.h"
#include "ui/graph_control.h"
#include "ui/graph_draw.h"
#include "ui/history_strip.h"
#include "ui/tab_redraw.h"

namespace {

constexpr int WINDOW = 521;
constexpr uint32_t FRAME = 0x808080;
constexpr uint32_t GREY = STRIP_EMPTY_COLOR;

uint32_t pixel(int canvas, int x, int y) {
    CanvasDraw draw(canvas);
    return draw ? static_cast<uint32_t>(GetPixel(draw.dc(), x, y)) : 0xFFFFFFFFu;
}

HistoryList gpu_history;

bool gpu_source(const GpuChoice& choice, GpuTabReading& out) {
    if (choice.amd) return false;
    out.label = L"G1";
    out.history = &gpu_history;
    out.temperature_limit = 90;
    return true;
}

class StripDrawWindows : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(display_available()) << NO_DISPLAY_TEXT;
        ASSERT_TRUE(gui_init());
        shared_state_init(SharedStateFacts{});
        shared_tables_init();
        ASSERT_TRUE(window_open(WINDOW, 40, 40, 500, 100, L"strip test", WINDOW_CAPTION | WINDOW_INVISIBLE));
        for (int canvas : {CANVAS_CPU_TEMPERATURE, CANVAS_GPU_TEMPERATURE}) {
            ASSERT_EQ(canvas_create(canvas, gui_in_window(WINDOW), 0, 0, 400, 20, 0), canvas);
            strip_frame_paint(canvas);
        }
        ASSERT_TRUE(canvas_pixel_size(CANVAS_CPU_TEMPERATURE, &width, &height));
        SharedInts[HISTORY_LENGTH] = width - 2;
        SharedInts[TEMP_TOOL_STATE] = 3;
        SharedInts[CPU_TEMP_LIMIT] = 100;
    }
    void TearDown() override {
        gpu_tab_source_set(nullptr);
        gpu_history.clear();
        window_close(WINDOW);
        wait_window_event(10);
    }
    // Five cool points, then three hot ones as the newest.
    static void history_fill(HistoryList& history) {
        for (int t : {30, 30, 30, 30, 30, 70, 70, 70})
            history_point_add(history, {temperature_color(t), date_now(), t});
    }
    // The band's columns: the newest point at width - 2, inside the frame.
    void expect_runs(int canvas) {
        const int newest = width - 2;
        for (int x = newest - 2; x <= newest; ++x)
            EXPECT_EQ(pixel(canvas, x, height - 3), uint32_t(temperature_color(70))) << x;
        for (int x = newest - 7; x <= newest - 3; ++x)
            EXPECT_EQ(pixel(canvas, x, height - 3), uint32_t(temperature_color(30))) << x;
        EXPECT_EQ(pixel(canvas, newest - 8, height - 3), GREY);
        EXPECT_EQ(pixel(canvas, width / 2 + 60, height - 3), GREY);
    }
    void expect_grey_band(int canvas) {
        for (int x : {1, width / 2, width - 4, width - 2}) EXPECT_EQ(pixel(canvas, x, height - 3), GREY) << x;
    }
    int width = 0;
    int height = 0;
};

TEST_F(StripDrawWindows, FrameIsGreyAroundTheLightBand) {
    EXPECT_EQ(pixel(CANVAS_CPU_TEMPERATURE, 0, 0), FRAME);
    EXPECT_EQ(pixel(CANVAS_CPU_TEMPERATURE, width - 1, height / 2), FRAME);
    EXPECT_EQ(pixel(CANVAS_CPU_TEMPERATURE, 1, 1), GREY);
    EXPECT_EQ(pixel(CANVAS_CPU_TEMPERATURE, width - 2, height - 2), GREY);
}

TEST_F(StripDrawWindows, CpuStripPaintsTheHistoryFromTheRightWithItsTexts) {
    history_fill(CpuCoreTable[0].history);
    cpu_temperature_strip_draw(CANVAS_CPU_TEMPERATURE, 0);
    expect_runs(CANVAS_CPU_TEMPERATURE);
    EXPECT_EQ(pixel(CANVAS_CPU_TEMPERATURE, width - 1, height - 3), FRAME) << "the frame stays";
    // The range text at x = 10 writes dark letters over the band.
    int dark = 0;
    for (int y = 1; y < height - 1; ++y) {
        for (int x = 10; x < 60; ++x) dark += (pixel(CANVAS_CPU_TEMPERATURE, x, y) & 0xFF) < 0x60;
    }
    EXPECT_GT(dark, 5);

    SharedInts[TEMP_TOOL_STATE] = 0;  // the temperature tool went away
    cpu_temperature_strip_draw(CANVAS_CPU_TEMPERATURE, 0);
    expect_grey_band(CANVAS_CPU_TEMPERATURE);
}

TEST_F(StripDrawWindows, GpuStripShowsTheChosenGpuOnlyWhenItExists) {
    history_fill(gpu_history);
    GpuEntryIndex.entry_count = 1;
    GpuEntryIndex.letters[0] = L'N';
    strip_paint_gpu(CANVAS_GPU_TEMPERATURE, 0);
    expect_grey_band(CANVAS_GPU_TEMPERATURE);  // no source installed yet

    gpu_tab_source_set(gpu_source);
    strip_paint_gpu(CANVAS_GPU_TEMPERATURE, 0);
    expect_runs(CANVAS_GPU_TEMPERATURE);

    for (int entry : {1, -1, 99}) {
        strip_paint_gpu(CANVAS_GPU_TEMPERATURE, entry);
        expect_grey_band(CANVAS_GPU_TEMPERATURE);
    }
}

}  // namespace
