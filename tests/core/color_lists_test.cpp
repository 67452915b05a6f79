// Tests of the graph colour lists.
#include "core/color_lists.h"

#include <gtest/gtest.h>

#include <map>

#include "core/control_numbers.h"
#include "files_test_support.h"

namespace {

// Graphs 10..14 with defaults 1..5; control 15 has no default.
struct Graphs {
    std::map<int, int32_t> colors;
    Graphs() {
        for (int graph = 10; graph <= 14; ++graph) colors[graph] = graph - 9;
    }
    GraphColorRead defaults() const {
        return [](int graph) { return graph >= 10 && graph <= 14 ? graph - 9 : 0; };
    }
    GraphColorRead reader() const {
        return [this](int graph) { return colors.count(graph) ? colors.at(graph) : 0; };
    }
    GraphColorWrite writer() {
        return [this](int graph, int32_t color) {
            ASSERT_TRUE(graph >= 10 && graph <= 14) << graph;
            colors[graph] = color;
        };
    }
};

TEST(ColorLists, BuildWritesChangedColoursOnly) {
    Graphs graphs;
    EXPECT_EQ(color_list_encode(10, 99, graphs.defaults(), graphs.reader()), L"");
    graphs.colors[10] = 0x0000FF;
    graphs.colors[12] = 0x00FF00;
    EXPECT_EQ(color_list_encode(10, 99, graphs.defaults(), graphs.reader()), L"FF$$FF00");
    EXPECT_EQ(color_list_encode(10, 11, graphs.defaults(), graphs.reader()), L"FF");
    graphs.colors[14] = 0;
    graphs.colors[13] = 0xFFFFFF;
    EXPECT_EQ(color_list_encode(10, 99, graphs.defaults(), graphs.reader()), L"FF$$FF00$FFFFFF$0");
}

TEST(ColorLists, ApplySetsColoursResetsTheRestAndStopsAtTheEndOfTheRun) {
    struct Case {
        const wchar_t* text;
        std::array<int32_t, 5> expected;
    };
    const Case cases[] = {
        {L"FF$$FF00", {0xFF, 2, 0xFF00, 4, 5}},
        {L"ff", {0xFF, 2, 3, 4, 5}},
        {L"0$FFFFFF$zz$1000000$7", {100, 200, 300, 400, 7}},  // not colours: the graphs keep theirs
        {L"1$2$3$4$5$6$7$8", {1, 2, 3, 4, 5}},                // more items than graphs
        {L"$$$", {1, 2, 3, 4, 5}},
        {L"", {1, 2, 3, 4, 5}},
    };
    for (const Case& c : cases) {
        Graphs graphs;
        for (int graph = 10; graph <= 14; ++graph) graphs.colors[graph] = (graph - 9) * 100;
        color_list_decode(c.text, 10, graphs.defaults(), graphs.writer());
        for (int graph = 10; graph <= 14; ++graph) {
            EXPECT_EQ(graphs.colors[graph], c.expected[graph - 10]) << utf8_from_wide(c.text) << " graph " << graph;
        }
    }
}

TEST(ColorLists, ListsRoundTrip) {
    Graphs graphs;
    graphs.colors[11] = 0xABCDEF;
    graphs.colors[14] = 0x10;
    const std::wstring text = color_list_encode(10, 14, graphs.defaults(), graphs.reader());
    Graphs other;
    color_list_decode(text, 10, other.defaults(), other.writer());
    EXPECT_EQ(other.colors, graphs.colors);
}

class ColorListsShared : public FilesTest {
protected:
    static inline std::map<int, int32_t> Colors;

    void SetUp() override {
        FilesTest::SetUp();
        Colors.clear();
        for (int slot = 0; slot < GRAPH_GPU_SLOTS; ++slot) {
            for (int k = 0; k < GPU_GRAPHS_PER_SLOT; ++k)
                Colors[GRAPH_GPU_BASE + GPU_SLOT_STEP * slot + k] = SharedInts[GRAPH_GPU_BASE + k].load();
        }
        SettingsUiHooks hooks;
        hooks.graph_color = [](int graph) -> int32_t { return Colors.count(graph) ? Colors[graph] : -1; };
        hooks.graph_color_set = [](int graph, int32_t color) { Colors[graph] = color; };
        settings_ui_hooks_set(hooks);
    }
};

TEST_F(ColorListsShared, GpuColoursGoFromTheFirstGroupToEveryOther) {
    color_list_apply(L"FF", 800);
    gpu_graph_colors_copy();
    for (int slot = 0; slot < 8; ++slot) {
        EXPECT_EQ(Colors[800 + 10 * slot], 0xFF) << slot;
        EXPECT_EQ(Colors[801 + 10 * slot], SharedInts[801].load()) << slot;
    }
    EXPECT_EQ(color_list_build_gpu(), L"FF");
    EXPECT_EQ(color_list_build_bar(), L"");
}

// Ctrl+I complements the shown colours of the fixed and per-core graphs; the settings keep the chosen ones.
TEST_F(ColorListsShared, InvertedGraphsSaveAndLoadTheColoursTheUserChose) {
    const int cpu = 400;
    for (const int graph : {301, 302, 303, cpu}) Colors[graph] = SharedInts[graph].load();
    Colors[302] = 0x123456;  // a colour the user chose
    const std::wstring bar = color_list_build_bar();
    const std::wstring cores = color_list_build_cpu();
    ASSERT_EQ(bar, L"$123456");

    for (auto& [graph, color] : Colors) {
        if (graph < 800) color = 0xFFFFFF - color;  // what Ctrl+I leaves on the graphs
    }
    graph_colors_inverted_set(true);
    EXPECT_EQ(color_list_build_bar(), bar);
    EXPECT_EQ(color_list_build_cpu(), cores);
    EXPECT_EQ(color_list_build_gpu(), L"") << "the GPU graphs are never inverted";

    // Settings read meanwhile show inverted too, so that a second Ctrl+I restores them.
    color_list_apply(L"$654321", 301);
    EXPECT_EQ(Colors[302], 0xFFFFFF - 0x654321);
    EXPECT_EQ(Colors[301], 0xFFFFFF - SharedInts[301].load());
    graph_colors_inverted_set(false);
}

}  // namespace
