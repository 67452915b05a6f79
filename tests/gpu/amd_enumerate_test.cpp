// Enumerating AMD GPUs through a table of our own fake library functions: folding outputs, the sensor interface
// chosen per GPU, legacy cards, the table bounds and a clean state after every early failure.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "core/control_numbers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "gpu/amd_gpu.h"
#include "gpu/gpu_info_view.h"
#include "gpu/nvidia_gpu.h"
#include "runtime/date.h"
#include "runtime/list_model.h"

namespace {

struct FakeGpu {
    std::string name = "AMD Radeon RX 6800";
    int bus = 3;
    std::string udid = "PCI_VEN_1002&DEV_73BF&SUBSYS_0E3A1002";
    int outputs = 1;
    int od_version = 8;
    bool od8_create = true, od8_start = true, od8_read = true;
    bool odn_perf = true, odn_temp = true, odn_fan = true;
    AdlOdnPerformanceStatus odn{210000, 100000, 0, 0, 0, 0, 37, 0, 2, 0, 0, 0, 0, 0, 16, 16, 1050, 0};
    int32_t odn_millidegrees = 61000;
    int32_t odn_fan_speed = 1200;
    bool od6_status = true, od6_temp = true, od6_fan = true, od6_power = true;
    int32_t od6_millidegrees = 62000;
    int32_t od6_fan_pct = 41;
    int32_t od6_power_raw = 150 * 256 + 128;  // 150.5 W
    bool od5_activity = true, od5_temp = true, od5_fan = true;
    int32_t od5_millidegrees = 63000;
    int32_t od5_fan_pct = 42;
    bool pmlog_query = true;
    bool limits = true;
};

struct FakeAdl {
    std::vector<FakeGpu> gpus;
    bool count_fails = false;
    bool info_fails = false;
    int32_t reported_count = -1;  // -1: the real number of entries
    int32_t info_bytes = -1;
    std::vector<int> entry_gpu;  // adapter index -> gpu
    std::vector<AdlContext> destroyed_contexts;
    std::vector<AdlPmlogDevice> destroyed_devices;
    std::vector<AdlPmlogDevice> stopped_devices;
    AdlFanSpeedValue od5_fan_request{};
    std::string aspects = "";
};
FakeAdl fake;
int context_token = 0;
AdlContext const FAKE_CONTEXT = &context_token;

const FakeGpu* gpu_of(int32_t index) {
    if (index < 0 || index >= static_cast<int32_t>(fake.entry_gpu.size())) return nullptr;
    return &fake.gpus[static_cast<std::size_t>(fake.entry_gpu[static_cast<std::size_t>(index)])];
}

AdlResult ADL_API count_get(AdlContext, int32_t* count) {
    if (fake.count_fails) return ADL_ERR;
    *count = fake.reported_count >= 0 ? fake.reported_count : static_cast<int32_t>(fake.entry_gpu.size());
    return ADL_OK;
}
AdlResult ADL_API info_get(AdlContext, AdlAdapterInfo* infos, int32_t bytes) {
    fake.info_bytes = bytes;
    if (fake.info_fails) return ADL_ERR;
    const std::size_t room = static_cast<std::size_t>(bytes) / sizeof(AdlAdapterInfo);
    for (std::size_t i = 0; i < fake.entry_gpu.size() && i < room; ++i) {
        const FakeGpu& g = fake.gpus[static_cast<std::size_t>(fake.entry_gpu[i])];
        AdlAdapterInfo& info = infos[i];
        info.adapter_index = static_cast<int32_t>(i);
        std::strncpy(info.udid, g.udid.c_str(), sizeof info.udid - 1);
        std::strncpy(info.adapter_name, g.name.c_str(), sizeof info.adapter_name - 1);
        std::strncpy(info.pnp_string, "PCI\\VEN_1002", sizeof info.pnp_string - 1);
        info.bus_number = g.bus;
    }
    return ADL_OK;
}
AdlResult ADL_API active_get(AdlContext, int32_t, int32_t* active) {
    *active = 1;
    return ADL_OK;
}
AdlResult ADL_API aspects_get(AdlContext, int32_t, char* buffer, int32_t size) {
    // Without a terminator when the text fills the buffer.
    std::memcpy(buffer, fake.aspects.c_str(),
                std::min<std::size_t>(fake.aspects.size() + 1, static_cast<std::size_t>(size)));
    return ADL_OK;
}
AdlResult ADL_API caps(AdlContext, int32_t, AdlAdapterCaps* c) {
    c->adapter_id = -2;  // an id with the high bit set
    c->num_displays = 4;
    return ADL_OK;
}
AdlResult ADL_API overdrive_caps(AdlContext, int32_t index, int32_t* s, int32_t* e, int32_t* v) {
    *s = 1;
    *e = 1;
    *v = gpu_of(index)->od_version;
    return ADL_OK;
}
AdlPmlogDevice device_for(int32_t index) { return 0x80000000u + static_cast<AdlPmlogDevice>(index); }
AdlResult ADL_API device_create(AdlContext, int32_t index, AdlPmlogDevice* device) {
    if (!gpu_of(index)->od8_create) return ADL_ERR;
    *device = device_for(index);
    return ADL_OK;
}
AdlResult ADL_API device_destroy(AdlContext, AdlPmlogDevice device) {
    fake.destroyed_devices.push_back(device);
    return ADL_OK;
}
AdlResult ADL_API pmlog_start(AdlContext, int32_t index, int32_t, int32_t count, int32_t* ids, AdlPmlogDevice*,
                              AdlPmlogShared* shared, int32_t) {
    if (!gpu_of(index)->od8_start || count != PMLOG_REQUEST_COUNT || !ids) return ADL_ERR;
    *shared = &context_token;
    return ADL_OK;
}
AdlResult ADL_API pmlog_stop(AdlContext, int32_t, AdlPmlogDevice* device) {
    fake.stopped_devices.push_back(*device);
    return ADL_OK;
}
void pmlog_fill(AdlPmlogDataOutput* out) {
    out->sensors[PMLOG_CLK_GFXCLK] = {1, 2100};
    out->sensors[PMLOG_TEMPERATURE_EDGE] = {1, 58};
    out->sensors[PMLOG_INFO_ACTIVITY_GFX] = {1, 12};
}
AdlResult ADL_API pmlog_read(AdlContext, int32_t index, int32_t, int32_t*, AdlPmlogShared*, AdlPmlogDataOutput* out) {
    if (!gpu_of(index)->od8_read || out->size != 2052) return ADL_ERR;
    pmlog_fill(out);
    return ADL_OK;
}
AdlResult ADL_API query_pmlog(AdlContext, int32_t index, AdlPmlogDataOutput* out) {
    if (!gpu_of(index)->pmlog_query || out->size != 2052) return ADL_ERR;
    pmlog_fill(out);
    return ADL_OK;
}
AdlResult ADL_API odn_perf(AdlContext, int32_t index, AdlOdnPerformanceStatus* s) {
    if (!gpu_of(index)->odn_perf) return ADL_ERR;
    *s = gpu_of(index)->odn;
    return ADL_OK;
}
AdlResult ADL_API odn_temp(AdlContext, int32_t index, int32_t type, int32_t* t) {
    if (!gpu_of(index)->odn_temp || type != 1) return ADL_ERR;
    *t = gpu_of(index)->odn_millidegrees;
    return ADL_OK;
}
AdlResult ADL_API odn_fan(AdlContext, int32_t index, AdlOdnFanControl* f) {
    if (!gpu_of(index)->odn_fan) return ADL_ERR;
    f->current_fan_speed = gpu_of(index)->odn_fan_speed;
    return ADL_OK;
}
AdlResult ADL_API od6_status(AdlContext, int32_t index, AdlOd6CurrentStatus* s) {
    if (!gpu_of(index)->od6_status) return ADL_ERR;
    *s = AdlOd6CurrentStatus{30000, 20000, 25, 0, 0, 8, 16, 0, 0};
    return ADL_OK;
}
AdlResult ADL_API od6_temp(AdlContext, int32_t index, int32_t* t) {
    if (!gpu_of(index)->od6_temp) return ADL_ERR;
    *t = gpu_of(index)->od6_millidegrees;
    return ADL_OK;
}
AdlResult ADL_API od6_fan(AdlContext, int32_t index, AdlOd6FanSpeedInfo* f) {
    if (!gpu_of(index)->od6_fan) return ADL_ERR;
    f->fan_speed_percent = gpu_of(index)->od6_fan_pct;
    return ADL_OK;
}
AdlResult ADL_API od6_power(AdlContext, int32_t index, int32_t type, int32_t* p) {
    if (!gpu_of(index)->od6_power || type != 0) return ADL_ERR;
    *p = gpu_of(index)->od6_power_raw;
    return ADL_OK;
}
AdlResult ADL_API od5_activity(AdlContext, int32_t index, AdlPmActivity* a) {
    if (!gpu_of(index)->od5_activity || a->size != 40) return ADL_ERR;
    a->engine_clock = 30000;
    a->memory_clock = 20000;
    a->activity_percent = 5;
    return ADL_OK;
}
AdlResult ADL_API od5_temp(AdlContext, int32_t index, int32_t, AdlTemperature* t) {
    if (!gpu_of(index)->od5_temp || t->size != 8) return ADL_ERR;
    t->temperature = gpu_of(index)->od5_millidegrees;
    return ADL_OK;
}
AdlResult ADL_API od5_fan(AdlContext, int32_t index, int32_t, AdlFanSpeedValue* f) {
    fake.od5_fan_request = *f;
    if (!gpu_of(index)->od5_fan) return ADL_ERR;
    f->fan_speed = gpu_of(index)->od5_fan_pct;
    return ADL_OK;
}
AdlResult ADL_API limits_get(AdlContext, int32_t index, AdlPmlogSensorLimits* l) {
    if (!gpu_of(index)->limits) return ADL_ERR;
    l->sensors[PMLOG_CLK_GFXCLK].upper = 2500;
    l->sensors[PMLOG_TEMPERATURE_EDGE].upper = 110;
    l->sensors[PMLOG_BUS_LANES].upper = 16;
    l->sensors[73].upper = 999;  // beyond the sensors read
    return ADL_OK;
}
AdlResult ADL_API control_destroy(AdlContext context) {
    fake.destroyed_contexts.push_back(context);
    return ADL_OK;
}

AdlApi full_api() {
    AdlApi a;
    a.adapter_count_get = count_get;
    a.adapter_info_get = info_get;
    a.adapter_active_get = active_get;
    a.adapter_aspects_get = aspects_get;
    a.adapter_caps = caps;
    a.overdrive_caps = overdrive_caps;
    a.pmlog_device_create = device_create;
    a.pmlog_device_destroy = device_destroy;
    a.od8_pmlog_start = pmlog_start;
    a.od8_pmlog_stop = pmlog_stop;
    a.od8_pmlog_read = pmlog_read;
    a.new_query_pmlog_data_get = query_pmlog;
    a.odn_performance_status_get = odn_perf;
    a.odn_temperature_get = odn_temp;
    a.odn_fan_control_get = odn_fan;
    a.od6_current_status_get = od6_status;
    a.od6_temperature_get = od6_temp;
    a.od6_fan_speed_get = od6_fan;
    a.od6_current_power_get = od6_power;
    a.od5_current_activity_get = od5_activity;
    a.od5_temperature_get = od5_temp;
    a.od5_fan_speed_get = od5_fan;
    a.adapter_pmlog_sensor_limits_get = limits_get;
    a.main_control_destroy = control_destroy;
    return a;
}

void bind(const AdlApi& api) {
    std::lock_guard<LeafLock> hold(AdlLock);
    Adl = api;
    AdlFacts = AdlState{};
    AdlFacts.context = FAKE_CONTEXT;
}

void gpus_set(std::vector<FakeGpu> gpus) {
    fake.gpus = std::move(gpus);
    fake.entry_gpu.clear();
    for (std::size_t g = 0; g < fake.gpus.size(); ++g)
        for (int o = 0; o < fake.gpus[g].outputs; ++o) fake.entry_gpu.push_back(static_cast<int>(g));
}

std::vector<std::wstring> report() {
    std::lock_guard guard(GpuInfoMutex);
    return AmdReportLines;
}

bool reported(const std::wstring& line) {
    for (const std::wstring& l : report())
        if (l.find(line) != std::wstring::npos) return true;
    return false;
}

class AmdEnumerate : public ::testing::Test {
protected:
    void SetUp() override {
        shared_state_init(SharedStateFacts{});
        shared_tables_init();
        {
            std::lock_guard guard(GpuInfoMutex);
            AmdReportLines.clear();
        }
        fake = FakeAdl{};
        bind(full_api());
        SharedQuads[ADL_LIBRARY] = 122;
        // Stale records of an earlier run must not survive any outcome.
        AmdGpuTable.count = AMD_GPU_MAX;
        for (AmdGpu& gpu : AmdGpuTable.records) gpu.adapter_name = L"stale";
        AmdLegacyTable.count = 1;
        AmdLegacyTable.records[0].adapter_name = L"stale";
    }
    void TearDown() override {
        std::lock_guard<LeafLock> hold(AdlLock);
        Adl = AdlApi{};
    }

    static void expect_given_up(const char* name) {
        EXPECT_EQ(SharedQuads[ADL_LIBRARY].load(), 0) << name;
        EXPECT_EQ(SharedInts[AMD_GPU_COUNT].load(), 0) << name;
        EXPECT_EQ(AmdGpuTable.count, 0) << name;
        EXPECT_EQ(AmdLegacyTable.count, 0) << name;
        EXPECT_EQ(AmdGpuTable.at(0), nullptr) << name;
        for (const AmdGpu& gpu : AmdGpuTable.records) EXPECT_TRUE(gpu.adapter_name.empty()) << name;
        EXPECT_EQ(fake.destroyed_contexts, std::vector<AdlContext>{FAKE_CONTEXT}) << name;
        EXPECT_FALSE(adl_has(&AdlApi::adapter_count_get)) << name;
        EXPECT_EQ(AdlFacts.context, nullptr) << name;
    }
};

TEST_F(AmdEnumerate, EveryEarlyFailureLeavesNoGpuAndTheLibraryGivenUp) {
    struct Case {
        const char* name;
        void (*arrange)(AdlApi&);
        const wchar_t* line;
    };
    const Case cases[] = {
        {"count function missing", [](AdlApi& a) { a.adapter_count_get = nullptr; }, L"Missing AMD Get Commands"},
        {"information function missing", [](AdlApi& a) { a.adapter_info_get = nullptr; }, L"Missing AMD Get Commands"},
        {"active function missing", [](AdlApi& a) { a.adapter_active_get = nullptr; }, L"Missing AMD Get Commands"},
        {"count fails", [](AdlApi&) { fake.count_fails = true; }, L"Init ADL2_Adapter_NumberOfAdapters_Get"},
        {"information fails", [](AdlApi&) { fake.info_fails = true; }, L"Failed ADL2_Adapter_AdapterInfo_Get"},
        {"no AMD entry", [](AdlApi&) { gpus_set({}); }, L"AMD Adapters Found: 0"},
    };
    for (const Case& c : cases) {
        SetUp();
        gpus_set({FakeGpu{}});
        AdlApi api = full_api();
        c.arrange(api);
        bind(api);
        amd_gpu_enumerate();
        expect_given_up(c.name);
        EXPECT_TRUE(reported(c.line)) << c.name;
    }
}

TEST_F(AmdEnumerate, OutputsOfOneGpuFoldIntoOneRecordAndOtherVendorsAreSkipped) {
    FakeGpu first;
    first.outputs = 3;
    FakeGpu other;
    other.name = "Other vendor";
    other.udid = "PCI_VEN_8086&DEV_3E92";
    FakeGpu second;
    second.bus = 26;
    second.name = "AMD Radeon RX 7600";
    fake.aspects = "3D,Video";
    gpus_set({first, other, second});
    amd_gpu_enumerate();

    ASSERT_EQ(AmdGpuTable.count, 2);
    EXPECT_EQ(SharedInts[AMD_GPU_COUNT].load(), 2);
    EXPECT_EQ(AdlFacts.gpu_count, 2);
    EXPECT_EQ(SharedQuads[ADL_LIBRARY].load(), 122);
    EXPECT_EQ(AmdGpuTable.records[0].adapter_index, 0);
    EXPECT_EQ(AmdGpuTable.records[0].adapter_name, L"AMD Radeon RX 6800");
    EXPECT_EQ(AmdGpuTable.records[1].adapter_index, 4);  // three outputs, then the other vendor's entry
    EXPECT_EQ(AmdGpuTable.records[1].pci_bus, 26);
    EXPECT_EQ(AmdGpuTable.records[0].board_id, 0xFFFFFFFE);
    EXPECT_EQ(AmdGpuTable.records[0].aspects, L"3D;Video");
    EXPECT_TRUE(AmdGpuTable.records[2].adapter_name.empty());
    EXPECT_EQ(AmdLegacyTable.count, 0);
    int adding = 0;
    for (const std::wstring& line : report())
        if (line.find(L"Adding AMD Adapter") != std::wstring::npos) ++adding;
    EXPECT_EQ(adding, 2);
    EXPECT_TRUE(reported(L"G1 Adding AMD Adapter 4 as AMD-G1"));
    EXPECT_TRUE(fake.destroyed_contexts.empty());

    SetUp();
    fake.aspects = std::string(300, 'a');
    gpus_set({first});
    amd_gpu_enumerate();
    EXPECT_EQ(AmdGpuTable.records[0].aspects, std::wstring(255, L'a'));
}

TEST_F(AmdEnumerate, SensorInterfaceFollowsTheOverdriveVersionAndWhatSucceeds) {
    struct Case {
        const char* name;
        void (*arrange)(FakeGpu&);
        int method;
        const wchar_t* label;
        std::vector<int> marks;  // indexes that are set (besides the limits mark 1)
        int32_t temperature;
    };
    const Case cases[] = {
        {"od8 shared memory", [](FakeGpu&) {}, 8, L"od8", {MARK_OD8_PMLOG}, 58},
        {"od8 device fails: OverdriveN",
         [](FakeGpu& g) { g.od8_create = false; },
         7,
         L"od7",
         {MARK_ODN_ACTIVITY, MARK_ODN_TEMPERATURE, MARK_ODN_FAN, MARK_OD6_POWER},
         61},
        {"version 7 never tries the shared memory",
         [](FakeGpu& g) { g.od_version = 7; },
         7,
         L"od7",
         {MARK_ODN_ACTIVITY, MARK_ODN_TEMPERATURE, MARK_ODN_FAN, MARK_OD6_POWER},
         61},
        {"OverdriveN temperature only falls to Overdrive 6",
         [](FakeGpu& g) {
             g.od_version = 7;
             g.odn_perf = false;
         },
         6,
         L"od6",
         {MARK_OD6_ACTIVITY, MARK_ODN_TEMPERATURE, MARK_ODN_FAN, MARK_OD6_POWER},
         61},
        {"version 6",
         [](FakeGpu& g) { g.od_version = 6; },
         6,
         L"od6",
         {MARK_OD6_ACTIVITY, MARK_OD6_TEMPERATURE, MARK_OD6_FAN, MARK_OD6_POWER},
         62},
        {"version 6 fan of 101 % refused, Overdrive 6 temperature 256 refused",
         [](FakeGpu& g) {
             g.od_version = 6;
             g.od6_fan_pct = 101;
             g.od6_millidegrees = 256000;
             g.od5_temp = false;
             g.od5_fan = false;
         },
         6,
         L"od6",
         {MARK_OD6_ACTIVITY, MARK_OD6_POWER},
         256},
        {"version 5",
         [](FakeGpu& g) { g.od_version = 5; },
         5,
         L"od5",
         {MARK_OD5_ACTIVITY, MARK_OD5_TEMPERATURE, MARK_OD5_FAN},
         63},
        {"no Overdrive: the PMLog query", [](FakeGpu& g) { g.od_version = 0; }, 1, L"od1", {MARK_PMLOG_QUERY}, -1},
        {"only an Overdrive 5 temperature",
         [](FakeGpu& g) {
             g.od_version = 5;
             g.od5_activity = false;
             g.od5_millidegrees = 300000;
             g.pmlog_query = false;
         },
         0,
         L"---",
         {MARK_OD5_FAN},
         300},
    };
    for (const Case& c : cases) {
        SetUp();
        FakeGpu gpu;
        c.arrange(gpu);
        gpus_set({gpu});
        amd_gpu_enumerate();
        ASSERT_EQ(AmdGpuTable.count, 1) << c.name;
        const AmdGpu& r = AmdGpuTable.records[0];
        EXPECT_EQ(r.sensor_method, c.method) << c.name;
        EXPECT_EQ(r.sensor_label, c.label) << c.name;
        EXPECT_EQ(r.temperature, c.temperature) << c.name;
        std::array<int8_t, AMD_MARK_COUNT> marks{};
        marks[MARK_LIMITS] = 1;
        for (int m : c.marks) {
            const int value = m == MARK_OD8_PMLOG ? 8
                              : m <= MARK_ODN_FAN ? 7
                              : m <= MARK_OD6_FAN ? 6
                              : m <= MARK_OD5_FAN ? 5
                                                  : 1;
            marks[static_cast<std::size_t>(m)] = static_cast<int8_t>(value);
        }
        EXPECT_EQ(r.marks, marks) << c.name;
        EXPECT_EQ(r.core_clock_max, 2500) << c.name;
        EXPECT_EQ(r.temp_max, 110) << c.name;
        EXPECT_EQ(r.bus_lanes, 16) << c.name;
    }
}

TEST_F(AmdEnumerate, ValueUnitsOfTheOlderInterfaces) {
    FakeGpu gpu;
    gpu.od8_create = false;
    gpus_set({gpu});
    amd_gpu_enumerate();
    const AmdGpu& r = AmdGpuTable.records[0];
    EXPECT_EQ(r.power_now, 150);    // watts with 8 fractional bits
    EXPECT_EQ(r.core_clock, 2100);  // 10 kHz units
    EXPECT_EQ(r.memory_clock, 1000);
    EXPECT_EQ(r.gpu_activity, 37);
    EXPECT_EQ(r.vddc_mv, 1050);
    EXPECT_EQ(r.fan_pct, 1200);

    SetUp();
    gpu.od_version = 5;
    gpus_set({gpu});
    amd_gpu_enumerate();
    EXPECT_EQ(fake.od5_fan_request.size, 16);
    EXPECT_EQ(fake.od5_fan_request.speed_type, ADL_FAN_SPEED_PERCENT);
    EXPECT_EQ(fake.od5_fan_request.flags, 0);
    EXPECT_EQ(AmdGpuTable.records[0].fan_pct, 42);
}

TEST_F(AmdEnumerate, PmlogDeviceIsReleasedWhenItsSharedMemoryFails) {
    struct Case {
        const char* name;
        void (*arrange)(FakeGpu&);
        bool stopped;
    };
    const Case cases[] = {
        {"start fails", [](FakeGpu& g) { g.od8_start = false; }, false},
        {"read fails", [](FakeGpu& g) { g.od8_read = false; }, true},
    };
    for (const Case& c : cases) {
        SetUp();
        FakeGpu gpu;
        c.arrange(gpu);
        gpus_set({gpu});
        amd_gpu_enumerate();
        EXPECT_EQ(fake.destroyed_devices, std::vector<AdlPmlogDevice>{device_for(0)}) << c.name;
        EXPECT_EQ(fake.stopped_devices.size(), c.stopped ? 1u : 0u) << c.name;
        EXPECT_EQ(AdlFacts.pmlog_devices[0], 0u) << c.name;
        EXPECT_EQ(AdlFacts.pmlog_shared[0], nullptr) << c.name;
        EXPECT_EQ(AmdGpuTable.records[0].sensor_method, AMD_SENSOR_ODN) << c.name;
    }
    SetUp();
    gpus_set({FakeGpu{}});
    amd_gpu_enumerate();
    EXPECT_EQ(AdlFacts.pmlog_devices[0], device_for(0));  // kept open for the sampler
    EXPECT_TRUE(fake.destroyed_devices.empty());
}

TEST_F(AmdEnumerate, NineGpusFillEightRecordsEachWithItsSensors) {
    std::vector<FakeGpu> gpus(9);
    for (int g = 0; g < 9; ++g) gpus[static_cast<std::size_t>(g)].bus = g + 1;
    gpus_set(gpus);
    amd_gpu_enumerate();
    EXPECT_EQ(AmdGpuTable.count, AMD_GPU_MAX);
    EXPECT_EQ(SharedInts[AMD_GPU_COUNT].load(), AMD_GPU_MAX);
    for (const AmdGpu& gpu : AmdGpuTable.records) EXPECT_EQ(gpu.sensor_method, AMD_SENSOR_OD8_PMLOG);
    EXPECT_EQ(AmdGpuTable.records[7].pci_bus, 8);
    EXPECT_FALSE(reported(L"Adding AMD Adapter 8"));
    EXPECT_EQ(AmdGpuTable.at(8), nullptr);
}

TEST_F(AmdEnumerate, LegacyCardsAreListedUpToSeventeenAndFreeTheirRecords) {
    FakeGpu legacy;
    legacy.od_version = 0;
    legacy.pmlog_query = false;
    std::vector<FakeGpu> gpus(18, legacy);
    for (int g = 0; g < 18; ++g) gpus[static_cast<std::size_t>(g)].bus = g + 1;
    FakeGpu sensed;
    sensed.bus = 40;
    gpus.push_back(sensed);
    gpus_set(gpus);
    amd_gpu_enumerate();
    EXPECT_EQ(AmdLegacyTable.count, AMD_LEGACY_MAX);
    EXPECT_EQ(AmdLegacyTable.records[16].pci_bus, 17);
    EXPECT_EQ(AmdLegacyTable.records[0].marks_text, L"010000000000000000");
    EXPECT_EQ(AmdLegacyTable.records[0].has_values_text, L"000000");
    ASSERT_EQ(AmdGpuTable.count, 1);  // legacy cards use up no record
    EXPECT_EQ(AmdGpuTable.records[0].pci_bus, 40);
    EXPECT_TRUE(AmdGpuTable.records[1].adapter_name.empty());
}

// Only legacy cards: the library is given up for want of a GPU to sample, but the cards stay, and beside an NVIDIA
// GPU the information view lists them without any AMD GPU or AMD software row.
TEST_F(AmdEnumerate, LegacyCardsAloneOutliveTheLibraryAndTheViewListsThem) {
    FakeGpu legacy;
    legacy.od_version = 0;
    legacy.pmlog_query = false;
    gpus_set(std::vector<FakeGpu>(2, legacy));
    fake.gpus[1].name = "AMD Radeon HD 5450";
    fake.gpus[1].bus = 9;
    amd_gpu_enumerate();
    EXPECT_EQ(SharedQuads[ADL_LIBRARY].load(), 0);
    EXPECT_EQ(fake.destroyed_contexts.size(), 1u);
    EXPECT_EQ(SharedInts[AMD_GPU_COUNT].load(), 0);
    EXPECT_EQ(AmdGpuTable.count, 0);
    ASSERT_EQ(AmdLegacyTable.count, 2);
    EXPECT_EQ(AmdLegacyTable.records[1].adapter_name, L"AMD Radeon HD 5450");
    EXPECT_EQ(AmdLegacyTable.records[1].pci_bus, 9);

    text_maps_load(LANGUAGE_ENGLISH);
    SharedInts[NVIDIA_GPU_COUNT] = 1;
    NvmlSystem.device_count = 1;
    NvidiaGpuTable[0].label = L"G1";
    gpu_info_view_build_at(date_from_parts(DateParts{2026, 3, 4, 5, 6, 7}));
    const std::vector<std::wstring> rows = list_rows_copy(LIST_GPU_INFO);
    auto starting = [&](std::wstring_view start) {
        return std::count_if(rows.begin(), rows.end(), [&](const std::wstring& row) { return row.starts_with(start); });
    };
    EXPECT_EQ(starting(L"-- G1:000 "), 1);
    EXPECT_EQ(starting(L"-- GX:000 2026-03-04 05:06:07 (Legacy)"), 1);
    EXPECT_EQ(starting(L"-- GX:001 2026-03-04 05:06:07 (Legacy)"), 1);
    EXPECT_EQ(starting(L"AMD Radeon HD 5450"), 1);
    EXPECT_EQ(starting(L"Legacy Devices       2"), 1);
    EXPECT_EQ(starting(L"AMD Devices"), 0);
    EXPECT_EQ(starting(L"AMD Driver Version"), 0);
    list_rows_clear(LIST_GPU_INFO);
    NvidiaGpuTable[0] = NvidiaGpu{};
    NvmlSystem = NvmlSystemInfo{};
    AmdLegacyTable.release();
}

TEST_F(AmdEnumerate, AnAbsurdAdapterCountIsBoundedBeforeItSizesTheBuffer) {
    gpus_set({FakeGpu{}});
    fake.reported_count = 1 << 30;
    amd_gpu_enumerate();
    EXPECT_EQ(fake.info_bytes, AMD_ADAPTER_ENTRY_MAX * static_cast<int32_t>(sizeof(AdlAdapterInfo)));
    EXPECT_EQ(AmdGpuTable.count, 1);

    SetUp();
    gpus_set({FakeGpu{}});
    fake.reported_count = 0;
    amd_gpu_enumerate();
    EXPECT_EQ(AmdGpuTable.count, 0);
    EXPECT_EQ(SharedQuads[ADL_LIBRARY].load(), 0);
}

}  // namespace
