// The Graphics tab's GPU slots on the real main window, with the program's own wiring: the build draws the
// "No Data" pictures of the slot it shows only, and choosing another GPU draws that slot's when it is first
// shown, so the slots of GPUs never chosen take no picture memory.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/program_windows_win.h"
#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "runtime/gui/canvas/canvas.h"
#include "runtime/gui/canvas/canvas_draw_win.h"
#include "runtime/gui/combo_box/combo_box.h"
#include "ui/graph_descriptor.h"
#include "ui/main_layout_grid.h"

namespace {

int slot_graph(int slot, int j) { return SharedInts[GPU_GRAPH_START].load() + GPU_SLOT_STEP * slot + j; }

// Pixels of the graph's picture that are neither its background nor its frame: the title and "No Data".
int written_pixels(int graph) {
    CanvasDraw draw(graph);
    if (!draw) return -1;
    int count = 0;
    for (int y = 1; y < draw.height() - 1; ++y) {
        for (int x = 1; x < draw.width() - 1; ++x) {
            const COLORREF pixel = GetPixel(draw.dc(), x, y) & 0xFFFFFF;
            if (GetRValue(pixel) < 0x60 && GetGValue(pixel) < 0x60 && GetBValue(pixel) < 0x60) ++count;
        }
    }
    return count;
}

class GpuSlots : public ::testing::Test {
protected:
    void SetUp() override {
        program_windows_prepare();
        if (!HasFatalFailure()) program_windows_build();
    }
    void TearDown() override { program_windows_close(); }
};

TEST_F(GpuSlots, ASlotsNoDataPicturesAreDrawnWhenItIsFirstShown) {
    for (int j = 0; j < GPU_GRAPHS_PER_SLOT; ++j) {
        EXPECT_TRUE(canvas_picture_made(slot_graph(0, j))) << "slot 1, graph " << j;
        for (int slot = 1; slot < GRAPH_GPU_SLOTS; ++slot)
            EXPECT_FALSE(canvas_picture_made(slot_graph(slot, j))) << "slot " << slot + 1 << ", graph " << j;
    }
    EXPECT_GT(written_pixels(slot_graph(0, 0)), 20) << "the shown slot's graph has no title or \"No Data\"";

    // Two GPUs: the user picks the second one.
    SharedInts[GPU_ENTRY_COUNT] = 2;
    combo_box_item_add(COMBO_GPU, -1, L"first");
    combo_box_item_add(COMBO_GPU, -1, L"second");
    combo_box_select(COMBO_GPU, 1);
    ASSERT_TRUE(main_window_event_served(COMBO_GPU, EVENT_TYPE_CHANGE));
    ASSERT_EQ(SharedInts[GPU_SELECTED].load(), 1);
    for (int j = 0; j < GPU_GRAPHS_PER_SLOT; ++j) {
        EXPECT_TRUE(canvas_picture_made(slot_graph(1, j))) << "slot 2, graph " << j;
        EXPECT_GT(written_pixels(slot_graph(1, j)), 20) << "slot 2, graph " << j << " has no \"No Data\" picture";
        EXPECT_FALSE(canvas_picture_made(slot_graph(2, j))) << "slot 3, graph " << j;
    }
}

}  // namespace
