// The combo choices of the monitoring tabs, and above all the selections that name no item of their list.
#include "core/tab_choices.h"

#include <gtest/gtest.h>

namespace {

TEST(TabChoices, DriveFilterTakesOnlyLettersOfItsList) {
    const struct {
        int item;
        bool taken;
        int index;
    } cases[] = {{0, true, -1}, {1, true, 3}, {3, true, 26}, {-1, false, 0}, {4, false, 0}, {400, false, 0}};
    for (const auto& c : cases) {
        int index = 77;
        EXPECT_EQ(drive_filter_choice(c.item, L"CDZ", &index), c.taken) << c.item;
        EXPECT_EQ(index, c.taken ? c.index : 77) << c.item;
    }
    int index = 77;
    EXPECT_FALSE(drive_filter_choice(1, L"", &index)) << "an empty letter list";
    EXPECT_FALSE(drive_filter_choice(1, L"?", &index)) << "no drive of the table (DriveTable[-1])";
    EXPECT_EQ(index, 77);
}

TEST(TabChoices, NetworkFilterTakesOnlyAdapterNumbersOfItsList) {
    const struct {
        const wchar_t* list;
        int item;
        bool taken;
        int adapter;
    } cases[] = {
        {L"007012", 0, true, -1}, {L"007012", 1, true, 7},   {L"007012", 2, true, 12},
        {L"007012", 3, false, 0}, {L"007012", -1, false, 0}, {L"00701", 2, false, 0},
        {L"  9", 1, true, 9},     {L"0x1", 1, false, 0},     {L"   ", 1, false, 0},
    };
    for (const auto& c : cases) {
        int adapter = 77;
        EXPECT_EQ(network_filter_choice(c.item, c.list, &adapter), c.taken) << c.item;
        EXPECT_EQ(adapter, c.taken ? c.adapter : 77) << c.item;
    }
}

TEST(TabChoices, GpuAndUnitChoicesStayInsideTheirLists) {
    EXPECT_TRUE(gpu_choice_switches(1, 0, 2));
    EXPECT_FALSE(gpu_choice_switches(0, 0, 2)) << "the selected GPU again";
    EXPECT_FALSE(gpu_choice_switches(2, 0, 2));
    EXPECT_FALSE(gpu_choice_switches(-1, 0, 2));
    EXPECT_FALSE(gpu_choice_switches(8, 0, 12)) << "eight slots at most";
    EXPECT_FALSE(gpu_choice_switches(0, -1, 0)) << "no GPU at all";
    EXPECT_TRUE(unit_choice_valid(5, 6));
    EXPECT_FALSE(unit_choice_valid(6, 6));
    EXPECT_FALSE(unit_choice_valid(-1, 2));
}

TEST(TabChoices, GraphColourChoices) {
    EXPECT_EQ(graph_color_kind(823, 800, 2), 803) << "the clock graph of the third GPU is the first's";
    EXPECT_EQ(graph_color_kind(880, 800, 0), 880);
    EXPECT_EQ(graph_color_kind(305, 800, 2), 305) << "fixed graphs are themselves";
    EXPECT_EQ(graph_color_kind(401, 800, 2), 401);
    EXPECT_TRUE(graph_is_gpu(880, 800));
    EXPECT_FALSE(graph_is_gpu(881, 800));
    EXPECT_FALSE(graph_is_gpu(799, 800));

    EXPECT_EQ(graph_color_picked(-1, 0x00FF00), -1) << "cancelled";
    EXPECT_EQ(graph_color_picked(0, 0x00FF00), 1) << "black is not \"no colour\"";
    EXPECT_EQ(graph_color_picked(0xFFFFFF, 0x00FF00), 0x00FF00) << "white restores the default";
    EXPECT_EQ(graph_color_picked(0x123456, 0x00FF00), 0x123456);
}

}  // namespace
