// The blocks of the GPU information list, row by row, and the small texts their rows are made of.
#include "gpu/gpu_info_blocks.h"

#include <gtest/gtest.h>

#include <mutex>

#include "core/control_numbers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "gpu/amd_gpu.h"
#include "gpu/nvidia_gpu.h"
#include "runtime/list_model.h"

namespace {

// A name-and-value row as the list shows it: the label in 20 characters, a space, the rest.
std::string narrow_of(std::wstring_view text) { return std::string(text.begin(), text.end()); }

std::wstring R(std::wstring_view label, std::wstring_view rest, std::wstring_view mark = L"") {
    std::wstring name(label);
    name.resize(20, L' ');
    return std::wstring(mark) + name + L" " + std::wstring(rest);
}

const std::wstring DATE = L" 2026-03-04 05:06:07";

struct CapabilityCalls {
    int led = 0, speed = 0, gaming = 0, headless = 0, hbc = 0;
    AdlResult result = ADL_OK;
} Calls;

AdlResult ADL_API fake_led(AdlContext, int32_t adapter, int32_t* supported, int32_t* enabled, int32_t* version) {
    ++Calls.led;
    *supported = 1;
    *enabled = adapter == 5 ? 1 : 0;
    *version = 3;
    return Calls.result;
}
AdlResult ADL_API fake_speed(AdlContext, int32_t, int32_t* caps, int32_t* valid) {
    ++Calls.speed;
    *caps = 1;
    *valid = 1;
    return Calls.result;
}
AdlResult ADL_API fake_gaming(AdlContext, int32_t, int32_t* workgroup, int32_t* gaming) {
    ++Calls.gaming;
    *workgroup = 1;
    *gaming = 1;
    return Calls.result;
}
AdlResult ADL_API fake_headless(AdlContext, int32_t, int32_t* headless) {
    ++Calls.headless;
    *headless = 1;
    return Calls.result;
}

AmdGpu& filled_amd(int index) {
    AmdGpuTable.count = index + 1;
    SharedInts[AMD_GPU_COUNT] = index + 1;
    AmdGpu& gpu = AmdGpuTable.records[static_cast<std::size_t>(index)];
    gpu.label = L"G3";
    gpu.adapter_index = 5;
    gpu.adapter_name = L"AMD Radeon Fake";
    gpu.pnp_string = L"PCI\\VEN_1002&DEV_73BF\\4&1";
    gpu.bios_part_number = L"113-D4120100-100";
    gpu.board_id = 0x73BF;
    gpu.pci_bus = 3;
    gpu.pci_device = 0;
    gpu.pci_function = 0;
    gpu.od_version = 8;
    gpu.active = 1;
    gpu.displays = 4;
    gpu.controllers = 6;
    gpu.bus_lanes = 16;
    gpu.bus_lanes_max = 16;
    gpu.total_memory = 17163091968LL;
    gpu.visible_memory = 268435456LL;
    gpu.memory_bandwidth = 512000;
    gpu.memory_type = L"GDDR6";
    gpu.observed_core_clock = 500;
    gpu.core_clock_max = 2500;
    gpu.memory_clock = 1000;
    gpu.temp_max = 110;
    gpu.hotspot_max = 110;
    gpu.fan_speed_max = 3300;
    gpu.power_max = 300;
    gpu.voltage_max = 1200;
    gpu.bios_version = L"020.001";
    gpu.bios_date = L"2022/03/15";
    gpu.aspects = L"a;b;c;d;e";
    gpu.has_values = {1, 1, 0, 1, 1, 1};
    gpu.marks[MARK_OD8_PMLOG] = 8;
    gpu.marks[MARK_LIMITS] = 1;
    return gpu;
}

class GpuInfoBlocks : public ::testing::Test {
protected:
    void SetUp() override {
        shared_state_init(SharedStateFacts{});
        shared_tables_init();
        text_maps_load(LANGUAGE_ENGLISH);
        list_rows_clear(LIST_GPU_INFO);
        reset();
    }
    void TearDown() override {
        list_rows_clear(LIST_GPU_INFO);
        reset();
    }
    static void reset() {
        for (NvidiaGpu& gpu : NvidiaGpuTable) gpu = NvidiaGpu{};
        AmdGpuTable.release();
        AmdLegacyTable.release();
        AdlFacts = AdlState{};
        std::lock_guard<LeafLock> hold(AdlLock);
        Adl = AdlApi{};
    }
    static std::vector<std::wstring> amd_rows(int index, bool all_rows) {
        list_rows_clear(LIST_GPU_INFO);
        SharedInts[GPU_VIEW_ALL_ROWS] = all_rows ? 1 : 0;
        std::lock_guard guard(GpuInfoMutex);
        gpu_info_amd_block(index, DATE);
        return list_rows_copy(LIST_GPU_INFO);
    }
    static std::vector<std::wstring> legacy_rows(int card, bool all_rows) {
        list_rows_clear(LIST_GPU_INFO);
        SharedInts[GPU_VIEW_ALL_ROWS] = all_rows ? 1 : 0;
        std::lock_guard guard(GpuInfoMutex);
        gpu_info_legacy_block(card, DATE);
        return list_rows_copy(LIST_GPU_INFO);
    }
    // The library bound with four of the five capability functions (the cache query is missing).
    static void library_bind() {
        Calls = CapabilityCalls{};
        SharedQuads[ADL_LIBRARY] = 122;
        std::lock_guard<LeafLock> hold(AdlLock);
        AdlFacts.context = &Calls;
        Adl.adapter_led_support_cap = fake_led;
        Adl.adapter_speed_caps = fake_speed;
        Adl.adapter_gaming_driver_info_get = fake_gaming;
        Adl.adapter_headless_get = fake_headless;
    }
    static std::vector<std::wstring> nvidia_rows(int slot, bool all_rows) {
        list_rows_clear(LIST_GPU_INFO);
        SharedInts[GPU_VIEW_ALL_ROWS] = all_rows ? 1 : 0;
        std::lock_guard guard(GpuInfoMutex);
        gpu_info_nvidia_block(slot, DATE);
        return list_rows_copy(LIST_GPU_INFO);
    }
};

NvidiaGpu& filled_nvidia(int slot) {
    NvidiaGpu& gpu = NvidiaGpuTable[static_cast<std::size_t>(slot)];
    gpu.label = L"G2";
    gpu.name = L"Fake GPU 4070";
    gpu.uuid = L"GPU-1234";
    gpu.serial = L"SN42";
    gpu.brand = 5;
    gpu.part_number = L"900-1G";
    gpu.board_id = 0x80000001u;  // shown unsigned
    gpu.handle = reinterpret_cast<NvmlDevice>(uintptr_t{0x1000});
    gpu.bus_id = L"0000:01:00.0";
    gpu.pci_info.pci_device_id = 0x278210DEu;
    gpu.pcie_gen = 4;
    gpu.pcie_gen_max = 0xFFFFFFFEu;  // a 32-bit value of 2^31 or more shows negative
    gpu.pcie_width = 16;
    gpu.pcie_width_max = 16;
    gpu.replay_counter = 0;
    gpu.memory_total = 8589934592ULL;
    gpu.graphics_clock_max = 2800;
    gpu.memory_clock_max = 10501;
    gpu.sm_clock_max = 2800;
    gpu.video_clock_max = 2100;
    gpu.temp_slowdown = 95;
    gpu.temp_shutdown = 100;
    gpu.temp_memory_max = 0;
    gpu.temp_limit = 90;
    gpu.power_limit = 250000;
    gpu.power_limit_min = 100000;
    gpu.power_limit_max = 300000;
    gpu.power_limit_enforced = 250500;
    gpu.energy_mj = 123456789;
    gpu.compute_mode = 0;
    gpu.display_active = 1;
    gpu.display_mode = 1;
    gpu.persistence_mode = 0;
    gpu.operation_mode = 0;
    gpu.ecc_mode = 0;
    gpu.ecc_corrected = 2;
    gpu.ecc_uncorrected = 1;
    gpu.inforom_checksum = 77;
    gpu.inforom_image = L"G001.0000.03.03";
    gpu.inforom_power = L"";
    gpu.inforom_ecc = L"";
    gpu.inforom_oem = L"2.0";
    gpu.cuda_capability = L"8.9";
    gpu.vbios = L"95.04.1F";
    gpu.driver_model = 0;
    return gpu;
}

TEST(GpuInfoTexts, NumbersAndTextsOfTheRows) {
    struct Case {
        const char* name;
        std::wstring got;
        std::wstring expected;
    };
    const Case cases[] = {
        {"cuda 12040", gpu_cuda_view_text(12040), L"12.04"},
        {"cuda 11000 keeps its point", gpu_cuda_view_text(11000), L"11."},
        {"cuda 500 has no leading zero", gpu_cuda_view_text(500), L".5"},
        {"cuda 12000", gpu_cuda_view_text(12000), L"12."},
        {"cuda 10000 keeps the zero of its whole part", gpu_cuda_view_text(10000), L"10."},
        {"cuda 9020", gpu_cuda_view_text(9020), L"9.02"},
        {"cuda 12345", gpu_cuda_view_text(12345), L"12.345"},
        {"GiB of 8 GiB", gpu_gib_suffix(8589934592LL), L"M (8.00G)"},
        {"GiB of 1.5 GiB", gpu_gib_suffix(1610612736LL), L"M (1.50G)"},
        {"GiB of 0", gpu_gib_suffix(0), L"M (0.00G)"},
        {"watts truncated", gpu_watts_suffix(250999), L"mW (250W)"},
        {"watts below one", gpu_watts_suffix(999), L"mW (0W)"},
        {"hex8 padded", gpu_hex8(0x1A2B), L" (00001A2B)"},
        {"hex8 full", gpu_hex8(0xFFFFFFFFLL), L" (FFFFFFFF)"},
        {"hex8 upper case", gpu_hex8(0xabcdef12LL), L" (ABCDEF12)"},
        {"pnp second field", gpu_pnp_text(L"PCI\\VEN_1002&DEV_73BF&SUBSYS_0E3A1002\\4&1A2B&0&0019"),
         L"VEN_1002 DEV_73BF SUBSYS_0E3A1002"},
        {"pnp of two fields", gpu_pnp_text(L"PCI\\VEN_1002&DEV_1"), L"VEN_1002 DEV_1"},
        {"pnp without a backslash", gpu_pnp_text(L"VEN_1002&DEV_1"), L""},
        {"index3 pads", gpu_index3(7), L"007"},
        {"index3 of 0", gpu_index3(0), L"000"},
        {"index3 keeps longer numbers", gpu_index3(1234), L"1234"},
        {"date", gpu_block_date_text(0), L" 1970-01-01 00:00:00"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.got, c.expected) << c.name;
    EXPECT_EQ(gpu_mib(8589934592LL), 8192);
    EXPECT_EQ(gpu_mib(1048575), 0) << "whole MiB, truncated";
}

TEST_F(GpuInfoBlocks, NvidiaBlockShowsEveryReadValueInItsRow) {
    filled_nvidia(1);
    const std::vector<std::wstring> expected = {
        L"",
        L"-- G2:001" + DATE,
        L"Fake GPU 4070",
        L"GPU-1234",
        R(L"Serial Number", L"SN42"),
        R(L"Brand", L"5 (GeForce)"),
        R(L"Board Part Number", L"900-1G"),
        R(L"Board ID", L"2147483649"),
        R(L"Device ID", L"4096"),
        R(L"PCI Bus ID", L"0000:01:00.0"),
        R(L"PCI Device ID", L"662835422"),
        R(L"PCIe Link Gen", L"4"),
        R(L"PCIe Link Gen Max", L"-2"),
        R(L"PCIe Link Width", L"16"),
        R(L"PCIe Link Width Max", L"16"),
        R(L"Total Memory", L"8192M (8.00G)"),
        R(L"GPU Clock Max", L"2800MHz"),
        R(L"Memory Clock Max", L"10501MHz"),
        R(L"SM Clock Max", L"2800MHz"),
        R(L"Video Clock Max", L"2100MHz"),
        R(L"Temperature Max", L"95C (Slowdown)"),
        R(L"Temperature Max", L"100C (Shutdown)"),
        R(L"Temperature Max", L"90C (GPU)"),
        R(L"Power Limit Default", L"250000mW (250W)"),
        R(L"Power Limit Min", L"100000mW (100W)"),
        R(L"Power Limit Max", L"300000mW (300W)"),
        R(L"Power Limit Enforced", L"250500mW (250W)"),
        R(L"Total Energy Used", L"123.46kJ"),
        R(L"Compute Mode", L"No"),
        R(L"Display Active", L"Yes"),
        R(L"Display Mode", L"Yes"),
        R(L"Persistence Mode", L"No"),
        R(L"Operation Mode", L"No"),
        R(L"ECC Mode", L"No"),
        R(L"ECC Errors", L"3"),
        R(L"InfoRom Checksum", L"77"),
        R(L"InfoRom Image", L"G001.0000.03.03"),
        R(L"InfoRom OEM", L"2.0"),
        R(L"Cuda Capability", L"8.9"),
        R(L"VBIOS", L"95.04.1F"),
        R(L"Driver Model", L"WDDM"),
    };
    EXPECT_EQ(nvidia_rows(1, false), expected);
}

TEST_F(GpuInfoBlocks, NvidiaBlockEdgeRows) {
    struct Case {
        const char* name;
        void (*change)(NvidiaGpu&);
        bool all_rows;
        std::wstring row;     // expected somewhere in the block
        std::wstring absent;  // expected nowhere (empty: no check)
    };
    const Case cases[] = {
        {"guessed highest clocks", [](NvidiaGpu& g) { g.max_clocks_guessed = 1; }, false,
         R(L"GPU Clock Max", L"2800MHz (?)"), R(L"GPU Clock Max", L"2800MHz")},
        {"brand beyond the names", [](NvidiaGpu& g) { g.brand = 9; }, false, R(L"Brand", L"9 ()"), L""},
        {"corrupted InfoROM in the normal mode", [](NvidiaGpu& g) { g.query_status[NVS_INFOROM_CHECKSUM] = 14; }, false,
         R(L"InfoRom Checksum", L"77*Corrupted*"), L""},
        {"corrupted InfoROM in the error mode", [](NvidiaGpu& g) { g.query_status[NVS_INFOROM_CHECKSUM] = 14; }, true,
         R(L"InfoRom Checksum", L"77*Corrupted*", L"- "), L""},
        {"other checksum failure hidden", [](NvidiaGpu& g) { g.query_status[NVS_INFOROM_CHECKSUM] = 3; }, false,
         R(L"VBIOS", L"95.04.1F"), R(L"InfoRom Checksum", L"77")},
        {"other checksum failure marked", [](NvidiaGpu& g) { g.query_status[NVS_INFOROM_CHECKSUM] = 3; }, true,
         R(L"InfoRom Checksum", L"77", L"1 "), L""},
        {"failed power constraints hide both rows", [](NvidiaGpu& g) { g.query_status[NVS_POWER_CONSTRAINTS] = 3; },
         false, R(L"Power Limit Default", L"250000mW (250W)"), R(L"Power Limit Max", L"300000mW (300W)")},
        {"empty value marked read in the error mode", [](NvidiaGpu&) {}, true, R(L"InfoRom ECC", L"", L"- "), L""},
        {"a value of -1 is a value", [](NvidiaGpu& g) { g.pcie_gen_max = 0xFFFFFFFFu; }, false,
         R(L"PCIe Link Gen Max", L"-1"), L"PCIe Link Gen Max"},
        {"a failed value of -1 stays hidden",
         [](NvidiaGpu& g) {
             g.pcie_gen_max = 0xFFFFFFFFu;
             g.query_status[NVS_PCIE_GEN_MAX] = 3;
         },
         false, R(L"PCIe Link Width", L"16"), L"PCIe Link Gen Max"},
        {"WDM driver model", [](NvidiaGpu& g) { g.driver_model = 1; }, false, R(L"Driver Model", L"WDM"), L""},
        {"unnamed slot keeps an empty name row", [](NvidiaGpu& g) { g.name = L""; }, false, L"", L"Fake GPU 4070"},
    };
    for (const Case& c : cases) {
        NvidiaGpu& gpu = filled_nvidia(0);
        gpu.label = L"G1";
        c.change(gpu);
        const std::vector<std::wstring> rows = nvidia_rows(0, c.all_rows);
        EXPECT_NE(std::find(rows.begin(), rows.end(), c.row), rows.end()) << c.name;
        if (!c.absent.empty()) {
            EXPECT_EQ(std::find(rows.begin(), rows.end(), c.absent), rows.end()) << c.name;
        }
    }
}

TEST_F(GpuInfoBlocks, FailedQueriesHideTheirRowsUnlessEveryRowIsShown) {
    NvidiaGpu& gpu = NvidiaGpuTable[0];
    gpu.label = L"G1";
    gpu.query_status.fill(3);  // every query failed, the name and UUID too
    EXPECT_EQ(nvidia_rows(0, false), (std::vector<std::wstring>{L"", L"-- G1:000" + DATE, L"", L""}))
        << "a slot without a name still gets its block";

    const std::vector<std::wstring> all = nvidia_rows(0, true);
    ASSERT_EQ(all.size(), 4u + 41u);
    int failed = 0;
    int unflagged = 0;
    for (std::size_t i = 4; i < all.size(); ++i) {
        const std::wstring mark = all[i].substr(0, 2);
        failed += mark == L"1 ";
        unflagged += mark == L"- ";
    }
    EXPECT_EQ(failed, 32) << "every row of a failed query";
    EXPECT_EQ(unflagged, 9) << "the rows without a query status: device, bus, PCI id, memory, clocks, power";
    EXPECT_EQ(all[5], R(L"Brand", L" (Unknown)", L"1 ")) << "brand 0 is the first of the names";
}

bool has(const std::vector<std::wstring>& rows, const std::wstring& row) {
    return std::find(rows.begin(), rows.end(), row) != rows.end();
}

TEST_F(GpuInfoBlocks, AmdBlockShowsTheRecordAndTheCapabilitiesAskedOnce) {
    filled_amd(0);
    library_bind();
    const std::vector<std::wstring> expected = {
        L"",
        L"-- G3:000" + DATE,
        L"AMD Radeon Fake",
        L"VEN_1002 DEV_73BF",
        R(L"Board Part Number", L"113-D4120100-100"),
        R(L"Board ID (Hex)", L"29631 (000073BF)"),
        R(L"PCI Bus ID", L"3"),
        R(L"PCI Device ID", L"0"),
        R(L"PCI Function ID", L"0"),
        R(L"Overdrive Version", L"8"),
        R(L"Display Active", L"Yes"),
        R(L"Display Num Max", L"4"),
        R(L"Controllers Max", L"6"),
        R(L"PCIe Link Gen", L"16"),
        R(L"PCIe Link Gen Max", L"16"),
        R(L"Total Memory", L"16368M (15.98G)"),
        R(L"Visible Memory", L"256M (0.25G)"),
        R(L"Memory Bandwidth", L"512000MB/s"),
        R(L"Memory Type", L"GDDR6"),
        R(L"Core Clock", L"500MHz"),
        R(L"Core Clock Max", L"2500MHz"),
        R(L"Memory Clock", L"1000MHz"),
        R(L"Temperature Max", L"110C"),
        R(L"Temperature HS Max", L"110C (Hotspot)"),
        R(L"Fan Speed Max", L"3300RPM"),
        R(L"Power Wattage Max", L"300W"),
        R(L"Voltage Max", L"1.200V"),
        R(L"High Bandwidth Cache", L"No"),
        R(L"Headless", L"Yes"),
        R(L"Gaming Mode", L"Yes"),
        R(L"Compute Workgroup", L"Yes"),
        R(L"Force3DClock", L"Yes"),
        R(L"LED Version", L"3"),
        R(L"LED Enabled", L"Yes"),
        R(L"LED SW Supported", L"Yes"),
        R(L"BIOS Version", L"020.001"),
        R(L"BIOS Date", L"2022/03/15"),
        R(L"Aspect List", L"1-a"),
        L"  2-b              3-c",
        L"  4-d              5-e",
    };
    EXPECT_EQ(amd_rows(0, false), expected);
    const AmdGpu& gpu = AmdGpuTable.records[0];
    EXPECT_EQ((std::vector<int>{gpu.marks[13], gpu.marks[14], gpu.marks[15], gpu.marks[16], gpu.marks[17]}),
              (std::vector<int>{1, 1, 1, 1, 1}))
        << "a missing function counts as a query made";

    EXPECT_EQ(amd_rows(0, false), expected) << "a second build shows the stored values";
    EXPECT_EQ((std::vector<int>{Calls.led, Calls.speed, Calls.gaming, Calls.headless}), (std::vector<int>{1, 1, 1, 1}))
        << "each capability is asked once in the run";
}

TEST_F(GpuInfoBlocks, AmdCapabilitiesStayNoWhenTheLibraryCannotBeAsked) {
    struct Case {
        const char* name;
        AdlResult result;
        bool bound;
        int enumerated;  // AMD_GPU_COUNT
        int calls;
    };
    const Case cases[] = {
        {"the call fails", ADL_ERR, true, 1, 1},
        {"a warning is no success", ADL_OK_WARNING, true, 1, 1},
        {"the library was given up", ADL_OK, false, 1, 0},
        {"the record is beyond the enumerated GPUs", ADL_OK, true, 0, 0},
    };
    for (const Case& c : cases) {
        reset();
        filled_amd(0);
        library_bind();
        Calls.result = c.result;
        if (!c.bound) SharedQuads[ADL_LIBRARY] = 0;
        SharedInts[AMD_GPU_COUNT] = c.enumerated;
        const std::vector<std::wstring> rows = amd_rows(0, false);
        EXPECT_EQ(Calls.led, c.calls) << c.name;
        for (const wchar_t* label :
             {L"Headless", L"Gaming Mode", L"Compute Workgroup", L"Force3DClock", L"LED SW Supported"})
            EXPECT_TRUE(has(rows, R(label, L"No"))) << c.name << " " << narrow_of(label);
        EXPECT_FALSE(has(rows, R(L"LED Version", L"0"))) << c.name;
        EXPECT_FALSE(has(rows, R(L"LED Enabled", L"No"))) << c.name << ": no LED rows without LED support";
        EXPECT_EQ(AmdGpuTable.records[0].marks[MARK_LED_READ], 1) << c.name;
    }
}

TEST_F(GpuInfoBlocks, AmdBlockEdgeRows) {
    struct Case {
        const char* name;
        void (*change)(AmdGpu&);
        bool all_rows;
        std::vector<std::wstring> present;
        std::vector<std::wstring> absent;
    };
    const std::wstring part19 = L"ABCDEFGHIJKLMNOPQRS";
    const std::wstring part20 = L"ABCDEFGHIJKLMNOPQRST";
    const Case cases[] = {
        {"four aspects",
         [](AmdGpu& g) { g.aspects = L"a;b;c;d"; },
         false,
         {R(L"Aspect List", L"1-a"), L"  2-b              3-c", L"  4-d             "},
         {}},
        {"one aspect", [](AmdGpu& g) { g.aspects = L"wide"; }, false, {R(L"Aspect List", L"1-wide")}, {}},
        {"aspects in the error mode",
         [](AmdGpu& g) { g.aspects = L"a;b;c"; },
         true,
         {R(L"Aspect List", L"1-a", L"- "), L"    2-b              3-c"},
         {}},
        {"no aspects", [](AmdGpu& g) { g.aspects = L""; }, true, {}, {R(L"Aspect List", L"1-", L"1 ")}},
        {"part number of 19",
         [](AmdGpu& g) { g.bios_part_number = L"ABCDEFGHIJKLMNOPQRS"; },
         false,
         {R(L"Board Part Number", part19)},
         {part19}},
        {"part number of 20",
         [](AmdGpu& g) { g.bios_part_number = L"ABCDEFGHIJKLMNOPQRST"; },
         false,
         {part20},
         {R(L"Board Part Number", part20)}},
        {"no voltage, even in the error mode",
         [](AmdGpu& g) { g.voltage_max = 0; },
         true,
         {},
         {R(L"Voltage Max", L"", L"1 "), R(L"Voltage Max", L"0.000V", L"- ")}},
        {"voltage with three decimals",
         [](AmdGpu& g) { g.voltage_max = 1050; },
         false,
         {R(L"Voltage Max", L"1.050V")},
         {}},
        {"error mode: the sensor rows and every row marked",
         [](AmdGpu&) {},
         true,
         {R(L"Sotrix Sensors 1", L"110111", L"- "), R(L"Sotrix Sensors 2", L"810000000000011111", L"- "),
          R(L"OS Display Index", L"", L"1 "), R(L"PCI Device ID", L"0", L"- "), L"-- G3:000" + DATE},
         {}},
        {"sensor rows only in the error mode", [](AmdGpu&) {}, false, {}, {R(L"Sotrix Sensors 1", L"110111")}},
    };
    for (const Case& c : cases) {
        reset();
        c.change(filled_amd(0));
        const std::vector<std::wstring> rows = amd_rows(0, c.all_rows);
        for (const std::wstring& row : c.present) EXPECT_TRUE(has(rows, row)) << c.name << ": " << narrow_of(row);
        for (const std::wstring& row : c.absent) EXPECT_FALSE(has(rows, row)) << c.name << ": " << narrow_of(row);
    }
    reset();
    EXPECT_TRUE(amd_rows(0, false).empty()) << "no record, no block";
}

TEST_F(GpuInfoBlocks, LegacyBlockNamesTheCardAndItsLocation) {
    AmdLegacyTable.count = 2;
    AmdLegacyCard& card = AmdLegacyTable.records[1];
    card.adapter_name = L"ATI Radeon HD 4800";
    card.pnp_string = L"PCI\\VEN_1002&DEV_9440\\3&1";
    card.bios_part_number = L"113-B50701-105";
    card.board_id = 0x9440;
    card.pci_bus = 1;
    card.has_values_text = L"000000";
    card.marks_text = L"000000000000000000";
    EXPECT_EQ(legacy_rows(1, false), (std::vector<std::wstring>{
                                         L"",
                                         L"-- GX:001" + DATE + L" (Legacy)",
                                         L"ATI Radeon HD 4800",
                                         L"VEN_1002 DEV_9440",
                                         R(L"Board Part Number", L"113-B50701-105"),
                                         R(L"Board ID (Hex)", L"37952 (00009440)"),
                                         R(L"PCI Bus ID", L"1"),
                                         R(L"PCI Device ID", L"0"),
                                         R(L"PCI Function ID", L"0"),
                                     }));
    const std::vector<std::wstring> all = legacy_rows(1, true);
    EXPECT_TRUE(has(all, R(L"Sotrix Sensors A1", L"000000", L"- ")));
    EXPECT_TRUE(has(all, R(L"Sotrix Sensors A2", L"000000000000000000", L"- ")));
    EXPECT_TRUE(legacy_rows(2, false).empty()) << "a card beyond the table";
}

}  // namespace
