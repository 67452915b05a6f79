// The AMD sampler's readings of one GPU through a function table the test fills, the clock percentages and
// the cell, ID and latency texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/language.h"
#include "gpu/adl_api.h"
#include "gpu/amd_gpu.h"
#include "gpu/amd_sample.h"

namespace {

// ---- Texts and percentages ----

AmdGpu reading(int32_t activity, int32_t core, int32_t memory, int32_t temperature, int32_t fan) {
    AmdGpu gpu;
    gpu.label = L"G2";
    gpu.gpu_activity = activity;
    gpu.core_clock = core;
    gpu.memory_clock = memory;
    gpu.temperature = temperature;
    gpu.fan_pct = fan;
    return gpu;
}

TEST(AmdSampleTexts, CellShowsTheReadingsAndDashesForNothing) {
    struct Case {
        const char* name;
        AmdGpu gpu;
        std::wstring cell;
    };
    const Case cases[] = {
        {"readings", reading(40, 1500, 800, 55, 33), L"G2 40% 1.5GHz 800MHz  55C 33%"},
        {"nothing read", reading(0, 0, 0, 0, 0), L"G2  --   0MHz   0MHz  --   --"},
        {"no temperature source", reading(5, 300, 96, -1, 7), L"G2  5% 300MHz  96MHz  -1C  7%"},
        {"full load, hot", reading(100, 2600, 1000, 105, 100), L"G2 MAX 2.6GHz 1.0GHz 105C MAX"},
        {"a temperature wider than four", reading(1, 1, 1, 12345, 1), L"G2  1%   1MHz   1MHz12345C  1%"},
    };
    for (const Case& c : cases) EXPECT_EQ(amd_cell_text(c.gpu), c.cell) << c.name;
    AmdGpu wide = reading(1, 1, 1, 1, 1);
    wide.temperature = INT32_MIN;
    wide.label = L"G8";
    EXPECT_LE(amd_cell_text(wide).size(), 60u) << "a cell value text holds 60 characters at most";
}

TEST(AmdSampleTexts, IdRowHasFiveColumnsAndVoltageOnlyWhenRead) {
    AmdGpu gpu = reading(40, 1500, 800, 55, 33);
    gpu.memory_activity = 20;
    gpu.vram_used_mb = 2048;
    gpu.power_now = 120;
    gpu.vddc_mv = 1050;
    EXPECT_EQ(amd_id_row(gpu), L"G2\n40%  1500MHz\n20%  800MHz  2048M\n55C  33%\n120W 1050mV");
    gpu.vddc_mv = 0;
    EXPECT_EQ(amd_id_row(gpu), L"G2\n40%  1500MHz\n20%  800MHz  2048M\n55C  33%\n120W");
}

TEST(AmdSampleTexts, ClockPercentagesPreferBoostThenObservedClock) {
    struct Case {
        const char* name;
        int32_t core, boost, observed, last, pct;
    };
    const Case cases[] = {
        {"of the boost clock", 1250, 2500, 2000, 7, 50},
        {"a half rounds up", 3, 8, 0, 7, 38},
        {"just below a half rounds down", 2005, 4000, 0, 7, 50},
        {"observed clock without a boost clock", 1500, 0, 2000, 7, 75},
        {"neither: 0", 1500, 0, 0, 7, 0},
        {"no core clock keeps the last percentage", 0, 2500, 2000, 7, 7},
        {"above the boost clock", 2750, 2500, 0, 7, 110},
        {"a tiny reference stays within 32 bits", INT32_MAX, 1, 0, 7, INT32_MAX},
    };
    for (const Case& c : cases) {
        AmdGpu gpu;
        gpu.core_clock = c.core;
        gpu.boost_clock = c.boost;
        gpu.observed_core_clock = c.observed;
        gpu.core_clock_pct = c.last;
        EXPECT_EQ(amd_core_clock_pct(gpu), c.pct) << c.name;
    }
    struct Memory {
        int32_t clock, max, pct;
    };
    for (const Memory& m : {Memory{875, 1750, 50}, Memory{1, 200, 1}, Memory{875, 0, 0}, Memory{0, 1750, 0}}) {
        AmdGpu gpu;
        gpu.memory_clock = m.clock;
        gpu.memory_clock_max = m.max;
        gpu.memory_clock_pct = 9;
        EXPECT_EQ(amd_memory_clock_pct(gpu), m.pct) << m.clock << " of " << m.max;
    }
}

TEST(AmdSampleTexts, LatencyRowNamesTheGpuAndTheTime) {
    text_maps_load(LANGUAGE_ENGLISH);
    DateParts parts;
    parts.year = 2026;
    parts.month = 3;
    parts.day = 7;
    parts.hour = 9;
    parts.minute = 5;
    parts.second = 2;
    EXPECT_EQ(amd_latency_row(date_from_parts(parts), L"G2", 312), L"03-07 09:05:02 G2 High Latency: 312ms");
}

// ---- Readings through the library's functions ----

// What the test's functions return and what they saw.
struct FakeLibrary {
    AdlResult result = ADL_OK;  // every function's result
    int32_t odn_core = 0, odn_memory = 0, odn_activity = 0, odn_memory_level = 0, odn_vddc = 0;
    int32_t od6_engine = 0, od6_memory = 0, od6_activity = 0;
    int32_t od5_engine = 0, od5_memory = 0, od5_activity = 0;
    int32_t millidegrees = 0, fan = 0, power = 0, vram = 0;
    std::vector<std::string> calls;
    bool requests_well_formed = true;
};
FakeLibrary fake;
int context_token = 0;
AdlContext const CONTEXT = &context_token;
constexpr int32_t ADAPTER = 5;

bool called_right(AdlContext context, int32_t adapter, const char* name) {
    fake.calls.emplace_back(name);
    if (context != CONTEXT || adapter != ADAPTER) fake.requests_well_formed = false;
    return fake.result == ADL_OK;
}

AdlResult ADL_API odn_status(AdlContext c, int32_t a, AdlOdnPerformanceStatus* s) {
    if (called_right(c, a, "odn_status")) {
        s->core_clock = fake.odn_core;
        s->memory_clock = fake.odn_memory;
        s->gpu_activity_percent = fake.odn_activity;
        s->current_memory_performance_level = fake.odn_memory_level;
        s->vddc = fake.odn_vddc;
    }
    return fake.result;
}
AdlResult ADL_API od6_status(AdlContext c, int32_t a, AdlOd6CurrentStatus* s) {
    if (called_right(c, a, "od6_status")) {
        s->engine_clock = fake.od6_engine;
        s->memory_clock = fake.od6_memory;
        s->activity_percent = fake.od6_activity;
    }
    return fake.result;
}
AdlResult ADL_API od5_activity(AdlContext c, int32_t a, AdlPmActivity* s) {
    if (s->size != 40) fake.requests_well_formed = false;
    if (called_right(c, a, "od5_activity")) {
        s->engine_clock = fake.od5_engine;
        s->memory_clock = fake.od5_memory;
        s->activity_percent = fake.od5_activity;
    }
    return fake.result;
}
AdlResult ADL_API odn_temperature(AdlContext c, int32_t a, int32_t type, int32_t* out) {
    if (type != 1) fake.requests_well_formed = false;
    if (called_right(c, a, "odn_temperature")) *out = fake.millidegrees;
    return fake.result;
}
AdlResult ADL_API od6_temperature(AdlContext c, int32_t a, int32_t* out) {
    if (called_right(c, a, "od6_temperature")) *out = fake.millidegrees;
    return fake.result;
}
AdlResult ADL_API od5_temperature(AdlContext c, int32_t a, int32_t controller, AdlTemperature* t) {
    if (controller != 0 || t->size != 8) fake.requests_well_formed = false;
    if (called_right(c, a, "od5_temperature")) t->temperature = fake.millidegrees;
    return fake.result;
}
AdlResult ADL_API odn_fan(AdlContext c, int32_t a, AdlOdnFanControl* f) {
    if (called_right(c, a, "odn_fan")) f->current_fan_speed = fake.fan;
    return fake.result;
}
AdlResult ADL_API od6_fan(AdlContext c, int32_t a, AdlOd6FanSpeedInfo* f) {
    if (f->speed_type != ADL_OD6_FAN_SPEED_PERCENT) fake.requests_well_formed = false;
    if (called_right(c, a, "od6_fan")) f->fan_speed_percent = fake.fan;
    return fake.result;
}
AdlResult ADL_API od5_fan(AdlContext c, int32_t a, int32_t controller, AdlFanSpeedValue* f) {
    if (controller != 0 || f->size != 16 || f->speed_type != ADL_FAN_SPEED_PERCENT || f->flags != 0)
        fake.requests_well_formed = false;
    if (called_right(c, a, "od5_fan")) f->fan_speed = fake.fan;
    return fake.result;
}
AdlResult ADL_API od6_power(AdlContext c, int32_t a, int32_t type, int32_t* out) {
    if (type != 0) fake.requests_well_formed = false;
    if (called_right(c, a, "od6_power")) *out = fake.power;
    return fake.result;
}
AdlResult ADL_API vram_usage(AdlContext c, int32_t a, int32_t* out) {
    if (called_right(c, a, "vram")) *out = fake.vram;
    return fake.result;
}
void pmlog_block_fill(AdlPmlogDataOutput* block) {
    if (block->size != 2052) fake.requests_well_formed = false;
    for (const auto& [sensor, value] : {std::pair{1, 1800}, {2, 1000}, {8, 0}, {19, 64}, {27, 71}}) {
        block->sensors[sensor].supported = 1;
        block->sensors[sensor].value = value;
    }
}
AdlPmlogShared const SHARED = &context_token + 1;
AdlResult ADL_API pmlog_read(AdlContext c, int32_t a, int32_t count, int32_t* sensors, AdlPmlogShared* shared,
                             AdlPmlogDataOutput* block) {
    if (count != PMLOG_REQUEST_COUNT || sensors != PmlogRequestSensors.data() || !shared || *shared != SHARED)
        fake.requests_well_formed = false;
    if (called_right(c, a, "pmlog_read")) pmlog_block_fill(block);
    return fake.result;
}
AdlResult ADL_API pmlog_query(AdlContext c, int32_t a, AdlPmlogDataOutput* block) {
    if (called_right(c, a, "pmlog_query")) pmlog_block_fill(block);
    return fake.result;
}

class AmdSampleLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        fake = FakeLibrary{};
        Adl = AdlApi{};
        Adl.odn_performance_status_get = odn_status;
        Adl.od6_current_status_get = od6_status;
        Adl.od5_current_activity_get = od5_activity;
        Adl.odn_temperature_get = odn_temperature;
        Adl.od6_temperature_get = od6_temperature;
        Adl.od5_temperature_get = od5_temperature;
        Adl.odn_fan_control_get = odn_fan;
        Adl.od6_fan_speed_get = od6_fan;
        Adl.od5_fan_speed_get = od5_fan;
        Adl.od6_current_power_get = od6_power;
        Adl.adapter_vram_usage_get = vram_usage;
        Adl.od8_pmlog_read = pmlog_read;
        Adl.new_query_pmlog_data_get = pmlog_query;
        AdlFacts = AdlState{};
        AdlFacts.context = CONTEXT;
        AdlFacts.pmlog_request_count = PMLOG_REQUEST_COUNT;
        AmdGpuTable.release();
        PmlogSensorList.assign(1, PmlogSensorEntry{});
    }
    void TearDown() override {
        Adl = AdlApi{};
        AdlFacts = AdlState{};
        AmdGpuTable.release();
    }
    static AmdGpu& gpu_with(std::initializer_list<AmdMark> marks, int32_t method) {
        AmdGpuTable.count = 1;
        AmdGpu& gpu = AmdGpuTable.records[0];
        gpu.adapter_index = ADAPTER;
        gpu.sensor_method = method;
        for (AmdMark mark : marks) gpu.marks[mark] = 1;
        gpu.has_values = {1, 1, 1, 1, 1, 1};
        return gpu;
    }
};

TEST_F(AmdSampleLibrary, OverdriveReadingsComeFromTheFirstMarkedInterface) {
    fake.odn_core = 150000;  // 10 kHz units
    fake.odn_memory = 87500;
    fake.odn_activity = 40;
    fake.odn_memory_level = 3;
    fake.odn_vddc = 1050;
    fake.od6_engine = 90000;
    fake.od6_memory = 60000;
    fake.od6_activity = 61;
    fake.od5_engine = 30000;
    fake.od5_memory = 15000;
    fake.od5_activity = 12;
    fake.millidegrees = 65999;
    fake.fan = 44;
    fake.power = 30000;  // watts with 8 fractional bits: 117.19 W
    struct Case {
        const char* name;
        std::initializer_list<AmdMark> marks;
        int32_t method, core, memory, activity;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"OverdriveN before the others",
         {MARK_ODN_ACTIVITY, MARK_OD6_ACTIVITY, MARK_OD5_ACTIVITY, MARK_ODN_TEMPERATURE, MARK_OD6_TEMPERATURE,
          MARK_ODN_FAN, MARK_OD5_FAN, MARK_OD6_POWER},
         AMD_SENSOR_ODN,
         1500,
         875,
         40,
         {"odn_status", "odn_temperature", "odn_fan", "od6_power"}},
        {"Overdrive 6 before 5",
         {MARK_OD6_ACTIVITY, MARK_OD5_ACTIVITY, MARK_OD6_TEMPERATURE, MARK_OD5_TEMPERATURE, MARK_OD6_FAN, MARK_OD5_FAN},
         AMD_SENSOR_OD6,
         900,
         600,
         61,
         {"od6_status", "od6_temperature", "od6_fan"}},
        {"Overdrive 5",
         {MARK_OD5_ACTIVITY, MARK_OD5_TEMPERATURE, MARK_OD5_FAN},
         AMD_SENSOR_OD5,
         300,
         150,
         12,
         {"od5_activity", "od5_temperature", "od5_fan"}},
        {"temperature only", {MARK_ODN_TEMPERATURE}, AMD_SENSOR_NONE, -7, -7, -7, {"odn_temperature"}},
    };
    for (const Case& c : cases) {
        fake.calls.clear();
        AmdGpu& gpu = gpu_with(c.marks, c.method);
        gpu.core_clock = gpu.memory_clock = gpu.gpu_activity = -7;
        amd_gpu_sample(gpu, 0);
        EXPECT_EQ(fake.calls, c.calls) << c.name;
        EXPECT_EQ(gpu.core_clock, c.core) << c.name;
        EXPECT_EQ(gpu.memory_clock, c.memory) << c.name;
        EXPECT_EQ(gpu.gpu_activity, c.activity) << c.name;
        EXPECT_EQ(gpu.temperature, 65) << c.name << ": millidegrees, the fraction dropped";
        AmdGpuTable.release();
    }
    EXPECT_TRUE(fake.requests_well_formed) << "a context, adapter, size, type or controller was wrong";

    AmdGpu& odn = gpu_with({MARK_ODN_ACTIVITY, MARK_ODN_FAN, MARK_OD6_POWER}, AMD_SENSOR_ODN);
    amd_gpu_sample(odn, 0);
    EXPECT_EQ(odn.memory_activity, 3);
    EXPECT_EQ(odn.vddc_mv, 1050);
    EXPECT_EQ(odn.fan_pct, 44);
    EXPECT_EQ(odn.power_now, 117) << "Overdrive 6 power is watts x 256";
}

TEST_F(AmdSampleLibrary, ValuesTheGpuDoesNotHaveOrFailedCallsStayAsTheyWere) {
    fake.odn_core = 150000;
    fake.odn_activity = 40;
    fake.odn_memory_level = 3;
    AmdGpu& gpu = gpu_with({MARK_ODN_ACTIVITY}, AMD_SENSOR_ODN);
    gpu.has_values = {0, 0, 1, 0, 1, 0};  // fan and memory clock only
    gpu.core_clock = 11;
    gpu.gpu_activity = 12;
    gpu.memory_activity = 13;
    amd_gpu_sample(gpu, 0);
    EXPECT_EQ(gpu.core_clock, 11);
    EXPECT_EQ(gpu.gpu_activity, 12);
    EXPECT_EQ(gpu.memory_activity, 13);
    EXPECT_EQ(gpu.memory_clock, 0) << "has memory clock: taken";

    for (AdlResult failure : {ADL_ERR, ADL_OK_WARNING, ADL_ERR_NOT_SUPPORTED}) {
        fake.result = failure;
        AmdGpu& failing =
            gpu_with({MARK_ODN_ACTIVITY, MARK_OD6_TEMPERATURE, MARK_OD5_FAN, MARK_OD6_POWER}, AMD_SENSOR_ODN);
        failing.core_clock = failing.temperature = failing.fan_pct = failing.power_now = failing.vddc_mv = 21;
        failing.vram_used_mb = 21;
        amd_gpu_sample(failing, 0);
        amd_vram_refresh(failing);
        for (int32_t value :
             {failing.core_clock, failing.temperature, failing.fan_pct, failing.power_now, failing.vddc_mv})
            EXPECT_EQ(value, 21) << "result " << failure;
        EXPECT_EQ(failing.vram_used_mb, 21) << "result " << failure;
    }
    fake.result = ADL_OK;
    fake.vram = 3072;
    amd_vram_refresh(gpu);
    EXPECT_EQ(gpu.vram_used_mb, 3072);

    Adl = AdlApi{};  // a library without the functions: nothing is called, nothing changes
    fake.calls.clear();
    AmdGpu& bare = gpu_with({MARK_ODN_ACTIVITY, MARK_ODN_TEMPERATURE, MARK_ODN_FAN, MARK_OD6_POWER}, AMD_SENSOR_ODN);
    bare.temperature = 50;
    amd_gpu_sample(bare, 0);
    amd_vram_refresh(bare);
    EXPECT_EQ(bare.temperature, 50);
    EXPECT_TRUE(fake.calls.empty());
}

TEST_F(AmdSampleLibrary, PmlogMethodsApplyTheBlockAndCallNothingElse) {
    struct Case {
        const char* name;
        AmdMark mark;
        int32_t method;
        const char* call;
    };
    const Case cases[] = {
        {"shared memory", MARK_OD8_PMLOG, AMD_SENSOR_OD8_PMLOG, "pmlog_read"},
        {"query", MARK_PMLOG_QUERY, AMD_SENSOR_PMLOG_QUERY, "pmlog_query"},
    };
    for (const Case& c : cases) {
        fake = FakeLibrary{};
        AdlFacts.pmlog_used = -1;
        PmlogSensorList.assign(1, PmlogSensorEntry{});
        AmdGpu& gpu = gpu_with({c.mark, MARK_ODN_TEMPERATURE, MARK_OD6_POWER}, c.method);
        AdlFacts.pmlog_shared[0] = SHARED;
        AdlPmlogDataOutput supported{};
        supported.size = sizeof supported;
        pmlog_block_fill(&supported);
        amd_pmlog_collect_sensors(supported, 0);
        ASSERT_EQ(gpu.pmlog_count, 5) << c.name;

        amd_gpu_sample(gpu, 0);
        EXPECT_EQ(fake.calls, std::vector<std::string>{c.call}) << c.name;
        EXPECT_EQ(gpu.core_clock, 1800) << c.name;
        EXPECT_EQ(gpu.gpu_activity, 64) << c.name;
        EXPECT_EQ(gpu.temperature, 71) << c.name << ": the hotspot when the edge gives 0";

        fake.calls.clear();
        gpu.marks[c.mark] = 0;
        gpu.core_clock = 5;
        amd_gpu_sample(gpu, 0);
        EXPECT_TRUE(fake.calls.empty()) << c.name << ": without its mark nothing is read";
        EXPECT_EQ(gpu.core_clock, 5) << c.name;
        AmdGpuTable.release();
    }
    EXPECT_TRUE(fake.requests_well_formed) << "block size, sensor list or shared-memory slot was wrong";
}

}  // namespace
