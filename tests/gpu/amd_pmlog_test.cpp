// The PMLog sensor lists: collecting a block's supported sensors per GPU and applying its values.
#include <gtest/gtest.h>

#include <vector>

#include "gpu/amd_gpu.h"

namespace {

struct Sensor {
    int id;
    int32_t value;
};

AdlPmlogDataOutput block_of(const std::vector<Sensor>& sensors) {
    AdlPmlogDataOutput block{};
    block.size = sizeof block;
    for (const Sensor& s : sensors) block.sensors[s.id] = {1, s.value};
    return block;
}

class AmdPmlog : public ::testing::Test {
protected:
    void SetUp() override {
        AmdGpuTable.release();
        AmdGpuTable.count = 2;
        AdlFacts = AdlState{};
        AdlFacts.pmlog_used = -1;
        PmlogSensorList.assign(PMLOG_LIST_GROWTH, PmlogSensorEntry{});
    }
};

TEST_F(AmdPmlog, CollectListsSupportedSensorsUpToTheScanBoundAndSetsFlags) {
    struct Case {
        const char* name;
        std::vector<Sensor> sensors;
        std::vector<int> ids;  // expected run, ascending
        std::array<int32_t, AMD_HAS_VALUE_COUNT> has;
        int first, last;
    };
    const Case cases[] = {
        {"clocks and temperatures", {{27, 90}, {8, 60}, {2, 875}, {1, 2100}}, {1, 2, 8, 27}, {0, 0, 0, 1, 1, 0}, 0, 3},
        {"every flag", {{15, 40}, {19, 50}, {20, 20}, {23, 180}, {1, 1}, {2, 2}}, {1, 2, 15, 19, 20, 23},
         {1, 1, 1, 1, 1, 1}, 0, 5},
        {"ids beyond the scan bound are left out", {{73, 1}, {74, 2}, {255, 3}}, {73}, {}, 0, 0},
        {"nothing supported gives an empty range", {}, {}, {}, 0, 0},
    };
    for (const Case& c : cases) {
        SetUp();
        AdlPmlogDataOutput block = block_of(c.sensors);
        amd_pmlog_collect_sensors(block, 0);
        const AmdGpu& gpu = AmdGpuTable.records[0];
        EXPECT_EQ(gpu.pmlog_count, static_cast<int>(c.ids.size())) << c.name;
        EXPECT_EQ(gpu.pmlog_first, c.first) << c.name;
        EXPECT_EQ(gpu.pmlog_last, c.last) << c.name;
        EXPECT_EQ(gpu.has_values, c.has) << c.name;
        EXPECT_EQ(AdlFacts.pmlog_used, static_cast<int>(c.ids.size()) - 1) << c.name;
        for (std::size_t n = 0; n < c.ids.size(); ++n) {
            EXPECT_EQ(PmlogSensorList[n].sensor_id, c.ids[n]) << c.name;
            EXPECT_EQ(PmlogSensorList[n].value, block.sensors[c.ids[n]].value) << c.name;
        }
    }
}

TEST_F(AmdPmlog, SecondGpuRunFollowsTheFirstAndTheListGrowsBy101) {
    amd_pmlog_collect_sensors(block_of({{1, 1}, {2, 2}, {8, 3}}), 0);
    amd_pmlog_collect_sensors(block_of({{19, 4}, {23, 5}}), 1);
    EXPECT_EQ(AmdGpuTable.records[1].pmlog_first, 3);
    EXPECT_EQ(AmdGpuTable.records[1].pmlog_last, 4);
    EXPECT_EQ(PmlogSensorList[3].sensor_id, 19);

    // 0..73 all supported: 74 entries per block; the 102nd entry over all GPUs grows the list to 202.
    SetUp();
    std::vector<Sensor> all;
    for (int s = 0; s <= 73; ++s) all.push_back({s, s});
    amd_pmlog_collect_sensors(block_of(all), 0);
    EXPECT_EQ(PmlogSensorList.size(), 101u);
    amd_pmlog_collect_sensors(block_of(all), 1);
    EXPECT_EQ(PmlogSensorList.size(), 202u);
    EXPECT_EQ(AdlFacts.pmlog_used, 147);
    EXPECT_EQ(PmlogSensorList[147].sensor_id, 73);
}

TEST_F(AmdPmlog, ApplyCopiesValuesAndPrefersTheEdgeTemperature) {
    struct Case {
        const char* name;
        std::vector<Sensor> sensors;
        int32_t temperature;
    };
    const Case cases[] = {
        {"edge given", {{8, 61}, {27, 80}}, 61},
        {"edge 0 falls back to hotspot", {{8, 0}, {27, 80}}, 80},
        {"hotspot only", {{27, 77}}, 77},
        {"no sensor leaves 0", {}, 0},
    };
    for (const Case& c : cases) {
        SetUp();
        amd_pmlog_collect_sensors(block_of(c.sensors), 0);
        AmdGpuTable.records[0].temperature = 55;  // a stale reading must not survive
        amd_pmlog_apply_values(block_of(c.sensors), 0);
        EXPECT_EQ(AmdGpuTable.records[0].temperature, c.temperature) << c.name;
    }

    SetUp();
    const std::vector<Sensor> first = {{1, 1}, {2, 2}, {15, 15}, {19, 19}, {20, 20}, {21, 21}, {23, 23}, {40, 40},
                                       {41, 41}, {14, 1400}};
    amd_pmlog_collect_sensors(block_of(first), 0);
    std::vector<Sensor> later = first;
    for (Sensor& s : later) s.value += 1000;
    amd_pmlog_apply_values(block_of(later), 0);
    const AmdGpu& gpu = AmdGpuTable.records[0];
    EXPECT_EQ(gpu.core_clock, 1001);
    EXPECT_EQ(gpu.memory_clock, 1002);
    EXPECT_EQ(gpu.fan_pct, 1015);
    EXPECT_EQ(gpu.gpu_activity, 1019);
    EXPECT_EQ(gpu.memory_activity, 1020);
    EXPECT_EQ(gpu.vddc_mv, 1021);
    EXPECT_EQ(gpu.power_now, 1023);
    EXPECT_EQ(gpu.bus_speed_max, 1040);
    EXPECT_EQ(gpu.bus_lanes_max, 1041);
    EXPECT_EQ(PmlogSensorList[2].sensor_id, 14);
    EXPECT_EQ(PmlogSensorList[2].value, 2400);  // kept in the list, refreshed, not copied into the record
}

TEST_F(AmdPmlog, GpuIndexesOutsideTheTableAreRefused) {
    const AdlPmlogDataOutput block = block_of({{1, 1}});
    for (int gpu : {-1, 2, AMD_GPU_MAX, 1000}) {
        amd_pmlog_collect_sensors(block, gpu);
        amd_pmlog_apply_values(block, gpu);
    }
    EXPECT_EQ(AdlFacts.pmlog_used, -1);
}

}  // namespace
