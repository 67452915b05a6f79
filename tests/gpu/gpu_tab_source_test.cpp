// The source of the Graphics tab's readings that the program installs: each entry read from its vendor's record,
// the AMD graphs that the GPU's sensor interface cannot fill left out, the strip and its read-out from the
// record's history and limit.
#include "gpu/gpu_tab_source.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/control_numbers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "gpu/amd_gpu.h"
#include "gpu/nvidia_gpu.h"
#include "ui/graph_readout.h"
#include "ui/history_strip.h"
#include "ui/tab_redraw.h"

namespace {

constexpr int STRIP_WIDTH = 300;
constexpr int STRIP_HEIGHT = 20;

// An AMD record whose every value differs from the other records', so that a reading from the wrong one shows.
AmdGpu amd_record(const wchar_t* label, int32_t base) {
    AmdGpu gpu;
    gpu.label = label;
    gpu.adapter_name = L"AMD Radeon";
    gpu.gpu_activity = base + 12;
    gpu.memory_activity = base + 7;
    gpu.fan_pct = base + 30;
    gpu.core_clock = base + 2100;
    gpu.core_clock_pct = base + 84;
    gpu.memory_clock = base + 1000;
    gpu.memory_clock_pct = base + 50;
    gpu.power_now = base + 125;  // the graph shows the power it was last given, not the newest reading
    gpu.power_w = base + 120;
    gpu.temp_max = base + 110;
    gpu.history = {{0, 1714572207, base + 55}, {0, 1714572209, base + 58}};
    return gpu;
}

class GpuTabSource : public ::testing::Test {
protected:
    void SetUp() override {
        shared_state_init(SharedStateFacts{});
        shared_tables_init();
        text_maps_load(LANGUAGE_ENGLISH);
        NvidiaGpuTable = {};
        AmdGpuTable.release();
        gpu_tab_source_set(gpu_tab_source);  // as the program's wiring installs it

        // One NVIDIA GPU and two AMD GPUs: entries G1 (N), G2 and G3 (A).
        GpuEntryIndex.entry_count = 3;
        GpuEntryIndex.letters = {L'N', L'A', L'A'};
        GpuEntryIndex.vendor_index = {0, 0, 1};
        SharedInts[NVIDIA_GPU_COUNT] = 1;
        NvidiaGpu& nvidia = NvidiaGpuTable[0];
        nvidia.label = L"G1";
        nvidia.gpu_util = 55;
        nvidia.power_mw = 87654;
        nvidia.temp_limit = 93;
        nvidia.history = {{0, 1714572207, 60}, {0, 1714572209, 61}};
        SharedInts[AMD_GPU_COUNT] = 2;
        AmdGpuTable.count = 2;
        AmdGpuTable.records[0] = amd_record(L"G2", 1000);
        AmdGpuTable.records[1] = amd_record(L"G3", 0);
    }
    void TearDown() override {
        gpu_tab_source_set(nullptr);
        AmdGpuTable.release();
        NvidiaGpuTable = {};
    }
};

std::vector<int> numbers_of(const std::vector<TabDrawStep>& steps) {
    std::vector<int> numbers;
    for (const TabDrawStep& step : steps) numbers.push_back(step.number);
    return numbers;
}

TEST_F(GpuTabSource, AnAmdEntryDrawsTheGraphsItsSensorsFillWithItsValues) {
    AmdGpuTable.records[1].has_values = {1, 0, 1, 1, 1, 1};  // no memory activity
    SharedInts[GPU_SELECTED] = 2;
    const std::vector<TabDrawStep> steps = tab_redraw_plan(TAB_GRAPHICS);
    ASSERT_EQ(numbers_of(steps), (std::vector<int>{CANVAS_GPU_TEMPERATURE, 820, 822, 823, 824, 825}));
    EXPECT_EQ(steps[0].kind, TabDrawKind::GPU_STRIP);
    EXPECT_EQ(steps[0].index, 2);
    const struct {
        const wchar_t* title;
        const wchar_t* value;
        const wchar_t* subtitle;
    } expected[] = {
        {L"G3 - GPU Utilization", L"12", L""},      {L"G3 - Fan Speed", L"30", L""},
        {L"G3 - GPU Clock", L"", L"2100MHz (84%)"}, {L"G3 - Memory Clock", L"", L"1000MHz (50%)"},
        {L"G3 - Power Usage", L"", L"120W"},
    };
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const GraphCaptions& captions = steps[i + 1].captions;
        EXPECT_EQ(captions.title, expected[i].title) << i;
        EXPECT_EQ(captions.value, expected[i].value) << i;
        EXPECT_EQ(captions.subtitle, expected[i].subtitle) << i;
        EXPECT_EQ(steps[i + 1].alpha, 128) << i;
    }

    // A GPU whose interface delivers nothing keeps every graph's last picture but still has its strip.
    AmdGpuTable.records[1].has_values = {};
    EXPECT_EQ(numbers_of(tab_redraw_plan(TAB_GRAPHICS)), (std::vector<int>{CANVAS_GPU_TEMPERATURE}));

    // The NVIDIA entry beside it is read from the NVIDIA record.
    SharedInts[GPU_SELECTED] = 0;
    const std::vector<TabDrawStep> nvidia = tab_redraw_plan(TAB_GRAPHICS);
    ASSERT_EQ(numbers_of(nvidia), (std::vector<int>{CANVAS_GPU_TEMPERATURE, 800, 801, 802, 803, 804, 805}));
    EXPECT_EQ(nvidia[1].captions.title, L"G1 - GPU Utilization");
    EXPECT_EQ(nvidia[1].captions.value, L"55");
    EXPECT_EQ(nvidia[6].captions.subtitle, L"87W");
}

TEST_F(GpuTabSource, TheStripAndItsReadOutShowTheSelectedEntrysHistory) {
    struct Case {
        int selected;
        const wchar_t* range;
        const wchar_t* readout_end;
    };
    const Case cases[] = {
        {2, L"Min 55C   Max 58C   Limit 110C", L"  G3 58C ~"},
        {1, L"Min 1055C   Max 1058C   Limit 1000C", L"  G2 1058C ~"},  // a limit beyond any is cut
        {0, L"Min 60C   Max 61C   Limit 93C", L"  G1 61C ~"},
    };
    for (const Case& c : cases) {
        SharedInts[GPU_SELECTED] = c.selected;
        const std::optional<GpuChoice> choice = gpu_choice_current();
        ASSERT_TRUE(choice) << c.selected;
        GpuTabReading reading;
        ASSERT_TRUE(gpu_tab_reading(*choice, reading)) << c.selected;
        ASSERT_NE(reading.history, nullptr) << c.selected;
        const StripPicture strip =
            temperature_strip_plan(*reading.history, STRIP_WIDTH, STRIP_HEIGHT, true, false, reading.temperature_limit);
        EXPECT_FALSE(strip.blank) << c.selected;
        EXPECT_EQ(strip.range_text, c.range) << c.selected;
        const std::wstring readout = strip_readout_text(TAB_GRAPHICS, 1);
        EXPECT_TRUE(readout.starts_with(L"Position: 1/1 = ") && readout.ends_with(c.readout_end))
            << c.selected << ": " << testing::PrintToString(readout);
    }
}

TEST_F(GpuTabSource, AnEntryWithoutAnEnumeratedRecordHasNoReading) {
    struct Case {
        const char* name;
        GpuChoice choice;
        void (*arrange)();
    };
    const Case cases[] = {
        {"AMD index beyond the GPUs found", {2, true, 2}, [] {}},
        {"negative AMD index", {1, true, -1}, [] {}},
        {"AMD library given up", {1, true, 0}, [] { SharedInts[AMD_GPU_COUNT] = 0; }},
        {"AMD table released", {1, true, 0}, [] { AmdGpuTable.release(); }},
        {"NVIDIA slot beyond the GPUs found", {0, false, 1}, [] {}},
        {"NVIDIA slot beyond the table",
         {0, false, NVIDIA_SLOT_COUNT},
         [] { SharedInts[NVIDIA_GPU_COUNT] = NVIDIA_SLOT_COUNT + 1; }},
    };
    for (const Case& c : cases) {
        SetUp();
        c.arrange();
        GpuTabReading reading;
        EXPECT_FALSE(gpu_tab_source(c.choice, reading)) << c.name;
    }
}

}  // namespace
