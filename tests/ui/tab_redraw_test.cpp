// What the visible-tab redraw paints on each tab: which graphs and strips, in which order, with which captions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/control_numbers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "ui/tab_redraw.h"

namespace {

struct FakeGpu {
    static inline GpuTabReading reading;
    static inline bool available = true;
    static inline std::vector<GpuChoice> asked;
    static bool source(const GpuChoice& choice, GpuTabReading& out) {
        asked.push_back(choice);
        if (!available) return false;
        out = reading;
        return true;
    }
};

class TabRedraw : public ::testing::Test {
protected:
    void SetUp() override {
        shared_state_init(SharedStateFacts{});
        shared_tables_init();
        text_maps_load(LANGUAGE_ENGLISH);
        FakeGpu::reading = GpuTabReading{};
        FakeGpu::available = true;
        FakeGpu::asked.clear();
    }
    void TearDown() override { gpu_tab_source_set(nullptr); }
};

std::vector<int> numbers_of(const std::vector<TabDrawStep>& steps) {
    std::vector<int> numbers;
    for (const TabDrawStep& step : steps) numbers.push_back(step.number);
    return numbers;
}

TEST(TabRedrawCaptions, ProcessorCaptionsFollowTemperatureAndGraphHeight) {
    struct Case {
        const char* name;
        float temperature;
        int load;
        bool last;
        int graph_height;
        const wchar_t* value;
        const wchar_t* subtitle;
        const wchar_t* footer;
    };
    // Header text height 16: the clock needs 16, the span footer 20.
    const Case cases[] = {
        {"temperature and load", 47.3f, 12, false, 40, L"47.3C  12", L"3400MHz", L""},
        {"no temperature source", 0.0f, 12, false, 40, L"12", L"3400MHz", L""},
        {"temperature that rounds to 0", 0.4f, 7, false, 40, L"7", L"3400MHz", L""},
        {"below zero still shown", -0.6f, 3, false, 40, L"-0.6C  3", L"3400MHz", L""},
        {"too low for the clock", 47.3f, 12, true, 15, L"47.3C  12", L"", L""},
        {"clock but too low for the span", 47.3f, 12, true, 19, L"47.3C  12", L"3400MHz", L""},
        {"last graph tall enough", 47.3f, 12, true, 20, L"47.3C  12", L"3400MHz", L"745 seconds"},
        {"span only on the last graph", 47.3f, 12, false, 200, L"47.3C  12", L"3400MHz", L""},
    };
    for (const Case& c : cases) {
        const GraphCaptions captions =
            core_graph_captions(L"CPU 03", c.temperature, c.load, 3400, c.last, c.graph_height, 16, L"745 seconds");
        EXPECT_EQ(captions.title, L"CPU 03") << c.name;
        EXPECT_EQ(captions.value, c.value) << c.name;
        EXPECT_EQ(captions.subtitle, c.subtitle) << c.name;
        EXPECT_EQ(captions.footer, c.footer) << c.name;
    }
    // The drawing writes the unit after the value caption.
    EXPECT_EQ(core_value_caption(47.3f, 12) + L"%", L"47.3C  12%");
}

TEST_F(TabRedraw, GpuCaptionsNameTheGpuAndItsReading) {
    GpuTabReading reading;
    reading.label = L"G2";
    reading.gpu_percent = 91;
    reading.memory_percent = 34;
    reading.fan_percent = 55;
    reading.core_clock_mhz = 1830;
    reading.core_clock_percent = 88;
    reading.memory_clock_mhz = 7000;
    reading.memory_clock_percent = 100;
    reading.power_w = 187;
    struct Case {
        const wchar_t* title;
        const wchar_t* value;
        const wchar_t* subtitle;
    };
    const Case cases[] = {
        {L"G2 - GPU Utilization", L"91", L""},
        {L"G2 - Memory Utilization", L"34", L""},
        {L"G2 - Fan Speed", L"55", L""},
        {L"G2 - GPU Clock", L"", L"1830MHz (88%)"},
        {L"G2 - Memory Clock", L"", L"7000MHz (100%)"},
        {L"G2 - Power Usage", L"", L"187W"},
    };
    for (int j = 0; j < 6; ++j) {
        const GraphCaptions captions = gpu_graph_captions(reading, j);
        EXPECT_EQ(captions.title, cases[j].title) << j;
        EXPECT_EQ(captions.value, cases[j].value) << j;
        EXPECT_EQ(captions.subtitle, cases[j].subtitle) << j;
        EXPECT_EQ(captions.footer, L"") << j;
    }
    EXPECT_EQ(gpu_graph_captions(reading, 6).title, L"");
    EXPECT_EQ(gpu_graph_captions(reading, -1).title, L"");
}

TEST(TabRedrawGpuChoice, SelectedGpuIsCheckedBeforeItIndexesAnything) {
    const std::array<wchar_t, 16> letters = {L'N', L'N', L'A', L'A', L'N', L'N', L'N', L'N', L'N', L'N'};
    // Entry 1 is NVIDIA slot 2 (slot 1 had no name); entry 4 names no GPU of its vendor.
    const std::array<int32_t, 16> indexes = {0, 2, 0, 1, -1, 4, 5, 6, 7, 8};
    struct Case {
        const char* name;
        int selected, entry_count;
        bool valid;
        bool amd;
        int vendor_index;
    };
    const Case cases[] = {
        {"no GPU at all", 0, 0, false, false, 0},
        {"first NVIDIA", 0, 4, true, false, 0},
        {"NVIDIA after an unnamed slot", 1, 4, true, false, 2},
        {"first AMD after two NVIDIA", 2, 4, true, true, 0},
        {"second AMD", 3, 4, true, true, 1},
        {"negative selection", -1, 4, false, false, 0},
        {"selection past the entries", 4, 4, false, false, 0},
        {"entry without a vendor index", 4, 10, false, false, 0},
        {"more entries than graph slots", 9, 10, false, false, 0},
        {"last graph slot", 7, 10, true, false, 6},
        {"entry count beyond the letters", 16, 40, false, false, 0},
    };
    for (const Case& c : cases) {
        const std::optional<GpuChoice> choice = gpu_choice(c.selected, c.entry_count, letters, indexes);
        ASSERT_EQ(choice.has_value(), c.valid) << c.name;
        if (!choice) continue;
        EXPECT_EQ(choice->entry, c.selected) << c.name;
        EXPECT_EQ(choice->amd, c.amd) << c.name;
        EXPECT_EQ(choice->vendor_index, c.vendor_index) << c.name;
    }
}

TEST_F(TabRedraw, SystemTabDrawsItsFourGraphsWithTheSamplersValues) {
    CompactCells[CELL_PHYSICAL].values[MEMORY_SLOT_AVAILABLE_PERCENT] = 63;
    CompactCells[CELL_PAGEFILE].values[MEMORY_SLOT_AVAILABLE_PERCENT] = 21;
    CompactCells[CELL_CPU].values[CPU_SLOT_CLOCK_PERCENT] = 87;
    SharedInts[CPU_LOAD_AVG] = 14;
    shared_text_set(CPU_SPEED_CAPTION, L"3.4 GHz");
    const std::vector<TabDrawStep> steps = tab_redraw_plan(TAB_SYSTEM);
    ASSERT_EQ(numbers_of(steps), (std::vector<int>{301, 302, 303, 307}));
    for (const TabDrawStep& step : steps) {
        EXPECT_EQ(step.kind, TabDrawKind::GRAPH);
        EXPECT_EQ(step.alpha, 64);
    }
    EXPECT_EQ(steps[0].captions.title, L"Physical");
    EXPECT_EQ(steps[0].captions.value, L"63");
    EXPECT_EQ(steps[1].captions.title, L"Pagefile");
    EXPECT_EQ(steps[1].captions.value, L"21");
    EXPECT_EQ(steps[2].captions.title, L"CPU Speed");
    EXPECT_EQ(steps[2].captions.value, L"");
    EXPECT_EQ(steps[2].captions.subtitle, L"3.4 GHz (87%)");
    EXPECT_EQ(steps[3].captions.title, L"CPU Avg");
    EXPECT_EQ(steps[3].captions.value, L"14");
}

TEST_F(TabRedraw, RateTabsDrawTheirTwoGraphsInOrder) {
    SharedQuads[DISK_READ_KB] = 5120;
    SharedQuads[DISK_WRITE_KB] = 12;
    SharedQuads[NET_SEND_KB] = 3;
    SharedQuads[NET_RECV_KB] = 480;
    struct Case {
        int tab;
        std::vector<int> graphs;
        const wchar_t* titles[2];
        const wchar_t* values[2];
    };
    const Case cases[] = {
        {TAB_STORAGE, {304, 308}, {L"Reading", L"Writing"}, {L"5120", L"12"}},
        {TAB_NETWORKS, {305, 306}, {L"Sending", L"Receiving"}, {L"3", L"480"}},
    };
    for (const Case& c : cases) {
        const std::vector<TabDrawStep> steps = tab_redraw_plan(c.tab);
        ASSERT_EQ(numbers_of(steps), c.graphs) << c.tab;
        for (size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(steps[i].alpha, 128);
            EXPECT_EQ(steps[i].captions.title, c.titles[i]);
            EXPECT_EQ(steps[i].captions.value, c.values[i]);
            EXPECT_EQ(steps[i].captions.subtitle, L"");
        }
    }
}

TEST_F(TabRedraw, ProcessorsTabDrawsTheStripThenOneGraphPerProcessor) {
    SharedInts[CPU_COUNT] = 3;
    SharedInts[CORE_GRAPH_HEIGHT] = 100;
    SharedInts[HEADER_TEXT_HEIGHT] = 40;
    shared_text_set(CORE_SPAN_TEXT, L"495 seconds");
    for (int k = 0; k < 3; ++k) {
        CpuCoreTable[k].label = L"CPU " + std::to_wstring(k);
        CpuCoreTable[k].load = 10 * k;
        CpuCoreTable[k].mhz = 3000 + k;
    }
    CpuCoreTable[1].temperature = 52.26f;
    const std::vector<TabDrawStep> steps = tab_redraw_plan(TAB_PROCESSORS);
    ASSERT_EQ(numbers_of(steps), (std::vector<int>{CANVAS_CPU_TEMPERATURE, 400, 401, 402}));
    EXPECT_EQ(steps[0].kind, TabDrawKind::CPU_STRIP);
    EXPECT_EQ(steps[0].index, 0);
    EXPECT_EQ(steps[1].captions.title, L"CPU 0");
    EXPECT_EQ(steps[1].captions.value, L"0");
    EXPECT_EQ(steps[2].captions.value, L"52.3C  10");
    EXPECT_EQ(steps[2].captions.subtitle, L"3001MHz");
    EXPECT_EQ(steps[1].captions.footer, L"");
    EXPECT_EQ(steps[3].captions.footer, L"495 seconds");
    EXPECT_EQ(steps[3].alpha, 128);

    // A processor count beyond the table never reads past it.
    SharedInts[CPU_COUNT] = 100000;
    EXPECT_EQ(tab_redraw_plan(TAB_PROCESSORS).size(), 1u + MAX_CPU_COUNT);
    SharedInts[CPU_COUNT] = -5;
    EXPECT_EQ(tab_redraw_plan(TAB_PROCESSORS).size(), 1u);
}

TEST_F(TabRedraw, GraphicsTabDrawsTheSelectedGpusStripAndLiveGraphs) {
    gpu_tab_source_set(FakeGpu::source);
    EXPECT_TRUE(tab_redraw_plan(TAB_GRAPHICS).empty()) << "no GPU entry: neither strip nor graphs";
    EXPECT_TRUE(FakeGpu::asked.empty());

    GpuEntryIndex.entry_count = 3;
    GpuEntryIndex.letters = {L'N', L'A', L'A'};
    GpuEntryIndex.vendor_index = {0, 0, 1};
    SharedInts[NVIDIA_GPU_COUNT] = 1;
    SharedInts[GPU_SELECTED] = 2;
    FakeGpu::reading.label = L"G3";
    FakeGpu::reading.graph_live = {true, true, false, true, true, true};  // no fan data
    std::vector<TabDrawStep> steps = tab_redraw_plan(TAB_GRAPHICS);
    ASSERT_EQ(numbers_of(steps), (std::vector<int>{CANVAS_GPU_TEMPERATURE, 820, 821, 823, 824, 825}));
    EXPECT_EQ(steps[0].kind, TabDrawKind::GPU_STRIP);
    EXPECT_EQ(steps[0].index, 2);
    EXPECT_EQ(steps[1].captions.title, L"G3 - GPU Utilization");
    ASSERT_EQ(FakeGpu::asked.size(), 1u);
    EXPECT_TRUE(FakeGpu::asked[0].amd);
    EXPECT_EQ(FakeGpu::asked[0].vendor_index, 1);

    FakeGpu::available = false;
    EXPECT_EQ(numbers_of(tab_redraw_plan(TAB_GRAPHICS)), (std::vector<int>{CANVAS_GPU_TEMPERATURE}));

    for (int selected : {3, -1, 1000}) {
        SharedInts[GPU_SELECTED] = selected;
        EXPECT_TRUE(tab_redraw_plan(TAB_GRAPHICS).empty()) << selected;
    }
}

TEST_F(TabRedraw, PingTabHandsOverAndTheOtherTabsDrawNothing) {
    const std::vector<TabDrawStep> ping = tab_redraw_plan(TAB_PING);
    ASSERT_EQ(ping.size(), 1u);
    EXPECT_EQ(ping[0].kind, TabDrawKind::PING);
    for (int tab : {int{TAB_EVENTS}, int{TAB_SETTINGS}, int{TAB_ABOUT}, -1, 9})
        EXPECT_TRUE(tab_redraw_plan(tab).empty()) << tab;

    static int ping_draws = 0;
    ping_tab_draw();  // nothing installed: nothing happens
    ping_tab_draw_set([] { ++ping_draws; });
    ping_tab_draw();
    ping_tab_draw_set(nullptr);
    EXPECT_EQ(ping_draws, 1);
}

}  // namespace
