// The AMD sampler thread under Wine, on a library function table the test fills: cells, ID rows, histories
// and graphs of each shown AMD entry follow the library's values; the view and the Graphics tab's copy are
// served only without NVIDIA; a slow GPU is noted; a quit, also during a slow call, ends the thread within its
// round and releases the PMLog device, the context and the library in that order.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "core/control_numbers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "gpu/adl_api.h"
#include "gpu/amd_gpu.h"
#include "gpu/amd_sampler.h"
#include "gpu/gpu_entries.h"
#include "gpu/nvidia_gpu.h"
#include "runtime/list_model.h"
#include "runtime/program_libraries.h"
#include "runtime/threads.h"
#include "runtime/wait_until.h"
#include "ui/graph_descriptor.h"

namespace {

constexpr int32_t OD6_ADAPTER = 3;     // AMD GPU 0
constexpr int32_t PMLOG_ADAPTER = 7;   // AMD GPU 1
constexpr int32_t HIDDEN_ADAPTER = 9;  // AMD GPU 2, whose cell is not shown
constexpr AdlPmlogDevice DEVICE = 0x51;
int context_token = 0;
AdlContext const CONTEXT = &context_token;

// The values the test's library gives, changed by the test while the sampler runs.
std::atomic<int32_t> od6_millidegrees{55000};
std::atomic<int32_t> od6_activity{40};
std::atomic<int32_t> pmlog_temperature{61};
std::atomic<int32_t> slow_ms{0};  // how long each Overdrive 6 status call takes
// Overdrive 6 status calls begun: one a sample of the shown Overdrive 6 GPU, once a second.
std::atomic<int> od6_calls{0};
// While it is not set, a slow call waits for it after its time: the test holds the call to quit during it.
HANDLE slow_calls_go = CreateEventW(nullptr, TRUE, TRUE, nullptr);
std::atomic<int> hidden_calls{0};
std::atomic<int> copies{0};
std::atomic<int> view_builds{0};

// The release calls, in order.
std::mutex events_lock;
std::vector<std::string> events;
void event_note(const std::string& event) {
    std::lock_guard guard(events_lock);
    events.push_back(event);
}
std::vector<std::string> events_copy() {
    std::lock_guard guard(events_lock);
    return events;
}

void adapter_note(int32_t adapter) {
    if (adapter == HIDDEN_ADAPTER) ++hidden_calls;
}

AdlResult ADL_API od6_status(AdlContext, int32_t adapter, AdlOd6CurrentStatus* status) {
    adapter_note(adapter);
    ++od6_calls;
    if (const int32_t ms = slow_ms.load(); ms > 0) {
        event_note("slow call begun");
        Sleep(static_cast<DWORD>(ms));  // the library's own slowness
        WaitForSingleObject(slow_calls_go, INFINITE);
        event_note("slow call done");
    }
    status->engine_clock = 150000;
    status->memory_clock = 87500;
    status->activity_percent = od6_activity.load();
    return ADL_OK;
}
AdlResult ADL_API od6_temperature(AdlContext, int32_t adapter, int32_t* out) {
    adapter_note(adapter);
    *out = od6_millidegrees.load();
    return ADL_OK;
}
AdlResult ADL_API od6_fan(AdlContext, int32_t adapter, AdlOd6FanSpeedInfo* fan) {
    adapter_note(adapter);
    fan->fan_speed_percent = 33;
    return ADL_OK;
}
AdlResult ADL_API od6_power(AdlContext, int32_t adapter, int32_t, int32_t* out) {
    adapter_note(adapter);
    *out = 120 * 256;
    return ADL_OK;
}
AdlResult ADL_API vram_usage(AdlContext, int32_t, int32_t* out) {
    *out = 2048;
    return ADL_OK;
}
AdlResult ADL_API pmlog_read(AdlContext, int32_t adapter, int32_t, int32_t*, AdlPmlogShared*,
                             AdlPmlogDataOutput* block) {
    adapter_note(adapter);
    block->sensors[PMLOG_CLK_GFXCLK] = {1, 1800};
    block->sensors[PMLOG_TEMPERATURE_EDGE] = {1, pmlog_temperature.load()};
    block->sensors[PMLOG_INFO_ACTIVITY_GFX] = {1, 64};
    return ADL_OK;
}
AdlResult ADL_API pmlog_stop(AdlContext context, int32_t adapter, AdlPmlogDevice* device) {
    event_note(context == CONTEXT && adapter == PMLOG_ADAPTER && *device == DEVICE ? "stop" : "stop: wrong device");
    return ADL_OK;
}
AdlResult ADL_API pmlog_destroy(AdlContext context, AdlPmlogDevice device) {
    event_note(context == CONTEXT && device == DEVICE ? "device destroyed" : "destroy: wrong device");
    return ADL_OK;
}
AdlResult ADL_API context_destroy(AdlContext context) {
    event_note(context == CONTEXT ? "context destroyed" : "destroy: wrong context");
    return ADL_OK;
}

void copy_served(int tab) {
    if (tab == TAB_GRAPHICS) ++copies;
    SharedInts[COPY_TAB_REQUEST] = -1;
}
void view_built() { ++view_builds; }

class AmdSampler : public ::testing::Test {
protected:
    int64_t thread = 0;
    int first_graph = 0;

    void SetUp() override {
        shared_state_init(SharedStateFacts{});
        shared_tables_init();
        text_maps_load(LANGUAGE_ENGLISH);
        list_rows_clear(LIST_GPU_ID);
        list_rows_clear(LIST_GPU_INFO);
        od6_millidegrees = 55000;
        od6_activity = 40;
        pmlog_temperature = 61;
        slow_ms = 0;
        od6_calls = 0;
        SetEvent(slow_calls_go);
        hidden_calls = 0;
        copies = 0;
        view_builds = 0;
        events.clear();
        NvmlSystem.device_count = 0;
        library_fill();
        gpus_fill();
        graph_descriptors_clear();
        first_graph = SharedInts[GPU_GRAPH_START].load();
        for (int entry = 0; entry < GPU_ENTRY_MAX; ++entry)
            for (int j = 0; j < GPU_GRAPHS_PER_SLOT; ++j)
                graph_descriptor_create(first_graph + GPU_SLOT_STEP * entry + j, 50, 0, 0);
        amd_sampler_hooks_set({.copy_tab = copy_served, .info_view_build = view_built});
    }
    void TearDown() override {
        SetEvent(slow_calls_go);
        if (thread != 0) {
            quit_flag_raise(1);
            thread_wait(thread, 10000);
        }
        quit_flag_clear();
        amd_sampler_hooks_set({});
        Adl = AdlApi{};
        AdlFacts = AdlState{};
        AmdGpuTable.release();
        NvmlSystem.device_count = 0;
        graph_descriptors_clear();
    }

    static void library_fill() {
        std::lock_guard<LeafLock> hold(AdlLock);
        Adl = AdlApi{};
        Adl.od6_current_status_get = od6_status;
        Adl.od6_temperature_get = od6_temperature;
        Adl.od6_fan_speed_get = od6_fan;
        Adl.od6_current_power_get = od6_power;
        Adl.adapter_vram_usage_get = vram_usage;
        Adl.od8_pmlog_read = pmlog_read;
        Adl.od8_pmlog_stop = pmlog_stop;
        Adl.pmlog_device_destroy = pmlog_destroy;
        Adl.main_control_destroy = context_destroy;
        AdlFacts = AdlState{};
        AdlFacts.context = CONTEXT;
        AdlFacts.pmlog_request_count = PMLOG_REQUEST_COUNT;
        AdlFacts.pmlog_devices[1] = DEVICE;
        SharedQuads[ADL_LIBRARY] = LIBRARY_ADL;
    }

    // One NVIDIA entry (not sampled here) before three AMD GPUs: an Overdrive 6 one, a PMLog one and one
    // whose cell is hidden.
    static void gpus_fill() {
        AmdGpuTable.release();
        AmdGpuTable.count = 3;
        AmdGpu& od6 = AmdGpuTable.records[0];
        od6.adapter_index = OD6_ADAPTER;
        od6.label = L"G2";
        od6.sensor_method = AMD_SENSOR_OD6;
        for (AmdMark mark : {MARK_OD6_ACTIVITY, MARK_OD6_TEMPERATURE, MARK_OD6_FAN, MARK_OD6_POWER})
            od6.marks[mark] = AMD_SENSOR_OD6;
        od6.has_values = {1, 0, 1, 1, 1, 1};
        od6.boost_clock = 2000;
        od6.memory_clock_max = 1750;
        AmdGpu& pmlog = AmdGpuTable.records[1];
        pmlog.adapter_index = PMLOG_ADAPTER;
        pmlog.label = L"G3";
        pmlog.sensor_method = AMD_SENSOR_OD8_PMLOG;
        pmlog.marks[MARK_OD8_PMLOG] = AMD_SENSOR_OD8_PMLOG;
        AdlPmlogDataOutput supported{};
        for (int sensor : {PMLOG_CLK_GFXCLK, PMLOG_TEMPERATURE_EDGE, PMLOG_INFO_ACTIVITY_GFX})
            supported.sensors[sensor].supported = 1;
        AdlFacts.pmlog_used = -1;
        PmlogSensorList.assign(1, PmlogSensorEntry{});
        amd_pmlog_collect_sensors(supported, 1);
        AmdGpu& hidden = AmdGpuTable.records[2];
        hidden.adapter_index = HIDDEN_ADAPTER;
        hidden.label = L"G4";
        hidden.sensor_method = AMD_SENSOR_OD6;
        hidden.marks[MARK_OD6_TEMPERATURE] = AMD_SENSOR_OD6;
        SharedInts[AMD_GPU_COUNT] = 3;
        SharedInts[AMD_ENTRY_BASE] = 1;
        GpuEntryIndex = GpuEntryIndexRecord{};
        GpuEntryIndex.entry_count = 4;
        const wchar_t letters[] = {L'N', L'A', L'A', L'A'};
        const int32_t vendor[] = {0, 0, 1, 2};
        for (std::size_t e = 0; e < 4; ++e) {
            GpuEntryIndex.letters[e] = letters[e];
            GpuEntryIndex.vendor_index[e] = vendor[e];
            CompactCells[CELL_GPU_FIRST + e].shown = e == 3 ? CELL_HIDDEN : CELL_SHOWN;
        }
        SharedInts[GPU_HISTORY_ROWS] = 20;
        SharedInts[HISTORY_LENGTH] = 0;  // no room: each history keeps only its newest point
        SharedInts[GPU_SELECTED] = 1;
    }

    void start() {
        thread = thread_create(amd_sampler_thread, 0);
        ASSERT_NE(thread, 0);
    }
    // Waits until the sampler has taken `count` more samples, whole, from now on; true when it did.
    static bool samples_pass(int count) {
        // The call that begins after them shows that the last of them has ended.
        const int after = od6_calls.load() + count + 1;
        return wait_until([after] { return od6_calls.load() >= after; },
                          std::chrono::milliseconds((count + 1) * 10000));
    }
    static std::wstring cell(int entry) {
        std::lock_guard guard(CellDrawMutex);
        return CompactCells[CELL_GPU_FIRST + entry].value_text.str();
    }
    static std::size_t history_size(int gpu) {
        std::lock_guard guard(HistoryMutex);
        return AmdGpuTable.records[static_cast<std::size_t>(gpu)].history.size();
    }
    static int history_newest(int gpu) {
        std::lock_guard guard(HistoryMutex);
        const HistoryList& history = AmdGpuTable.records[static_cast<std::size_t>(gpu)].history;
        return history.empty() ? -1000 : history.back().temperature;
    }
};

TEST_F(AmdSampler, CellsRowsHistoriesAndGraphsFollowTheLibrary) {
    start();
    EXPECT_TRUE(wait_until([&] { return cell(1) == L"G2 40% 1.5GHz 875MHz  55C 33%"; })) << "od6 cell";
    EXPECT_TRUE(wait_until([&] { return cell(2).find(L"  61C ") != std::wstring::npos; })) << "PMLog cell";
    EXPECT_TRUE(wait_until([&] { return graph_sample_count(first_graph + 10 + 0) > 0 && history_size(0) == 1; }))
        << "entry 1's graphs start at GPU_GRAPH_START + 10";
    EXPECT_TRUE(wait_until([&] { return graph_sample_count(first_graph + 20 + 0) > 0; }));
    EXPECT_EQ(graph_sample_count(first_graph + 0), 0u) << "the NVIDIA entry's graphs are not AMD's";
    EXPECT_EQ(graph_sample_count(first_graph + 11), 0u) << "no memory activity: no sample";
    EXPECT_GT(graph_sample_count(first_graph + 15), 0u);
    const AmdGpu& od6 = AmdGpuTable.records[0];
    EXPECT_EQ(od6.power_w, 120);
    EXPECT_EQ(od6.core_clock_pct, 75) << "1500 of a 2000 MHz boost clock";
    EXPECT_EQ(od6.memory_clock_pct, 50);
    EXPECT_TRUE(cell(3).empty()) << "a hidden cell";
    EXPECT_EQ(hidden_calls.load(), 0) << "a GPU whose cell is not shown is not sampled";
    EXPECT_TRUE(wait_until([] { return view_builds.load() == 1; })) << "the first round builds the view";
    EXPECT_EQ(list_row(LIST_GPU_ID, 0).find(L"G2\n40%  1500MHz\n0%  875MHz  2048M\n55C  33%\n120W"), 18u)
        << "the selected entry's row after its time stamp";

    // Steady values add no row; a change moves the cell, the row, the history and the graphs.
    const std::size_t rows = list_rows_copy(LIST_GPU_ID).size();
    ASSERT_TRUE(samples_pass(2));
    EXPECT_EQ(list_rows_copy(LIST_GPU_ID).size(), rows);
    od6_millidegrees = 72000;
    od6_activity = 90;
    pmlog_temperature = 48;
    const std::size_t samples = graph_sample_count(first_graph + 10);
    EXPECT_TRUE(wait_until(
        [&] { return cell(1).find(L"90%") != std::wstring::npos && cell(1).find(L"  72C ") != std::wstring::npos; }));
    EXPECT_TRUE(wait_until([&] { return cell(2).find(L"  48C ") != std::wstring::npos; }));
    EXPECT_TRUE(wait_until([&] { return graph_sample_count(first_graph + 10) > samples; })) << "graphs keep moving";
    EXPECT_TRUE(wait_until([&] { return history_newest(0) == 72 && history_size(0) == 1; }))
        << "a history length of 0 keeps the newest point and does not loop";
    EXPECT_TRUE(wait_until([&] { return list_rows_copy(LIST_GPU_ID).size() == rows + 1; }));
    EXPECT_NE(list_row(LIST_GPU_ID, 0).find(L"G2\n90%"), std::wstring::npos);
    EXPECT_EQ(view_builds.load(), 1) << "no rebuild before 600 rounds without a request";
}

TEST_F(AmdSampler, ViewAndCopyAreServedOnlyWithoutNvidia) {
    start();
    EXPECT_TRUE(wait_until([] { return view_builds.load() == 1; }));
    SharedInts[COPY_TAB_REQUEST] = TAB_GRAPHICS;
    EXPECT_TRUE(wait_until([] { return copies.load() == 1; }));
    SharedInts[GPU_VIEW_REFRESH_REQUEST] = 1;
    EXPECT_TRUE(wait_until([] { return view_builds.load() == 2; })) << "a request rebuilds at the next round";
    EXPECT_EQ(SharedInts[GPU_VIEW_REFRESH_REQUEST].load(), 0);

    NvmlSystem.device_count = 1;
    SharedInts[COPY_TAB_REQUEST] = TAB_GRAPHICS;
    SharedInts[GPU_VIEW_REFRESH_REQUEST] = 1;
    // Two samples later, with the rounds between them, where the AMD sampler served both before.
    ASSERT_TRUE(samples_pass(2));
    EXPECT_EQ(copies.load(), 1) << "the NVIDIA sampler serves the copy";
    EXPECT_EQ(SharedInts[COPY_TAB_REQUEST].load(), TAB_GRAPHICS) << "and the request is left for it";
    EXPECT_EQ(view_builds.load(), 2);
    EXPECT_EQ(SharedInts[GPU_VIEW_REFRESH_REQUEST].load(), 1);
}

// A quit ends the sampler at once: a quit raised before it starts leaves the round and a pending copy undone,
// and the library is still released.
TEST_F(AmdSampler, AQuitEndsItAtOnceLeavingAPendingCopy) {
    SharedInts[COPY_TAB_REQUEST] = TAB_GRAPHICS;
    quit_flag_raise(1);
    start();
    EXPECT_TRUE(thread_wait(thread, 10000)) << "the sampler did not end after the quit";
    thread = 0;
    EXPECT_EQ(copies.load(), 0) << "a copy after the quit";
    EXPECT_EQ(SharedInts[COPY_TAB_REQUEST].load(), TAB_GRAPHICS);
    EXPECT_EQ(od6_calls.load(), 0) << "a round after the quit";
    EXPECT_EQ(SharedQuads[ADL_LIBRARY].load(), 0);
}

TEST_F(AmdSampler, SlowGpuIsNotedAndQuitDuringItReleasesTheLibraryAfterTheCall) {
    slow_ms = 400;
    start();
    EXPECT_TRUE(wait_until([] {
        std::lock_guard guard(GpuInfoMutex);
        return std::any_of(GpuInfoHistory.begin(), GpuInfoHistory.end(), [](const std::wstring& row) {
            return row.find(L" G2 High Latency: ") != std::wstring::npos && row.ends_with(L"ms");
        });
    })) << "a GPU that took more than 250 ms";
    // Quit while the slow call runs (held until the quit is raised): the thread ends without another round and
    // frees the library only after the call has returned.
    ResetEvent(slow_calls_go);
    const auto in_call = [] {
        const std::vector<std::string> seen = events_copy();
        return std::count(seen.begin(), seen.end(), "slow call begun") >
               std::count(seen.begin(), seen.end(), "slow call done");
    };
    ASSERT_TRUE(wait_until(in_call)) << "no slow call began";
    const std::size_t before_quit = events_copy().size();
    quit_flag_raise(1);
    SetEvent(slow_calls_go);
    EXPECT_TRUE(thread_wait(thread, 10000)) << "the sampler did not end after the quit";
    thread = 0;
    EXPECT_EQ(SharedQuads[ADL_LIBRARY].load(), 0);
    const std::vector<std::string> all = events_copy();
    const std::vector<std::string> ending(all.begin() + static_cast<std::ptrdiff_t>(before_quit), all.end());
    EXPECT_EQ(ending, (std::vector<std::string>{"slow call done", "stop", "device destroyed", "context destroyed"}))
        << "the call ends, no other round begins, then the library goes";
    std::lock_guard<LeafLock> hold(AdlLock);
    EXPECT_EQ(Adl.od6_current_status_get, nullptr) << "nothing can call into a freed library";
    EXPECT_EQ(AdlFacts.context, nullptr);
}

// The same thread on our fake library file, bound, enumerated and numbered as the program does it.
class AmdSamplerFakeLibrary : public ::testing::Test {
protected:
    std::filesystem::path folder;
    std::filesystem::path config;
    std::filesystem::path placed;
    int64_t thread = 0;

    static std::filesystem::path system_folder() {
        wchar_t path[MAX_PATH] = {};
        const UINT n = GetSystemDirectoryW(path, MAX_PATH);
        return std::filesystem::path(std::wstring(path, n));
    }
    void SetUp() override {
        shared_state_init(SharedStateFacts{});
        shared_tables_init();
        text_maps_load(LANGUAGE_ENGLISH);
        NvmlSystem.device_count = 0;
        amd_sampler_hooks_set({});
        folder =
            std::filesystem::temp_directory_path() / ("sotrix_amd_sampler_" + std::to_string(GetCurrentProcessId()));
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        config = folder / "fake.cfg";
        SetEnvironmentVariableW(L"SOTRIX_FAKE_ADL", config.wstring().c_str());
        const std::filesystem::path fake = std::filesystem::path(SOTRIX_FAKES_DIR) / "atiadlxx.dll";
        ASSERT_TRUE(std::filesystem::exists(fake)) << "the fake library was not built";
        for (const char* name : {"atiadlxx.dll", "atiadlxy.dll"})
            ASSERT_FALSE(std::filesystem::exists(system_folder() / name)) << "a display library is installed: " << name;
        placed = system_folder() / (sizeof(void*) == 8 ? "atiadlxx.dll" : "atiadlxy.dll");
        std::filesystem::copy_file(fake, placed);
    }
    void TearDown() override {
        SetEvent(slow_calls_go);
        if (thread != 0) {
            quit_flag_raise(1);
            thread_wait(thread, 10000);
        }
        quit_flag_clear();
        adl_unload();
        SetEnvironmentVariableW(L"SOTRIX_FAKE_ADL", nullptr);
        std::error_code ignored;
        if (!placed.empty()) std::filesystem::remove(placed, ignored);
        std::filesystem::remove_all(folder, ignored);
        graph_descriptors_clear();
    }
    void configure(const std::string& lines) const {
        std::ofstream out(config, std::ios::binary | std::ios::trunc);
        out << lines;
    }
    std::vector<std::string> fake_events() const {
        std::vector<std::string> lines;
        std::ifstream in(config.string() + ".log");
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    static std::wstring cell(int entry) {
        std::lock_guard guard(CellDrawMutex);
        return CompactCells[CELL_GPU_FIRST + entry].value_text.str();
    }
};

TEST_F(AmdSamplerFakeLibrary, CellsAndGraphsFollowTheFakeAndTheQuitReleasesIt) {
    configure("gpus=2\nod0=8\nod1=6\ntemperature0=55000\ntemperature1=61000\n");
    SharedQuads[ADL_LIBRARY] = adl_load();
    ASSERT_EQ(SharedQuads[ADL_LIBRARY].load(), LIBRARY_ADL);
    amd_gpu_enumerate();
    ASSERT_EQ(SharedInts[AMD_GPU_COUNT].load(), 2);
    ASSERT_EQ(gpu_entries_assign(), 2);
    SharedInts[HISTORY_LENGTH] = 3;
    graph_descriptors_clear();
    const int first = SharedInts[GPU_GRAPH_START].load();
    for (int entry : {0, 1})
        for (int j = 0; j < GPU_GRAPHS_PER_SLOT; ++j)
            graph_descriptor_create(first + GPU_SLOT_STEP * entry + j, 50, 0, 0);

    thread = thread_create(amd_sampler_thread, 0);
    ASSERT_NE(thread, 0);
    EXPECT_TRUE(wait_until([] { return cell(0).find(L"  55C ") != std::wstring::npos; })) << "PMLog GPU";
    EXPECT_TRUE(wait_until([] { return cell(1).find(L"  61C ") != std::wstring::npos; })) << "Overdrive 6 GPU";
    EXPECT_TRUE(wait_until([&] { return graph_sample_count(first + 0) > 0 && graph_sample_count(first + 10) > 0; }));

    configure("gpus=2\nod0=8\nod1=6\ntemperature0=72000\ntemperature1=48000\n");
    EXPECT_TRUE(wait_until([] { return cell(0).find(L"  72C ") != std::wstring::npos; }));
    EXPECT_TRUE(wait_until([] { return cell(1).find(L"  48C ") != std::wstring::npos; }));
    const std::size_t samples = graph_sample_count(first + 10);
    EXPECT_TRUE(wait_until([&] { return graph_sample_count(first + 10) > samples; })) << "graphs keep moving";

    quit_flag_raise(1);
    EXPECT_TRUE(thread_wait(thread, 3000)) << "the sampler did not end promptly after the quit";
    thread = 0;
    EXPECT_EQ(SharedQuads[ADL_LIBRARY].load(), 0);
    EXPECT_FALSE(library_loaded(LIBRARY_ADL));
    const std::vector<std::string> events = fake_events();
    auto at = [&](const char* event) { return std::find(events.begin(), events.end(), event) - events.begin(); };
    const auto end = static_cast<std::ptrdiff_t>(events.size());
    ASSERT_LT(at("unload"), end) << "the library was not freed";
    EXPECT_LT(at("pmlog-stop"), at("device-destroy"));
    EXPECT_LT(at("device-destroy"), at("destroy"));
    EXPECT_LT(at("destroy"), at("unload"));
}

}  // namespace
