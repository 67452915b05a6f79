// The AMD side against our fake display library under Wine, found where the program looks for it (the system
// folder): binding, refusals, enumeration of one and two GPUs, a clean state after each early failure, and every
// function the program uses against the library built cdecl and built stdcall.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "gpu/amd_gpu.h"
#include "gpu/amd_sample.h"
#include "gpu/amd_sampler.h"
#include "gpu/gpu_info_view.h"
#include "runtime/program_libraries.h"

namespace fs = std::filesystem;

namespace {

const fs::path FAKES = SOTRIX_FAKES_DIR;
constexpr bool WIDE_BUILD = sizeof(void*) == 8;

fs::path system_folder() {
    wchar_t path[MAX_PATH] = {};
    const UINT n = GetSystemDirectoryW(path, MAX_PATH);
    return fs::path(std::wstring(path, n));
}

class AdlFake : public ::testing::Test {
protected:
    fs::path folder;
    fs::path config;
    std::vector<fs::path> placed;  // fake files this test put into the system folder

    void SetUp() override {
        shared_state_init(SharedStateFacts{});
        shared_tables_init();
        {
            std::lock_guard guard(GpuInfoMutex);
            AmdReportLines.clear();
        }
        folder = fs::temp_directory_path() / ("sotrix_adl_" + std::to_string(GetCurrentProcessId()) + "_" +
                                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        config = folder / "fake.cfg";
        SetEnvironmentVariableW(L"SOTRIX_FAKE_ADL", config.wstring().c_str());
        ASSERT_TRUE(fs::exists(FAKES / "atiadlxx.dll")) << "the fake library was not built: " << FAKES;
        for (const char* name : {"atiadlxx.dll", "atiadlxy.dll"})
            ASSERT_FALSE(fs::exists(system_folder() / name)) << "a display library is installed: " << name;
    }
    void TearDown() override {
        adl_unload();
        SetEnvironmentVariableW(L"SOTRIX_FAKE_ADL", nullptr);
        std::error_code ignored;
        for (const fs::path& file : placed) fs::remove(file, ignored);
        fs::remove_all(folder, ignored);
    }

    // The fake (built as `fake`) under `name` in the system folder.
    void place(const char* name, const char* fake = "atiadlxx.dll") {
        const fs::path target = system_folder() / name;
        fs::copy_file(FAKES / fake, target, fs::copy_options::overwrite_existing);
        placed.push_back(target);
    }
    // The file name the build looks for: a 32-bit process finds only the 32-bit library.
    void place_native(const char* fake = "atiadlxx.dll") { place(WIDE_BUILD ? "atiadlxx.dll" : "atiadlxy.dll", fake); }

    void configure(const std::string& lines) const {
        std::ofstream out(config, std::ios::binary | std::ios::trunc);
        out << lines;
    }
    std::vector<std::string> fake_events() const {
        std::vector<std::string> events;
        std::ifstream in(config.string() + ".log");
        for (std::string line; std::getline(in, line);) events.push_back(line);
        return events;
    }
    static bool logged(const std::wstring& line) {
        std::lock_guard guard(GpuInfoMutex);
        return std::find(AmdReportLines.begin(), AmdReportLines.end(), L"A| " + line) != AmdReportLines.end();
    }
    static int64_t bind() {
        const int64_t result = adl_load();
        SharedQuads[ADL_LIBRARY] = result;
        return result;
    }
    void expect_unbound(const char* name) const {
        EXPECT_EQ(SharedQuads[ADL_LIBRARY].load(), 0) << name;
        EXPECT_FALSE(library_loaded(LIBRARY_ADL)) << name;
        EXPECT_FALSE(adl_has(&AdlApi::adapter_count_get)) << name;
        EXPECT_EQ(SharedInts[AMD_GPU_COUNT].load(), 0) << name;
        EXPECT_EQ(AmdGpuTable.count, 0) << name;
    }
};

TEST_F(AdlFake, BindsTheSystemFolderLibraryAndReadsTheDriver) {
    configure("gpus=1\n");
    place_native();
    ASSERT_EQ(bind(), LIBRARY_ADL);
    EXPECT_TRUE(logged(L"Start AMD GPU Detection"));
    EXPECT_TRUE(logged(WIDE_BUILD ? L"Found AMD x64 Drivers" : L"Found AMD x86 Drivers"));
    EXPECT_TRUE(logged(L"AMD Library Opened"));
    EXPECT_TRUE(logged(L"AMD\\CrimsonVersion = 22.3.1"));  // the version call's warning still fills the texts
    EXPECT_TRUE(logged(L"Driver Info: v31"));
    EXPECT_EQ(AdlFacts.driver_date, L"2022/03/15");
    EXPECT_EQ(SharedInts[ADL_CREATE_RESULT].load(), 0);
    EXPECT_EQ(AdlFacts.sensor_scan_bound, 73);

    adl_unload();
    EXPECT_EQ(fake_events(), (std::vector<std::string>{"create", "destroy", "unload"}));
    EXPECT_FALSE(library_loaded(LIBRARY_ADL));
}

TEST_F(AdlFake, TheWideBuildFallsBackToThe32BitFileName) {
    if (!WIDE_BUILD) {
        EXPECT_EQ(bind(), 0);  // nothing placed: nothing found
        EXPECT_TRUE(logged(L"AMD drivers not running"));
        return;
    }
    configure("gpus=1\n");
    place("atiadlxy.dll");
    ASSERT_EQ(bind(), LIBRARY_ADL);
    EXPECT_TRUE(logged(L"Found AMD x86 Drivers"));
}

TEST_F(AdlFake, RefusalsFreeTheLibrary) {
    struct Case {
        const char* name;
        std::string config;
        const wchar_t* line;
        std::vector<std::string> events;
    };
    const Case cases[] = {
        {"driver too old", "driver=21.40.1-210915a\n", L"Driver Incompatible: v21", {"create", "destroy", "unload"}},
        {"no version texts",
         "fail=ADL2_Graphics_VersionsX2_Get\n",
         L"Driver Incompatible: v0",
         {"create", "destroy", "unload"}},
        {"context refused", "create_result=-1\n", L"ADL2 missing", {"unload"}},
    };
    for (const Case& c : cases) {
        std::error_code ignored;
        fs::remove(config.string() + ".log", ignored);
        configure("gpus=1\n" + c.config);
        if (placed.empty()) place_native();
        EXPECT_EQ(bind(), 0) << c.name;
        EXPECT_TRUE(logged(c.line)) << c.name;
        EXPECT_EQ(fake_events(), c.events) << c.name;
        EXPECT_FALSE(library_loaded(LIBRARY_ADL)) << c.name;
        EXPECT_EQ(SharedQuads[ADL_LIBRARY].load(), 0) << c.name;
    }
}

TEST_F(AdlFake, EnumeratesOneAndTwoGpus) {
    configure("gpus=1\n");
    place_native();
    ASSERT_EQ(bind(), LIBRARY_ADL);
    amd_gpu_enumerate();
    ASSERT_EQ(AmdGpuTable.count, 1);
    EXPECT_EQ(AmdGpuTable.records[0].sensor_label, L"od8");
    EXPECT_EQ(AmdGpuTable.records[0].temperature, 55);
    EXPECT_EQ(AmdGpuTable.records[0].memory_type, L"GDDR6");
    EXPECT_EQ(AmdGpuTable.records[0].bios_date, L"2021/03/10 03:14");
    adl_unload();

    // Three outputs of the first GPU, another vendor's adapter, and an Overdrive 6 GPU.
    configure(
        "gpus=3\noutputs0=3\nudid1=PCI_VEN_8086&DEV_3E92\nname1=Other\nname2=AMD Radeon R9 390\nod2=6\n"
        "power2=200\n");
    ASSERT_EQ(bind(), LIBRARY_ADL);
    amd_gpu_enumerate();
    ASSERT_EQ(AmdGpuTable.count, 2);
    EXPECT_EQ(SharedInts[AMD_GPU_COUNT].load(), 2);
    EXPECT_EQ(AmdGpuTable.records[0].adapter_index, 0);
    EXPECT_EQ(AmdGpuTable.records[0].displays, 3);
    EXPECT_EQ(AmdGpuTable.records[1].adapter_index, 4);
    EXPECT_EQ(AmdGpuTable.records[1].adapter_name, L"AMD Radeon R9 390");
    EXPECT_EQ(AmdGpuTable.records[1].sensor_label, L"od6");
    EXPECT_EQ(AmdGpuTable.records[1].power_now, 200);
    EXPECT_TRUE(logged(L"AMD Adapters Found: 2"));
    EXPECT_EQ(SharedQuads[ADL_LIBRARY].load(), LIBRARY_ADL);
}

TEST_F(AdlFake, EachEarlyEnumerationFailureLeavesNoGpuAndFreesTheLibrary) {
    const char* failures[] = {"ADL2_Adapter_NumberOfAdapters_Get", "ADL2_Adapter_AdapterInfo_Get"};
    place_native();
    for (const char* failing : failures) {
        std::error_code ignored;
        fs::remove(config.string() + ".log", ignored);
        configure("gpus=2\n");
        ASSERT_EQ(bind(), LIBRARY_ADL) << failing;
        configure(std::string("gpus=2\nfail=") + failing + "\n");
        amd_gpu_enumerate();
        expect_unbound(failing);
        EXPECT_EQ(fake_events(), (std::vector<std::string>{"create", "destroy", "unload"})) << failing;
    }
    // Only another vendor's adapter: no GPU, the library given up.
    fs::remove(config.string() + ".log");
    configure("gpus=1\nudid=PCI_VEN_10DE&DEV_2684\n");
    ASSERT_EQ(bind(), LIBRARY_ADL);
    amd_gpu_enumerate();
    expect_unbound("other vendor only");
    EXPECT_TRUE(logged(L"AMD Adapters Found: 0"));
}

// Every one of the program's library functions, called by the binding, the enumeration, a sample of each GPU,
// the information view and the sampler's release, against the fake built cdecl and built stdcall. On i386 a
// stdcall function removes its own arguments, so a call made any other way than through adl_invoke leaves the
// caller's stack off by their size. Each GPU's own temperature coming back shows the adapter index arrived.
TEST_F(AdlFake, EveryFunctionAnswersWhetherTheLibraryIsCdeclOrStdcall) {
    const std::vector<std::wstring> labels{L"od8", L"od7", L"od6", L"od5", L"od1"};
    for (const char* fake : {"atiadlxx.dll", "atiadlxx_stdcall.dll"}) {
        SCOPED_TRACE(fake);
        std::error_code ignored;
        fs::remove(config.string() + ".log", ignored);
        configure(
            "trace=1\ngpus=5\nod0=8\nod1=7\nod2=6\nod3=5\nod4=1\ntemperature0=51000\ntemperature1=52000\n"
            "temperature2=53000\ntemperature3=54000\ntemperature4=56000\n");
        ASSERT_TRUE(fs::exists(FAKES / fake)) << "not built";
        place_native(fake);
        ASSERT_EQ(bind(), LIBRARY_ADL);
        amd_gpu_enumerate();
        ASSERT_EQ(AmdGpuTable.count, 5);
        for (int g = 0; g < 5; ++g) {
            AmdGpu& gpu = AmdGpuTable.records[static_cast<std::size_t>(g)];
            EXPECT_EQ(gpu.sensor_label, labels[static_cast<std::size_t>(g)]) << g;
            gpu.temperature = -1;
            amd_gpu_sample(gpu, g);
            amd_vram_refresh(gpu);
            EXPECT_EQ(gpu.temperature, g == 4 ? 56 : 51 + g) << g;
            EXPECT_EQ(gpu.vram_used_mb, 1024) << g;
        }
        gpu_info_view_build();
        quit_flag_raise(1);
        amd_sampler_thread(0);  // with the quit raised: straight to the release
        quit_flag_clear();
        EXPECT_FALSE(library_loaded(LIBRARY_ADL));

        std::set<std::string> called;
        std::vector<std::string> releases;
        for (const std::string& event : fake_events()) {
            if (event.rfind("call ", 0) == 0) {
                called.insert(event.substr(5));
            } else if (event != "create") {
                releases.push_back(event);
            }
        }
        EXPECT_EQ(called.size(), static_cast<std::size_t>(ADL_FUNCTION_COUNT));
        EXPECT_EQ(releases, (std::vector<std::string>{"pmlog-stop", "device-destroy", "destroy", "unload"}));
    }
}

}  // namespace
