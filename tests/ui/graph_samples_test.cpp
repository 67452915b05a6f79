// Graph samples: averaging, the bounded ring, attributes, the registry and the pointer read-out.
#include <gtest/gtest.h>

#include <mutex>
#include <vector>

#include "core/control_numbers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "ui/graph_control.h"
#include "ui/graph_descriptor.h"

namespace {

class GraphSamples : public ::testing::Test {
protected:
    void SetUp() override {
        shared_state_init(SharedStateFacts{});
        shared_tables_init();
        text_maps_load(LANGUAGE_ENGLISH);
        graph_descriptors_clear();
        graphs_device_scale_set(1.0f);
    }
    void TearDown() override { graph_descriptors_clear(); }

    static std::vector<float> values(int graph) {
        GraphSnapshot snapshot;
        EXPECT_TRUE(graph_snapshot(graph, 100000, snapshot));
        std::vector<float> result;
        for (const auto& sample : snapshot.samples) result.push_back(sample.value);
        return result;
    }
};

TEST_F(GraphSamples, NewValuesAreAveragedOverTheNewestNonZeroSamples) {
    struct Case {
        int averaging;
        std::vector<float> stored;  // oldest first
        float value;
        float expected;
    };
    const Case cases[] = {
        {0, {40}, 60, 60},           // no averaging
        {1, {}, 40, 40},             // nothing to average with
        {1, {40}, 60, 50},           // mean with the newest stored sample
        {2, {40, 0}, 60, 60},        // a stored 0 ends the walk at once
        {2, {30, 60}, 90, 60},       // mean of three
        {2, {999, 30, 60}, 90, 60},  // reads at most `averaging` stored samples
        {5, {20, 40}, 60, 40},       // runs out of samples
        {3, {10, 0, 20}, 80, 50},    // stops at the 0 behind the newest
        {1, {40}, 0, 0},             // 0 is never averaged
        {1, {40}, -5, -5},           // nor a negative value
    };
    int graph = 301;
    for (const auto& c : cases) {
        ASSERT_NE(graph_descriptor_create(graph, 50, 0, 0), nullptr);
        for (float v : c.stored) graph_add_sample(graph, v, 1);
        graph_set_attribute(graph, GRAPH_ATTR_AVERAGING, c.averaging);
        graph_add_sample(graph, c.value, 1);
        const auto stored = values(graph);
        ASSERT_EQ(stored.size(), c.stored.size() + 1) << graph;
        EXPECT_FLOAT_EQ(stored.back(), c.expected) << "averaging " << c.averaging << " value " << c.value;
        ++graph;
    }
}

TEST_F(GraphSamples, TheRingKeepsTheNewestCapacitySamplesInOrder) {
    ASSERT_NE(graph_descriptor_create(GRAPH_CPU_AVERAGE, 100, 0, 0), nullptr);
    for (int i = 1; i <= 100; ++i) graph_add_sample(GRAPH_CPU_AVERAGE, static_cast<float>(i), 1);
    EXPECT_EQ(graph_sample_count(GRAPH_CPU_AVERAGE), 100u);
    graph_add_sample(GRAPH_CPU_AVERAGE, 101, 1);  // the 101st drops the oldest
    auto stored = values(GRAPH_CPU_AVERAGE);
    ASSERT_EQ(stored.size(), 100u);
    EXPECT_FLOAT_EQ(stored.front(), 2);
    EXPECT_FLOAT_EQ(stored.back(), 101);

    for (int i = 102; i <= 350; ++i) graph_add_sample(GRAPH_CPU_AVERAGE, static_cast<float>(i), 1);
    stored = values(GRAPH_CPU_AVERAGE);
    ASSERT_EQ(stored.size(), 100u);
    for (size_t i = 0; i < stored.size(); ++i) EXPECT_FLOAT_EQ(stored[i], 251.0f + i) << i;

    GraphSnapshot newest;
    ASSERT_TRUE(graph_snapshot(GRAPH_CPU_AVERAGE, 3, newest));
    ASSERT_EQ(newest.samples.size(), 3u);
    EXPECT_FLOAT_EQ(newest.samples[0].value, 348);
    EXPECT_FLOAT_EQ(newest.samples[2].value, 350);
}

TEST_F(GraphSamples, RepeatAppendsAtLeastOnceAndNeverMoreThanTheRingHolds) {
    struct Case {
        int count;
        size_t expected;
    };
    const Case cases[] = {{0, 1}, {-4, 1}, {1, 1}, {3, 3}, {2000000000, 10}};
    for (const auto& c : cases) {
        graph_descriptors_clear();
        ASSERT_NE(graph_descriptor_create(GRAPH_PAGEFILE, 10, 0, 0), nullptr);
        graph_add_sample(GRAPH_PAGEFILE, 7, c.count);
        EXPECT_EQ(graph_sample_count(GRAPH_PAGEFILE), c.expected) << c.count;
    }
    // A graph without width keeps nothing.
    ASSERT_NE(graph_descriptor_create(GRAPH_CPU_SPEED, 0, 0, 0), nullptr);
    graph_add_sample(GRAPH_CPU_SPEED, 7, 5);
    EXPECT_EQ(graph_sample_count(GRAPH_CPU_SPEED), 0u);
}

TEST_F(GraphSamples, SamplesForAGraphNotYetCreatedAreDropped) {
    graph_add_sample(GRAPH_PHYSICAL_MEMORY, 42, 1);
    graph_add_sample(-1, 42, 1);
    graph_add_sample(GRAPH_NUMBER_LIMIT + 5, 42, 1);
    EXPECT_EQ(graph_sample_count(GRAPH_PHYSICAL_MEMORY), 0u);
    GraphSnapshot snapshot;
    snapshot.samples.push_back({1, 1});
    EXPECT_FALSE(graph_snapshot(GRAPH_PHYSICAL_MEMORY, 10, snapshot));
    EXPECT_EQ(snapshot.samples.size(), 1u);  // untouched

    ASSERT_NE(graph_descriptor_create(GRAPH_PHYSICAL_MEMORY, 10, 0, 0), nullptr);
    EXPECT_EQ(graph_sample_count(GRAPH_PHYSICAL_MEMORY), 0u);  // the graph starts empty
}

TEST_F(GraphSamples, AttributesStartWithTheirDefaultsAndIgnoreUnknownNumbers) {
    EXPECT_EQ(graph_get_attribute(GRAPH_DISK_READ, GRAPH_ATTR_TOP), 0);  // no graph yet
    graph_set_attribute(GRAPH_DISK_READ, GRAPH_ATTR_TOP, 5);             // nothing to change

    ASSERT_NE(graph_descriptor_create(GRAPH_DISK_READ, 10, 0, 0), nullptr);
    const int64_t expected[GRAPH_ATTRIBUTE_COUNT] = {100, 0, 0xFFFFFF, 0x808080, 0xE6E6E6, 0x0000FF, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < GRAPH_ATTRIBUTE_COUNT; ++i)
        EXPECT_EQ(graph_get_attribute(GRAPH_DISK_READ, i), expected[i]) << i;

    graph_set_attribute(GRAPH_DISK_READ, GRAPH_ATTRIBUTE_COUNT, 77);
    graph_set_attribute(GRAPH_DISK_READ, -1, 77);
    EXPECT_EQ(graph_get_attribute(GRAPH_DISK_READ, -1), 0);
    EXPECT_EQ(graph_get_attribute(GRAPH_DISK_READ, GRAPH_ATTRIBUTE_COUNT), 0);
    for (int i = 0; i < GRAPH_ATTRIBUTE_COUNT; ++i)
        EXPECT_EQ(graph_get_attribute(GRAPH_DISK_READ, i), expected[i]) << i;

    graph_set_attribute(GRAPH_DISK_READ, GRAPH_ATTR_FONT, 0x123456789LL);
    EXPECT_EQ(graph_get_attribute(GRAPH_DISK_READ, GRAPH_ATTR_FONT), 0x123456789LL);
}

TEST_F(GraphSamples, AGraphIsCreatedOnceAndOnlyWithinTheNumberRange) {
    EXPECT_NE(graph_descriptor_create(GRAPH_NET_SEND, 10, 55, 0), nullptr);
    EXPECT_EQ(graph_descriptor_create(GRAPH_NET_SEND, 20, 0, 0), nullptr);
    EXPECT_EQ(graph_descriptor(GRAPH_NET_SEND)->canvas, 55);
    EXPECT_EQ(graph_descriptor(GRAPH_NET_SEND)->samples.capacity(), 10u);
    EXPECT_EQ(graph_descriptor_create(0, 10, 0, 0), nullptr);
    EXPECT_EQ(graph_descriptor_create(GRAPH_NUMBER_LIMIT, 10, 0, 0), nullptr);
    EXPECT_EQ(graph_descriptor(GRAPH_NUMBER_LIMIT), nullptr);
}

TEST_F(GraphSamples, ScalingRoundsToTheNearestPixel) {
    EXPECT_EQ(graph_scaled(300, 1.0f), 300);
    EXPECT_EQ(graph_scaled(300, 1.25f), 375);
    EXPECT_EQ(graph_scaled(121, 1.5f), 182);  // 181.5
    EXPECT_EQ(graph_scaled(-4, 1.0f), 0);
}

TEST_F(GraphSamples, ReadOutNamesTheSampleUnderThePointer) {
    ASSERT_NE(graph_descriptor_create(GRAPH_CPU_AVERAGE, 400, 0, 0), nullptr);
    for (int i = 0; i < 300; ++i) graph_add_sample(GRAPH_CPU_AVERAGE, static_cast<float>(i % 100) + 0.4f, 1);

    SharedQuads[AGE_STAMP] = 0;
    const std::wstring newest = graph_position_text(GRAPH_CPU_AVERAGE, 1);
    const Date stamp = SharedQuads[AGE_STAMP].load();
    EXPECT_NE(stamp, 0);
    EXPECT_EQ(newest, L"Position: 1/299" + date_format(L" = %yyyy-%mm-%dd  %hh:%ii:%ss = ", stamp) + L"99% ~");
    EXPECT_EQ(graph_position_text(GRAPH_CPU_AVERAGE, 12).substr(0, 15), L"Position: 12/29");
    EXPECT_EQ(
        graph_position_text(GRAPH_CPU_AVERAGE, 299).substr(graph_position_text(GRAPH_CPU_AVERAGE, 299).size() - 5),
        L" 1% ~");  // index 1

    // Outside the samples: empty text, AGE_STAMP left alone.
    SharedQuads[AGE_STAMP] = 5;
    for (int64_t offset : {int64_t{300}, int64_t{301}, int64_t{0}, int64_t{-1}, int64_t{-300}, int64_t{1} << 40}) {
        EXPECT_EQ(graph_position_text(GRAPH_CPU_AVERAGE, offset), L"") << offset;
    }
    EXPECT_EQ(graph_position_text(GRAPH_PHYSICAL_MEMORY, 1), L"");  // no such graph
    EXPECT_EQ(SharedQuads[AGE_STAMP].load(), 5);
}

TEST_F(GraphSamples, ReadOutUnitsFollowTheGraph) {
    struct Case {
        int graph;
        const wchar_t* ending;
    };
    const Case cases[] = {
        {GRAPH_DISK_READ, L"KB ~"},    {GRAPH_DISK_WRITE, L"KB ~"},     {GRAPH_NET_SEND, L"KB ~"},
        {GRAPH_NET_RECEIVE, L"KB ~"},  {GRAPH_PHYSICAL_MEMORY, L"% ~"}, {GRAPH_CPU_CORE_BASE + 3, L"% ~"},
        {GRAPH_GPU_BASE + 0, L"% ~"},  {GRAPH_GPU_BASE + 5, L"W ~"},    {GRAPH_GPU_BASE + 75, L"W ~"},
        {GRAPH_GPU_BASE + 74, L"% ~"}, {GRAPH_GPU_BASE + 85, L"% ~"},
    };
    for (const auto& c : cases) {
        ASSERT_NE(graph_descriptor_create(c.graph, 10, 0, 0), nullptr) << c.graph;
        graph_add_sample(c.graph, 3, 2);
        const std::wstring text = graph_position_text(c.graph, 1);
        const std::wstring ending = std::wstring(L" = 3") + c.ending;
        ASSERT_GE(text.size(), ending.size()) << c.graph;
        EXPECT_EQ(text.substr(text.size() - ending.size()), ending) << c.graph;
    }
}

TEST_F(GraphSamples, SampleWalksNestInsideTheDrawingAndHistoryLocks) {
    // The redraw of the Graphics tab runs while the GPU switch holds HistoryMutex, and graph drawing holds
    // GraphDrawMutex; the sample walks take GraphSamplesMutex inside both (the lock-order check sees the order).
    ASSERT_NE(graph_descriptor_create(GRAPH_CPU_SPEED, 10, 0, 0), nullptr);
    graph_add_sample(GRAPH_CPU_SPEED, 5, 3);
    std::lock_guard history(HistoryMutex);
    std::lock_guard drawing(GraphDrawMutex);
    GraphSnapshot snapshot;
    EXPECT_TRUE(graph_snapshot(GRAPH_CPU_SPEED, 10, snapshot));
    EXPECT_EQ(snapshot.samples.size(), 3u);
    EXPECT_FALSE(graph_position_text(GRAPH_CPU_SPEED, 1).empty());
}

}  // namespace
