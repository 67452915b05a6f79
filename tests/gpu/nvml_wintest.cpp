// The NVIDIA side against our fake nvml.dll under Wine: binding, refusals, enumeration, entries, and the
// sampler's cells, histories and graphs, up to its end that shuts the library down before freeing it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "core/control_numbers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "gpu/gpu_entries.h"
#include "gpu/nvidia_enumerate.h"
#include "gpu/nvidia_gpu.h"
#include "gpu/nvidia_sampler.h"
#include "gpu/nvml_binding.h"
#include "runtime/list_model.h"
#include "runtime/threads.h"
#include "runtime/wait_until.h"
#include "ui/graph_descriptor.h"

namespace fs = std::filesystem;

namespace {

const fs::path FAKES = SOTRIX_FAKES_DIR;
constexpr bool WIDE_BUILD = sizeof(void*) == 8;

class NvmlFake : public ::testing::Test {
protected:
    fs::path folder;
    fs::path config;

    void SetUp() override {
        shared_state_init(SharedStateFacts{});
        shared_tables_init();
        text_maps_load(LANGUAGE_ENGLISH);
        list_rows_clear(LIST_GPU_INFO);
        folder = fs::temp_directory_path() / ("sotrix_nvml_" + std::to_string(GetCurrentProcessId()) + "_" +
                                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        config = folder / "fake.cfg";
        SetEnvironmentVariableW(L"SOTRIX_FAKE_NVML", config.wstring().c_str());
        ASSERT_TRUE(fs::exists(FAKES / "nvml.dll")) << "the fake library was not built: " << FAKES;
    }
    void TearDown() override {
        nvml_unload();
        SetEnvironmentVariableW(L"SOTRIX_FAKE_NVML", nullptr);
        list_rows_clear(LIST_GPU_INFO);
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    void configure(const std::string& lines) const {
        std::ofstream out(config, std::ios::binary | std::ios::trunc);
        out << lines;
    }
    // What the fake noted of its start, shutdown and unload, in order.
    std::vector<std::string> fake_events() const {
        std::vector<std::string> events;
        std::ifstream in(config.string() + ".log");
        for (std::string line; std::getline(in, line);) events.push_back(line);
        return events;
    }
    static std::vector<std::wstring> log() {
        std::lock_guard guard(GpuInfoMutex);
        return NvidiaReportLines;
    }
    static bool logged(const std::wstring& line) {
        const auto lines = log();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    static int64_t load(const fs::path& dll) { return nvml_load_from({dll.wstring()}); }
};

// The i386 build never binds the library, so these run in the 64-bit build only.
#ifdef _WIN64

TEST_F(NvmlFake, FoundBoundAndShutDownBeforeItIsFreed) {
    configure("gpus=1\ndriver=551.23\ncuda=12040\n");
    const fs::path empty = folder / "empty" / "nvml.dll";
    fs::create_directories(empty.parent_path());
    std::ofstream(empty).close();
    ASSERT_EQ(nvml_load_from({(folder / "missing.dll").wstring(), empty.wstring(), (FAKES / "nvml.dll").wstring()}),
              LIBRARY_NVML);
    EXPECT_EQ(log(), (std::vector<std::wstring>{L"N| Start NVidia GPU Detection", L"N| Found NVidia Drivers",
                                                L"N| NVidia Library Opened", L"N| Init NVML",
                                                L"N| Init nvmlSystemGetDriverVersion",
                                                L"N| Init nvmlSystemGetNVMLVersion", L"N| NVML version: v551.23"}));
    EXPECT_EQ(NvmlSystem.driver_version, L"551.23");
    EXPECT_EQ(NvmlSystem.nvml_version, L"12.551.23");
    EXPECT_EQ(cuda_version_text(NvmlSystem.cuda_version), L"12.4");
    EXPECT_NE(Nvml.board_part_number, nullptr);
    nvml_unload();
    EXPECT_EQ(fake_events(), (std::vector<std::string>{"init", "shutdown", "unload"}));
    EXPECT_EQ(Nvml.init, nullptr) << "nothing can call into a freed library";
}

TEST_F(NvmlFake, RefusalsLeaveNothingLoadedAndShutDownWhatWasStarted) {
    struct Case {
        const char* name;
        const char* dll;
        std::string config;
        std::wstring last_line;
        std::vector<std::string> events;
    };
    const Case cases[] = {
        {"old driver",
         "nvml.dll",
         "driver=284.99\n",
         L"N| NVML version too old: v284.99",
         {"init", "shutdown", "unload"}},
        {"driver text without a number",
         "nvml.dll",
         "driver=beta\n",
         L"N| NVML version too old: vbeta",
         {"init", "shutdown", "unload"}},
        {"start fails", "nvml.dll", "init_result=9\n", L"N| Error NVML", {"unload"}},
        {"no shutdown function: never started", "nvml_noshutdown.dll", "", L"N| Error NVML", {"unload"}},
    };
    for (const Case& c : cases) {
        shared_tables_init();
        fs::remove(config.string() + ".log");
        configure(c.config);
        EXPECT_EQ(load(FAKES / c.dll), 0) << c.name;
        ASSERT_FALSE(log().empty()) << c.name;
        EXPECT_EQ(log().back(), c.last_line) << c.name;
        EXPECT_EQ(fake_events(), c.events) << c.name;
        EXPECT_EQ(Nvml.init, nullptr) << c.name;
    }
    shared_tables_init();
    const fs::path not_a_library = folder / "text" / "nvml.dll";
    fs::create_directories(not_a_library.parent_path());
    std::ofstream(not_a_library) << "not a library";
    EXPECT_EQ(nvml_load_from({not_a_library.wstring(), (FAKES / "nvml.dll").wstring()}), 0);
    EXPECT_EQ(log().back(), L"N| Error NVML") << "a file that does not load";
    EXPECT_EQ(Nvml.init, nullptr);

    shared_tables_init();
    EXPECT_EQ(nvml_load_from({(folder / "nowhere" / "nvml.dll").wstring(), folder.wstring()}), 0);
    EXPECT_EQ(log().back(), L"N| NVidia drivers not running") << "missing file and a folder";
}

TEST_F(NvmlFake, EnumeratesOneAndThreeGpusAndCutsEightToSeven) {
    const std::string long_name(90, 'N');
    configure(
        "gpus=1\nname0=GeForce  RTX   4070\nmemory_total0=12884901888\nmax_graphics0=2475\n"
        "part=" +
        std::string(70, 'P') + "\nuuid=GPU-" + std::string(85, 'u') + "\n");
    ASSERT_EQ(load(FAKES / "nvml.dll"), LIBRARY_NVML);
    nvidia_gpu_enumerate();
    EXPECT_EQ(SharedInts[NVIDIA_GPU_COUNT].load(), 1);
    const NvidiaGpu& first = NvidiaGpuTable[0];
    EXPECT_EQ(first.name, L"GeForce RTX 4070");
    EXPECT_EQ(first.bus_id, L"0000:01:00.0");
    EXPECT_EQ(first.brand_text, L"nv5");
    EXPECT_EQ(first.memory_total, 12884901888ULL);
    EXPECT_EQ(first.graphics_clock_max, 2475u);
    EXPECT_EQ(first.temp_limit, 88u);
    EXPECT_EQ(first.cuda_capability, L"8.9");
    EXPECT_EQ(first.part_number, std::wstring(70, L'P')) << "a part number longer than 64 bytes";
    EXPECT_EQ(first.uuid.view().size(), 80u) << "kept to 80 characters";
    EXPECT_EQ(first.query_status[NVS_ECC_MODE], 3) << "a failed query keeps its code";
    EXPECT_EQ(first.query_status[NVS_NAME], 0);
    EXPECT_TRUE(NvidiaGpuTable[1].name.empty());
    EXPECT_EQ(log().back(), L"N| NVidia Cards Added");

    nvml_unload();
    shared_tables_init();
    configure("gpus=9\nname1=-\nname2=" + long_name + "\n");
    ASSERT_EQ(load(FAKES / "nvml.dll"), LIBRARY_NVML);
    nvidia_gpu_enumerate();
    EXPECT_EQ(NvmlSystem.device_count, 9);
    EXPECT_EQ(SharedInts[NVIDIA_GPU_COUNT].load(), 7);
    EXPECT_TRUE(logged(L"N| NVidia GPU Adjusted: 7"));
    EXPECT_TRUE(logged(L"G6 Reading Adapter: 6"));
    EXPECT_FALSE(logged(L"G7 Reading Adapter: 7"));
    EXPECT_TRUE(NvidiaGpuTable[1].name.empty()) << "a name the library cannot give";
    EXPECT_EQ(NvidiaGpuTable[1].query_status[NVS_NAME], 3);
    EXPECT_EQ(NvidiaGpuTable[2].name, std::wstring(90, L'N')) << "names of newer drivers take 96 bytes";
    EXPECT_FALSE(NvidiaGpuTable[6].name.empty());
    EXPECT_TRUE(NvidiaGpuTable[7].name.empty());

    // Entries count only the named GPUs, and each knows its slot.
    SharedQuads[NVML_LIBRARY] = LIBRARY_NVML;
    SharedInts[GPU_SELECTED] = 6;
    ASSERT_EQ(gpu_entries_assign(), 6);
    EXPECT_EQ(GpuEntryIndex.vendor_index[1], 2) << "entry 1 is slot 2: slot 1 has no name";
    EXPECT_EQ(NvidiaGpuTable[2].label, L"G2");
    EXPECT_EQ(CompactCells[CELL_GPU_FIRST + 5].shown, CELL_SHOWN);
    EXPECT_EQ(CompactCells[CELL_GPU_FIRST + 6].shown, CELL_HIDDEN);
    EXPECT_EQ(SharedInts[GPU_SELECTED].load(), 0) << "a selection not below the entry count";
}

TEST_F(NvmlFake, MissingFunctionsAreNeverCalled) {
    configure("gpus=2\n");
    ASSERT_EQ(load(FAKES / "nvml_lean.dll"), LIBRARY_NVML);
    EXPECT_EQ(Nvml.vbios_version, nullptr);
    EXPECT_EQ(Nvml.brand, nullptr);
    nvidia_gpu_enumerate();
    ASSERT_EQ(SharedInts[NVIDIA_GPU_COUNT].load(), 2) << "the older count function";
    for (int slot : {0, 1}) {
        const NvidiaGpu& gpu = NvidiaGpuTable[static_cast<std::size_t>(slot)];
        EXPECT_EQ(gpu.name, L"Fake GeForce " + std::to_wstring(slot)) << "the older handle function";
        EXPECT_EQ(gpu.brand_text, L"---");
        EXPECT_EQ(gpu.query_status[NVS_VBIOS], NVML_FUNCTION_NOT_FOUND);
        EXPECT_TRUE(gpu.vbios.empty());
        EXPECT_EQ(gpu.bus_id, L"0000:0" + std::to_wstring(slot + 1) + L":00.0") << "the older PCI query";
        EXPECT_EQ(gpu.graphics_clock, 1000u) << "the older clock query";
    }
}

// Samples every shown entry: cells, histories and graphs follow the fake's values; a quit ends the thread
// and shuts the library down before it is freed.
TEST_F(NvmlFake, SamplerMovesCellsAndGraphsAndEndsOnQuit) {
    configure("gpus=2\ntemperature0=55\ntemperature1=61\npower_mw0=123500\n");
    ASSERT_EQ(load(FAKES / "nvml.dll"), LIBRARY_NVML);
    SharedQuads[NVML_LIBRARY] = LIBRARY_NVML;
    nvidia_gpu_enumerate();
    ASSERT_EQ(gpu_entries_assign(), 2);
    SharedInts[HISTORY_LENGTH] = 0;  // no room: each history keeps only its newest point
    graph_descriptors_clear();
    const int first = SharedInts[GPU_GRAPH_START].load();
    for (int slot : {0, 1})
        for (int j = 0; j < 6; ++j) graph_descriptor_create(first + 10 * slot + j, 50, 0, 0);

    const int64_t thread = thread_create(nvidia_sampler_thread, 0);
    ASSERT_NE(thread, 0);
    auto cell = [](int entry) {
        std::lock_guard guard(CellDrawMutex);
        return CompactCells[CELL_GPU_FIRST + entry].value_text.str();
    };
    auto history_size = [](int slot) {
        std::lock_guard guard(HistoryMutex);
        return NvidiaGpuTable[static_cast<std::size_t>(slot)].history.size();
    };
    EXPECT_TRUE(wait_until([&] { return cell(1).find(L"  61C ") != std::wstring::npos; }))
        << "cell: " << cell(1).size();
    EXPECT_TRUE(wait_until([&] { return graph_sample_count(first + 10 + 0) > 0 && history_size(1) == 1; }));
    EXPECT_EQ(NvidiaGpuTable[0].power_w, 124) << "123.5 W rounds up";
    EXPECT_EQ(NvidiaGpuTable[0].graphics_clock_pct, 50) << "1000 of 2000 MHz";

    configure("gpus=2\ntemperature0=72\ntemperature1=61\nutil_gpu0=90\n");
    EXPECT_TRUE(wait_until([&] { return cell(0).find(L"  72C ") != std::wstring::npos; }));
    const size_t samples = graph_sample_count(first + 0);
    EXPECT_TRUE(wait_until([&] { return graph_sample_count(first + 0) > samples; })) << "graphs keep moving";
    EXPECT_TRUE(wait_until([&] {
        std::lock_guard guard(HistoryMutex);
        const HistoryList& history = NvidiaGpuTable[0].history;
        return history.size() == 1 && history.back().temperature == 72;
    })) << "a history length of 0 keeps the newest point and does not loop";
    EXPECT_NE(list_row(LIST_GPU_ID, 0).find(L"G1\n90%"), std::wstring::npos) << "the selected entry's ID line";

    quit_flag_raise(1);
    EXPECT_TRUE(thread_wait(thread, 10000)) << "the sampler did not end after the quit";
    EXPECT_EQ(SharedQuads[NVML_LIBRARY].load(), 0);
    EXPECT_EQ(fake_events(), (std::vector<std::string>{"init", "shutdown", "unload"}));
    quit_flag_clear();
    graph_descriptors_clear();
}

#endif  // _WIN64

// The i386 build binds no library (it is published for 64-bit Windows only) and tells what is needed.
TEST_F(NvmlFake, WithoutTheLibraryTheRequirementsAreShown) {
    configure("gpus=1\n");
    if constexpr (!WIDE_BUILD) {
        EXPECT_EQ(load(FAKES / "nvml.dll"), 0) << "the i386 build must not bind the library";
        EXPECT_EQ(log().back(), L"N| NVidia drivers not running");
        EXPECT_TRUE(fake_events().empty()) << "the library was loaded";
    } else {
        EXPECT_EQ(nvml_load_from({}), 0);
    }
    SharedQuads[NVML_LIBRARY] = 0;
    EXPECT_EQ(gpu_entries_assign(), 0);
    const auto rows = list_rows_copy(LIST_GPU_INFO);
    auto has = [&](const std::wstring& row) { return std::find(rows.begin(), rows.end(), row) != rows.end(); };
    EXPECT_TRUE(has(L"Requirements:"));
    EXPECT_TRUE(has(L"- NVidia Drivers 285.62 or higher"));
    EXPECT_EQ(has(L"- Sotrix 64-bit edition"), !WIDE_BUILD);
    EXPECT_EQ(GpuEntryIndex.entry_count, 0);
}

}  // namespace
