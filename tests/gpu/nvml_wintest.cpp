// The NVIDIA side against our fake nvml.dll under Wine: binding, refusals, enumeration with each of its
// fallbacks, entries, the information view made of what was read, and the sampler's cells, histories and
// graphs, up to its end that shuts the library down before freeing it. The fake refuses every call outside
// nvmlInit .. nvmlShutdown and notes each refusal among its events, so every comparison of its events also
// shows that nothing was called before the start or after the shutdown.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
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
#include "gpu/gpu_info_view.h"
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
    static std::vector<std::string> lines_of(const std::string& path) {
        std::vector<std::string> lines;
        std::ifstream in(path);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    // What the fake noted of its start, shutdown, unload and refused calls, in order.
    std::vector<std::string> fake_events() const { return lines_of(config.string() + ".log"); }
    // The exports the fake served, each once, in the order of their first call.
    std::vector<std::string> fake_calls() const { return lines_of(config.string() + ".calls"); }
    bool fake_called(const std::string& function) const {
        const auto calls = fake_calls();
        return std::find(calls.begin(), calls.end(), function) != calls.end();
    }
    void fake_notes_clear() const {
        fs::remove(config.string() + ".log");
        fs::remove(config.string() + ".calls");
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

    // Binds the library, reads its GPUs, gives them entries and builds the information view: its rows, top first.
    static std::vector<std::wstring> enumerated_view(const fs::path& dll, bool all_rows = false) {
        if (load(dll) != LIBRARY_NVML) return {};
        SharedQuads[NVML_LIBRARY] = LIBRARY_NVML;
        nvidia_gpu_enumerate();
        gpu_entries_assign();
        SharedInts[GPU_VIEW_ALL_ROWS] = all_rows ? 1 : 0;
        gpu_info_view_build();
        return list_rows_copy(LIST_GPU_INFO);
    }
    // A fresh start for the next case of a table.
    void next_case(const std::string& lines) const {
        nvml_unload();
        shared_tables_init();
        list_rows_clear(LIST_GPU_INFO);
        fake_notes_clear();
        configure(lines);
    }
};

// The i386 build never binds the library, so these run in the 64-bit build only.
#ifdef _WIN64

// A row of the information view: the label in 20 characters, a space, then number, value and suffix.
std::wstring R(std::wstring_view label, std::wstring_view rest, std::wstring_view mark = L"") {
    std::wstring name(label);
    name.resize(20, L' ');
    return std::wstring(mark) + name + L" " + std::wstring(rest);
}

bool has_row(const std::vector<std::wstring>& rows, const std::wstring& row) {
    return std::find(rows.begin(), rows.end(), row) != rows.end();
}

std::string listing(const std::vector<std::wstring>& rows) {
    std::string text;
    for (const std::wstring& row : rows) text += "\n  " + std::string(row.begin(), row.end());
    return text;
}

// The functions the binding found: one slot of NvmlApi each, nullptr where the library lacks one.
constexpr std::size_t NVML_API_SLOTS = sizeof(NvmlApi) / sizeof(void*);
static_assert(NVML_API_SLOTS == 54, "the binding looks up 54 functions: the fake library must serve a new one too");

std::size_t functions_bound() {
    std::array<void*, NVML_API_SLOTS> slots{};
    std::memcpy(slots.data(), &Nvml, sizeof Nvml);
    return static_cast<std::size_t>(std::count_if(slots.begin(), slots.end(), [](void* f) { return f != nullptr; }));
}

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

// Each variant of the fake serves what its export list names and the binding finds exactly that: the full
// library every function the binding looks up, the old one only what the program calls without asking first
// (less the VBIOS query) and the older CUDA query, and one library no CUDA query at all. The CUDA version
// comes from the newer query where there is one, from the older one otherwise, and stays 0 without either.
TEST_F(NvmlFake, EachLibraryIsBoundWithWhatItHasAndTheCudaVersionShown) {
    struct Case {
        const char* dll;
        std::size_t bound;
        int32_t cuda_version;
        std::wstring cuda_row;
    };
    const Case cases[] = {
        {"nvml.dll", NVML_API_SLOTS, 12040, L"12.04"},
        {"nvml_lean.dll", 27, 11000, L"11."},
        {"nvml_nocuda.dll", NVML_API_SLOTS - 2, 0, L"."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dll);
        next_case("gpus=1\ncuda=11000\ncuda_v2=12040\n");
        const std::vector<std::wstring> rows = enumerated_view(FAKES / c.dll);
        ASSERT_EQ(SharedQuads[NVML_LIBRARY].load(), LIBRARY_NVML) << "a library without the CUDA queries is usable";
        EXPECT_EQ(functions_bound(), c.bound);
        EXPECT_EQ(NvmlSystem.cuda_version, c.cuda_version);
        EXPECT_TRUE(has_row(rows, R(L"NVidia Cuda", c.cuda_row))) << listing(rows);
        EXPECT_TRUE(has_row(rows, R(L"NVidia Devices", L"1"))) << listing(rows);
        nvml_unload();
        EXPECT_EQ(fake_events(), (std::vector<std::string>{"init", "shutdown", "unload"}))
            << "a call outside the start is noted as refused";
    }
}

// The facts that only the newer functions give, and the ECC facts of a GPU that has ECC memory, reach the
// record and the rows of the information view; a query that fails keeps its code, hides its row in the normal
// mode and marks it in the error mode, and a corrupted InfoROM is shown in both.
TEST_F(NvmlFake, IdentityPcieBoardPowerAndEnergyFactsReachTheView) {
    configure(
        "gpus=2\nboard_id=4660\npci_bus=10\npci_device_id=0x270410DE\npcie_gen=3\npcie_gen_max=4\n"
        "pcie_width=8\npcie_width_max=16\nreplay=5\npower_limit_mw=250000\npower_default_mw=220000\n"
        "power_min_mw=100000\npower_max_mw=300000\npower_enforced_mw=240000\nenergy_mj=123456789\n"
        "display_active=1\noperation_mode=1\ninforom_image=G001.0000.04.01\ninforom_checksum=439041101\n"
        "nvmlDeviceGetBoardId1=3\nnvmlDeviceGetCurrPcieLinkGeneration1=3\nnvmlDeviceGetTotalEnergyConsumption1=3\n"
        "nvmlDeviceGetInforomConfigurationChecksum1=14\nnvmlDeviceGetEccMode0=0\nnvmlDeviceGetTotalEccErrors0=0\n"
        "ecc_corrected=2\necc_uncorrected=3\n");
    const std::vector<std::wstring> rows = enumerated_view(FAKES / "nvml.dll");
    ASSERT_EQ(SharedInts[NVIDIA_GPU_COUNT].load(), 2);
    const NvidiaGpu& first = NvidiaGpuTable[0];
    EXPECT_EQ(first.board_id, 4660u);
    EXPECT_EQ(first.bus_id, L"0000:0A:00.0");
    EXPECT_EQ(first.pci_info.bus, 10u);
    EXPECT_EQ(first.pci_info.pci_device_id, 0x270410DEu);
    EXPECT_EQ(first.pcie_gen, 3u);
    EXPECT_EQ(first.pcie_gen_max, 4u);
    EXPECT_EQ(first.pcie_width, 8u);
    EXPECT_EQ(first.pcie_width_max, 16u);
    EXPECT_EQ(first.replay_counter, 5u);
    EXPECT_EQ(first.energy_mj, 123456789u);
    EXPECT_EQ(first.power_limit, 220000u) << "the default limit, not the current one";
    for (const NvmlStatusIndex index :
         {NVS_BOARD_ID, NVS_PCIE_GEN, NVS_PCIE_GEN_MAX, NVS_PCIE_WIDTH, NVS_PCIE_WIDTH_MAX, NVS_REPLAY, NVS_ENERGY,
          NVS_POWER_CONSTRAINTS, NVS_ENFORCED_LIMIT, NVS_DISPLAY_ACTIVE, NVS_OPERATION_MODE, NVS_INFOROM_IMAGE,
          NVS_INFOROM_CHECKSUM})
        EXPECT_EQ(first.query_status[index], 0) << "status byte " << index;
    const NvidiaGpu& second = NvidiaGpuTable[1];
    EXPECT_EQ(second.query_status[NVS_BOARD_ID], 3);
    EXPECT_EQ(second.query_status[NVS_PCIE_GEN], 3);
    EXPECT_EQ(second.query_status[NVS_ENERGY], 3);
    EXPECT_EQ(second.query_status[NVS_INFOROM_CHECKSUM], 14);

    const std::wstring device_id = std::to_wstring(static_cast<int32_t>(0x270410DEu));
    for (const std::wstring& row : {R(L"Board ID", L"4660"),
                                    R(L"PCI Bus ID", L"0000:0A:00.0"),
                                    R(L"PCI Device ID", device_id),
                                    R(L"PCIe Link Gen", L"3"),
                                    R(L"PCIe Link Gen Max", L"4"),
                                    R(L"PCIe Link Width", L"8"),
                                    R(L"PCIe Link Width Max", L"16"),
                                    R(L"PCIe Replay Counter", L"5"),
                                    R(L"Power Limit Default", L"220000mW (220W)"),
                                    R(L"Power Limit Min", L"100000mW (100W)"),
                                    R(L"Power Limit Max", L"300000mW (300W)"),
                                    R(L"Power Limit Enforced", L"240000mW (240W)"),
                                    R(L"Total Energy Used", L"123.46kJ"),
                                    R(L"Display Active", L"Yes"),
                                    R(L"Operation Mode", L"Yes"),
                                    R(L"InfoRom Image", L"G001.0000.04.01"),
                                    R(L"InfoRom Checksum", L"439041101"),
                                    R(L"ECC Mode", L"Yes"),
                                    R(L"ECC Errors", L"5"),
                                    R(L"InfoRom Checksum", L"*Corrupted*")})
        EXPECT_TRUE(has_row(rows, row)) << std::string(row.begin(), row.end()) << listing(rows);
    const auto count = [](const std::vector<std::wstring>& list, const std::wstring& start) {
        return std::count_if(list.begin(), list.end(), [&](const std::wstring& row) { return row.starts_with(start); });
    };
    EXPECT_EQ(count(rows, R(L"Board ID", L"")), 1) << "the second GPU's failed query is hidden";
    EXPECT_EQ(count(rows, R(L"Total Energy Used", L"")), 1);
    EXPECT_EQ(count(rows, R(L"PCIe Link Gen", L"")), 1);
    EXPECT_EQ(count(rows, R(L"ECC Mode", L"")), 1) << "a GPU without ECC memory";

    SharedInts[GPU_VIEW_ALL_ROWS] = 1;
    gpu_info_view_build();
    const std::vector<std::wstring> all = list_rows_copy(LIST_GPU_INFO);
    EXPECT_TRUE(has_row(all, R(L"Board ID", L"", L"1 "))) << listing(all);
    EXPECT_TRUE(has_row(all, R(L"Board ID", L"4660", L"- "))) << listing(all);
    EXPECT_TRUE(has_row(all, R(L"Total Energy Used", L"0.00kJ", L"1 "))) << listing(all);
}

// The highest clocks: as the library reports them; else the first entries of the supported memory clocks and
// of the graphics clocks that go with that memory clock; else guessed from the current clocks, which then
// replace every highest clock, also a memory clock that the supported list gave.
TEST_F(NvmlFake, HighestClocksReportedListedOrGuessed) {
    const std::string current = "graphics=1410\nsm=1395\nmemory=7001\nvideo=1200\n";
    struct Case {
        const char* name;
        const char* dll;
        std::string config;
        std::array<uint32_t, 4> highest;  // graphics, memory, SM, video
        bool guessed;
    };
    const Case cases[] = {
        {"reported",
         "nvml.dll",
         "max_graphics=2475\nmax_memory=10501\nmax_sm=2460\nmax_video=1965\n",
         {2475, 10501, 2460, 1965},
         false},
        {"from the supported lists",
         "nvml.dll",
         "max_graphics=0\nmax_memory=0\nmax_sm=2460\nmax_video=0\nmemory_clocks=10501,5001,810\n"
         "graphics_clocks=2610,2595,210\n",
         {2610, 10501, 2460, 0},
         false},
        {"memory list without a graphics list",
         "nvml.dll",
         "max_graphics=0\nmemory_clocks=10501,5001\nnvmlDeviceGetSupportedGraphicsClocks=3\n",
         {1410, 7001, 1395, 1200},
         true},
        {"no supported lists",
         "nvml.dll",
         "max_graphics=0\nnvmlDeviceGetSupportedMemoryClocks=3\n",
         {1410, 7001, 1395, 1200},
         true},
        {"a library without the lists", "nvml_lean.dll", "max_graphics=0\n", {1410, 7001, 1395, 1200}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        next_case("gpus=1\n" + current + c.config);
        const std::vector<std::wstring> rows = enumerated_view(FAKES / c.dll);
        const NvidiaGpu& gpu = NvidiaGpuTable[0];
        EXPECT_EQ((std::array<uint32_t, 4>{gpu.graphics_clock_max, gpu.memory_clock_max, gpu.sm_clock_max,
                                           gpu.video_clock_max}),
                  c.highest);
        EXPECT_EQ(gpu.max_clocks_guessed, c.guessed ? 1 : 0);
        const std::wstring unit = c.guessed ? L"MHz (?)" : L"MHz";
        EXPECT_TRUE(has_row(rows, R(L"GPU Clock Max", std::to_wstring(c.highest[0]) + unit))) << listing(rows);
        EXPECT_TRUE(has_row(rows, R(L"Memory Clock Max", std::to_wstring(c.highest[1]) + unit))) << listing(rows);
    }
}

// The power limit shown as the default: the default limit where the library gives it, else the current limit.
TEST_F(NvmlFake, PowerLimitIsTheDefaultOrElseTheCurrentLimit) {
    struct Case {
        const char* name;
        const char* dll;
        std::string config;
        uint32_t limit;
    };
    const Case cases[] = {
        {"default given", "nvml.dll", "", 220000},
        {"default query fails", "nvml.dll", "nvmlDeviceGetPowerManagementDefaultLimit=3\n", 250000},
        {"no default query", "nvml_lean.dll", "", 250000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        next_case("gpus=1\npower_limit_mw=250000\npower_default_mw=220000\n" + c.config);
        const std::vector<std::wstring> rows = enumerated_view(FAKES / c.dll);
        EXPECT_EQ(NvidiaGpuTable[0].power_limit, c.limit);
        const std::wstring watts = std::to_wstring(c.limit / 1000);
        EXPECT_TRUE(has_row(rows, R(L"Power Limit Default", std::to_wstring(c.limit) + L"mW (" + watts + L"W)")))
            << listing(rows);
    }
}

// The PCI record comes from the newer query where the library has it, from the older one otherwise; the program
// reads the same bus id and device id from either.
TEST_F(NvmlFake, PciRecordFromTheNewerQueryOrElseTheOlderOne) {
    const struct {
        const char* dll;
        const char* used;
        const char* unused;
    } cases[] = {
        {"nvml.dll", "nvmlDeviceGetPciInfo_v3", "nvmlDeviceGetPciInfo"},
        {"nvml_lean.dll", "nvmlDeviceGetPciInfo", "nvmlDeviceGetPciInfo_v3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dll);
        next_case("gpus=1\npci_bus=38\npci_device=1\npci_device_id=0x278610DE\n");
        const std::vector<std::wstring> rows = enumerated_view(FAKES / c.dll);
        EXPECT_TRUE(fake_called(c.used));
        EXPECT_FALSE(fake_called(c.unused));
        EXPECT_EQ(NvidiaGpuTable[0].bus_id, L"0000:26:01.0");
        EXPECT_TRUE(has_row(rows, R(L"PCI Bus ID", L"0000:26:01.0"))) << listing(rows);
        EXPECT_TRUE(has_row(rows, R(L"PCI Device ID", std::to_wstring(0x278610DE)))) << listing(rows);
    }
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
        {"start fails", "nvml.dll", "nvmlInit=9\n", L"N| Error NVML", {"unload"}},
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
    configure("gpus=9\nnvmlDeviceGetName1=3\nname2=" + long_name + "\n");
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
        EXPECT_EQ(gpu.temp_limit, 0u) << "no threshold query";
        EXPECT_EQ(gpu.query_status[NVS_TEMP_LIMIT], 0);
    }
    nvml_unload();
    EXPECT_EQ(fake_events(), (std::vector<std::string>{"init", "shutdown", "unload"}));
}

// Samples every shown entry: cells, histories and graphs follow the fake's values; a quit ends the thread
// and shuts the library down before it is freed. From the binding to the sampler's end nothing is called
// before the start or after the shutdown.
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
        for (int j = 0; j < GPU_GRAPHS_PER_SLOT; ++j)
            graph_descriptor_create(first + GPU_SLOT_STEP * slot + j, 50, 0, 0);

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
    EXPECT_TRUE(fake_called("nvmlDeviceGetUtilizationRates"));
    EXPECT_EQ(fake_events(), (std::vector<std::string>{"init", "shutdown", "unload"}))
        << "a call outside the start is noted as refused";
    quit_flag_clear();
    graph_descriptors_clear();
}

// With guessed highest clocks the clock graph reads 100 while the current clock is the highest seen so far and
// less once it falls below that; a GPU that gives no power reading gets no power sample.
TEST_F(NvmlFake, GuessedClocksFollowTheHighestClockSeen) {
    const std::string guessed = "gpus=1\nmax_graphics=0\nnvmlDeviceGetSupportedMemoryClocks=3\npower_mw=0\n";
    configure(guessed + "graphics=1000\n");
    ASSERT_EQ(load(FAKES / "nvml.dll"), LIBRARY_NVML);
    SharedQuads[NVML_LIBRARY] = LIBRARY_NVML;
    nvidia_gpu_enumerate();
    ASSERT_EQ(gpu_entries_assign(), 1);
    const NvidiaGpu& gpu = NvidiaGpuTable[0];
    ASSERT_EQ(gpu.max_clocks_guessed, 1);
    graph_descriptors_clear();
    const int first = SharedInts[GPU_GRAPH_START].load();
    for (int j = 0; j < GPU_GRAPHS_PER_SLOT; ++j) graph_descriptor_create(first + j, 50, 0, 0);
    const int clock_graph = first + GRAPH_GPU_CLOCK;
    auto newest = [](int graph) {
        GraphSnapshot snapshot;
        return graph_snapshot(graph, 1, snapshot) && !snapshot.samples.empty() ? snapshot.samples.back().value : -1.0f;
    };
    // The newest clock percentage once a sample taken after the highest clock reached `highest`.
    auto percent_after = [&](uint32_t highest) {
        if (!wait_until([&] { return gpu.graphics_clock_max == highest; })) return -2.0f;
        const size_t samples = graph_sample_count(clock_graph);
        if (!wait_until([&] { return graph_sample_count(clock_graph) > samples; })) return -3.0f;
        return newest(clock_graph);
    };

    const int64_t thread = thread_create(nvidia_sampler_thread, 0);
    ASSERT_NE(thread, 0);
    EXPECT_EQ(percent_after(1000), 100.0f);
    configure(guessed + "graphics=1500\n");
    EXPECT_EQ(percent_after(1500), 100.0f) << "a higher clock raises the highest";
    configure(guessed + "graphics=750\n");
    EXPECT_TRUE(wait_until([&] { return newest(clock_graph) == 50.0f; })) << "750 of 1500 MHz: " << newest(clock_graph);
    EXPECT_EQ(gpu.graphics_clock_max, 1500u) << "a lower clock keeps the highest";
    EXPECT_GT(graph_sample_count(first + 0), 0u);
    EXPECT_EQ(graph_sample_count(first + 5), 0u) << "no power reading, no power sample";

    quit_flag_raise(1);
    EXPECT_TRUE(thread_wait(thread, 10000)) << "the sampler did not end after the quit";
    quit_flag_clear();
    graph_descriptors_clear();
    EXPECT_EQ(fake_events(), (std::vector<std::string>{"init", "shutdown", "unload"}));
    gpu_info_view_build();
    const std::vector<std::wstring> rows = list_rows_copy(LIST_GPU_INFO);
    EXPECT_TRUE(has_row(rows, R(L"GPU Clock Max", L"1500MHz (?)"))) << listing(rows);
}

#endif  // _WIN64

// The fake refuses, as the library does, every call outside a start: before nvmlInit and after the shutdown
// that matches the last start (starts are counted), and notes each refusal; so a call the program makes at the
// wrong time shows among its events.
TEST_F(NvmlFake, TheFakeRefusesCallsOutsideAStart) {
    configure("gpus=1\n");
    const HMODULE library = LoadLibraryW((FAKES / "nvml.dll").wstring().c_str());
    ASSERT_NE(library, nullptr);
    const auto start = reinterpret_cast<int (*)()>(reinterpret_cast<void*>(GetProcAddress(library, "nvmlInit")));
    const auto stop = reinterpret_cast<int (*)()>(reinterpret_cast<void*>(GetProcAddress(library, "nvmlShutdown")));
    const auto count =
        reinterpret_cast<int (*)(unsigned*)>(reinterpret_cast<void*>(GetProcAddress(library, "nvmlDeviceGetCount")));
    ASSERT_TRUE(start && stop && count);
    unsigned gpus = 99;
    EXPECT_EQ(count(&gpus), 1);
    EXPECT_EQ(gpus, 99u) << "a refused call writes nothing";
    EXPECT_EQ(stop(), 1);
    EXPECT_EQ(start(), 0);
    EXPECT_EQ(start(), 0);
    EXPECT_EQ(count(&gpus), 0);
    EXPECT_EQ(gpus, 1u);
    EXPECT_EQ(stop(), 0);
    EXPECT_EQ(count(&gpus), 0) << "one start is still open";
    EXPECT_EQ(stop(), 0);
    EXPECT_EQ(count(&gpus), 1);
    FreeLibrary(library);
    EXPECT_EQ(fake_events(),
              (std::vector<std::string>{"refused nvmlDeviceGetCount", "refused nvmlShutdown", "init", "init",
                                        "shutdown", "shutdown", "refused nvmlDeviceGetCount", "unload"}));
}

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
