// The pointer read-outs: which controls read out, when a movement reads anew, offsets, and the strip chosen.
#include <gtest/gtest.h>

#include <string>

#include "core/control_numbers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "ui/graph_control.h"
#include "ui/graph_readout.h"
#include "ui/tab_redraw.h"

namespace {

TEST(GraphReadout, ControlsAreGraphsByTheRangesAtEventTime) {
    struct Case {
        int control, core_start, gpu_start;
        ReadoutTarget target;
    };
    const Case cases[] = {
        {301, 400, 800, ReadoutTarget::GRAPH}, {399, 400, 800, ReadoutTarget::GRAPH},
        {300, 400, 800, ReadoutTarget::NONE},  {400, 400, 800, ReadoutTarget::GRAPH},
        {544, 400, 800, ReadoutTarget::GRAPH}, {545, 400, 800, ReadoutTarget::NONE},
        {800, 400, 800, ReadoutTarget::GRAPH}, {880, 400, 800, ReadoutTarget::GRAPH},
        {881, 400, 800, ReadoutTarget::NONE},  {610, 600, 900, ReadoutTarget::GRAPH},
        {155, 400, 800, ReadoutTarget::STRIP}, {154, 400, 800, ReadoutTarget::STRIP},
        {156, 400, 800, ReadoutTarget::NONE},  {-1, 400, 800, ReadoutTarget::NONE},
    };
    for (const Case& c : cases) EXPECT_EQ(readout_target(c.control, c.core_start, c.gpu_start), c.target) << c.control;
}

TEST(GraphReadout, ARestingPointerDoesNotReadAgain) {
    ReadoutPosition last;
    EXPECT_TRUE(readout_position_take(last, 301, 10));
    EXPECT_FALSE(readout_position_take(last, 301, 10));  // moved straight up or down
    EXPECT_TRUE(readout_position_take(last, 301, 11));
    EXPECT_TRUE(readout_position_take(last, 155, 11));  // from a graph to a strip at the same x
    EXPECT_TRUE(readout_position_take(last, 301, 11));
}

TEST(GraphReadout, OffsetsPointAtTheColumnPaintedUnderThePointer) {
    // A graph paints its newest sample in the last column; a strip inside its frame one further left.
    EXPECT_EQ(graph_readout_offset(300, 299), 1);
    EXPECT_EQ(graph_readout_offset(300, 0), 300);
    EXPECT_EQ(strip_readout_offset(300, 298), 1);
    EXPECT_EQ(strip_readout_offset(300, 299), 0);  // on the frame: nothing
}

struct FakeGpu {
    static inline HistoryList history;
    static bool source(const GpuChoice& choice, GpuTabReading& out) {
        if (choice.amd) return false;
        out.label = L"G1";
        out.history = &history;
        return true;
    }
};

class StripReadout : public ::testing::Test {
protected:
    void SetUp() override {
        shared_state_init(SharedStateFacts{});
        shared_tables_init();
        text_maps_load(LANGUAGE_ENGLISH);
        for (int i = 0; i < 3; ++i) {
            CpuCoreTable[0].history.push_back({temperature_color(40 + i), 1700000000 + i, 40 + i});
            FakeGpu::history.push_back({temperature_color(60 + i), 1700000100 + i, 60 + i});
        }
        gpu_tab_source_set(FakeGpu::source);
    }
    void TearDown() override {
        gpu_tab_source_set(nullptr);
        FakeGpu::history.clear();
    }
};

bool ends_with(const std::wstring& text, const std::wstring& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST_F(StripReadout, TheShownTabChoosesTheStrip) {
    const std::wstring cpu = strip_readout_text(TAB_PROCESSORS, 1);
    EXPECT_EQ(cpu.rfind(L"Position: 1/2 = ", 0), 0u) << std::string(cpu.begin(), cpu.end());
    EXPECT_TRUE(ends_with(cpu, L"  CPU 42C ~"));
    EXPECT_EQ(SharedQuads[AGE_STAMP].load(), 1700000002);

    EXPECT_EQ(strip_readout_text(TAB_GRAPHICS, 1), L"") << "no GPU entry";
    GpuEntryIndex.entry_count = 2;
    GpuEntryIndex.letters = {L'N', L'A'};
    SharedInts[NVIDIA_GPU_COUNT] = 1;
    SharedInts[GPU_SELECTED] = 0;
    const std::wstring gpu = strip_readout_text(TAB_GRAPHICS, 2);
    EXPECT_TRUE(ends_with(gpu, L"  G1 61C ~")) << std::string(gpu.begin(), gpu.end());
    EXPECT_EQ(SharedQuads[AGE_STAMP].load(), 1700000101);

    SharedInts[GPU_SELECTED] = 1;  // the source has no reading for it
    EXPECT_EQ(strip_readout_text(TAB_GRAPHICS, 1), L"");
    SharedInts[GPU_SELECTED] = 7;  // no such entry
    EXPECT_EQ(strip_readout_text(TAB_GRAPHICS, 1), L"");
    EXPECT_EQ(strip_readout_text(TAB_SYSTEM, 1), L"");
}

TEST_F(StripReadout, OffsetsOutsideTheHistoryReadNothing) {
    SharedQuads[AGE_STAMP] = 5;
    for (int64_t offset : {0, -1, 3, 1000}) EXPECT_EQ(strip_readout_text(TAB_PROCESSORS, offset), L"") << offset;
    EXPECT_EQ(SharedQuads[AGE_STAMP].load(), 5);
}

}  // namespace
