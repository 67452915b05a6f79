// The automatic top of the disk and network rate graphs.
#include <gtest/gtest.h>

#include <cstdint>

#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "ui/graph_control.h"
#include "ui/graph_descriptor.h"

namespace {

class GraphRescale : public ::testing::Test {
protected:
    void SetUp() override {
        shared_state_init(SharedStateFacts{});
        shared_tables_init();
        graph_descriptors_clear();
        graphs_device_scale_set(1.0f);
        // What the drive watcher does when it starts.
        for (auto& scale : RateGraphScales) {
            scale.scale_top = 128;
            scale.peak = 127;
        }
        for (int graph : {GRAPH_DISK_READ, GRAPH_DISK_WRITE, GRAPH_NET_SEND, GRAPH_NET_RECEIVE}) {
            graph_descriptor_create(graph, 100, 0, 0);
            graph_set_attribute(graph, GRAPH_ATTR_TOP, 128);
        }
    }
    void TearDown() override {
        graph_descriptors_clear();
        graphs_device_scale_set(1.0f);
    }

    static void quiet(int graph, int calls) {
        for (int i = 0; i < calls; ++i) rate_graph_autoscale(graph, 0);
    }
};

TEST_F(GraphRescale, GrowsAtOnceAndShrinksAfterMoreThan120QuietSamples) {
    const RateGraphScale& read = RateGraphScales[1];
    rate_graph_autoscale(GRAPH_DISK_READ, 300000);  // 292 KB
    EXPECT_EQ(read.current_kb, 292);
    EXPECT_EQ(read.scale_top, 384);
    EXPECT_EQ(graph_get_attribute(GRAPH_DISK_READ, GRAPH_ATTR_TOP), 384);
    EXPECT_EQ(read.quiet_count, 0);
    EXPECT_EQ(read.peak, 127);

    quiet(GRAPH_DISK_READ, 120);
    EXPECT_EQ(read.scale_top, 384);
    EXPECT_EQ(read.quiet_count, 120);
    quiet(GRAPH_DISK_READ, 1);  // the 121st
    EXPECT_EQ(read.scale_top, 128);
    EXPECT_EQ(graph_get_attribute(GRAPH_DISK_READ, GRAPH_ATTR_TOP), 128);
    EXPECT_EQ(read.quiet_count, 30);
    EXPECT_EQ(read.peak, 127);

    // While traffic stays low, the next shrink comes 91 samples later.
    rate_graph_autoscale(GRAPH_DISK_READ, 200 * 1024);  // above 128: grows to 256 and starts over
    EXPECT_EQ(read.scale_top, 256);
    quiet(GRAPH_DISK_READ, 121);
    EXPECT_EQ(read.scale_top, 128);
    rate_graph_autoscale(GRAPH_DISK_READ, 100 * 1024);  // below the top: only the peak
    EXPECT_EQ(read.scale_top, 128);
    EXPECT_EQ(read.peak, 127);
    graph_set_attribute(GRAPH_DISK_READ, GRAPH_ATTR_TOP, 1);
    quiet(GRAPH_DISK_READ, 89);  // quiet count 30 + 1 + 89 = 120
    EXPECT_EQ(graph_get_attribute(GRAPH_DISK_READ, GRAPH_ATTR_TOP), 1);
    quiet(GRAPH_DISK_READ, 1);
    EXPECT_EQ(graph_get_attribute(GRAPH_DISK_READ, GRAPH_ATTR_TOP), 128);
    EXPECT_EQ(read.quiet_count, 30);
}

TEST_F(GraphRescale, APeakEqualToTheTopShrinksToTheNextMultipleAbove) {
    const RateGraphScale& write = RateGraphScales[0];
    rate_graph_autoscale(GRAPH_DISK_WRITE, 131072);  // 128 KB is not above 128
    EXPECT_EQ(write.scale_top, 128);
    EXPECT_EQ(write.peak, 128);
    EXPECT_EQ(write.quiet_count, 1);
    quiet(GRAPH_DISK_WRITE, 120);
    EXPECT_EQ(write.scale_top, 256);
    EXPECT_EQ(graph_get_attribute(GRAPH_DISK_WRITE, GRAPH_ATTR_TOP), 256);
}

TEST_F(GraphRescale, EachRateGraphHasItsOwnEntry) {
    struct Case {
        int graph;
        int entry;
    };
    const Case cases[] = {{GRAPH_DISK_WRITE, 0}, {GRAPH_DISK_READ, 1}, {GRAPH_NET_SEND, 2}, {GRAPH_NET_RECEIVE, 3}};
    for (const auto& c : cases) {
        rate_graph_autoscale(c.graph, 1024 * (1000 + c.entry));
        for (int e = 0; e < 4; ++e) {
            EXPECT_EQ(RateGraphScales[e].current_kb == 1000 + c.entry, e == c.entry) << c.graph << " " << e;
        }
        EXPECT_EQ(graph_get_attribute(c.graph, GRAPH_ATTR_TOP), 1024);
    }
    // Any other graph has no scale state.
    rate_graph_autoscale(GRAPH_PHYSICAL_MEMORY, 1 << 30);
    rate_graph_autoscale(GRAPH_CPU_CORE_BASE, 1 << 30);
    for (const auto& scale : RateGraphScales) EXPECT_EQ(scale.scale_top, 1024);
}

TEST_F(GraphRescale, TheQuietSpanFollowsTheDeviceScale) {
    graphs_device_scale_set(1.5f);  // limit 180, reset 45
    const RateGraphScale& send = RateGraphScales[2];
    rate_graph_autoscale(GRAPH_NET_SEND, 1024 * 1024);
    quiet(GRAPH_NET_SEND, 180);
    EXPECT_EQ(send.scale_top, 1024 + 128);
    quiet(GRAPH_NET_SEND, 1);
    EXPECT_EQ(send.scale_top, 128);
    EXPECT_EQ(send.quiet_count, 45);
}

TEST_F(GraphRescale, ScalesKeepTheirStateBeforeTheGraphExists) {
    graph_descriptors_clear();
    rate_graph_autoscale(GRAPH_NET_RECEIVE, 5000 * 1024);
    EXPECT_EQ(RateGraphScales[3].scale_top, 5120);
    EXPECT_EQ(graph_get_attribute(GRAPH_NET_RECEIVE, GRAPH_ATTR_TOP), 0);
}

}  // namespace
