// The blocks of the GPU information list, row by row, and the small texts their rows are made of.
#include "gpu/gpu_info_blocks.h"

#include <gtest/gtest.h>

#include <mutex>

#include "core/control_numbers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "gpu/nvidia_gpu.h"
#include "runtime/list_model.h"

namespace {

// A name-and-value row as the list shows it: the label in 20 characters, a space, the rest.
std::wstring R(std::wstring_view label, std::wstring_view rest, std::wstring_view mark = L"") {
    std::wstring name(label);
    name.resize(20, L' ');
    return std::wstring(mark) + name + L" " + std::wstring(rest);
}

const std::wstring DATE = L" 2026-03-04 05:06:07";

class GpuInfoBlocks : public ::testing::Test {
protected:
    void SetUp() override {
        shared_state_init(SharedStateFacts{});
        shared_tables_init();
        text_maps_load(LANGUAGE_ENGLISH);
        list_rows_clear(LIST_GPU_INFO);
        for (NvidiaGpu& gpu : NvidiaGpuTable) gpu = NvidiaGpu{};
    }
    void TearDown() override {
        list_rows_clear(LIST_GPU_INFO);
        for (NvidiaGpu& gpu : NvidiaGpuTable) gpu = NvidiaGpu{};
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
        std::wstring row;  // expected somewhere in the block
        std::wstring absent;  // expected nowhere (empty: no check)
    };
    const Case cases[] = {
        {"guessed highest clocks", [](NvidiaGpu& g) { g.max_clocks_guessed = 1; }, false,
         R(L"GPU Clock Max", L"2800MHz (?)"), R(L"GPU Clock Max", L"2800MHz")},
        {"brand beyond the names", [](NvidiaGpu& g) { g.brand = 9; }, false, R(L"Brand", L"9 ()"), L""},
        {"corrupted InfoROM in the normal mode",
         [](NvidiaGpu& g) { g.query_status[NVS_INFOROM_CHECKSUM] = 14; }, false,
         R(L"InfoRom Checksum", L"77 *Corrupted*"), L""},
        {"corrupted InfoROM in the error mode", [](NvidiaGpu& g) { g.query_status[NVS_INFOROM_CHECKSUM] = 14; },
         true, R(L"InfoRom Checksum", L"77 *Corrupted*", L"- "), L""},
        {"other checksum failure hidden", [](NvidiaGpu& g) { g.query_status[NVS_INFOROM_CHECKSUM] = 3; }, false,
         R(L"VBIOS", L"95.04.1F"), R(L"InfoRom Checksum", L"77")},
        {"other checksum failure marked", [](NvidiaGpu& g) { g.query_status[NVS_INFOROM_CHECKSUM] = 3; }, true,
         R(L"InfoRom Checksum", L"77", L"1 "), L""},
        {"failed power constraints hide both rows", [](NvidiaGpu& g) { g.query_status[NVS_POWER_CONSTRAINTS] = 3; },
         false, R(L"Power Limit Default", L"250000mW (250W)"), R(L"Power Limit Max", L"300000mW (300W)")},
        {"empty value marked read in the error mode", [](NvidiaGpu&) {}, true, R(L"InfoRom ECC", L"", L"- "), L""},
        {"WDM driver model", [](NvidiaGpu& g) { g.driver_model = 1; }, false, R(L"Driver Model", L"WDM"), L""},
        {"unnamed slot keeps an empty name row", [](NvidiaGpu& g) { g.name = L""; }, false, L"", L"Fake GPU 4070"},
    };
    for (const Case& c : cases) {
        NvidiaGpu& gpu = filled_nvidia(0);
        gpu.label = L"G1";
        c.change(gpu);
        const std::vector<std::wstring> rows = nvidia_rows(0, c.all_rows);
        EXPECT_NE(std::find(rows.begin(), rows.end(), c.row), rows.end()) << c.name;
        if (!c.absent.empty()) EXPECT_EQ(std::find(rows.begin(), rows.end(), c.absent), rows.end()) << c.name;
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

}  // namespace
