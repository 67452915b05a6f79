// The GPU information view as a whole: history rows, blocks, the software block and the error mode.
#include "gpu/gpu_info_view.h"

#include <gtest/gtest.h>

#include <mutex>

#include "core/control_numbers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "gpu/amd_gpu.h"
#include "gpu/gpu_info_blocks.h"
#include "gpu/gpu_info_rows.h"
#include "gpu/nvidia_gpu.h"
#include "runtime/date.h"
#include "runtime/list_model.h"

namespace {

std::wstring R(std::wstring_view label, std::wstring_view rest, std::wstring_view mark = L"") {
    std::wstring name(label);
    name.resize(20, L' ');
    return std::wstring(mark) + name + L" " + std::wstring(rest);
}

const Date WHEN = date_from_parts(DateParts{2026, 3, 4, 5, 6, 7});
const std::wstring DATE = L" 2026-03-04 05:06:07";

class GpuInfoView : public ::testing::Test {
protected:
    void SetUp() override { reset(); }
    void TearDown() override { reset(); }
    static void reset() {
        shared_state_init(SharedStateFacts{});
        shared_tables_init();
        text_maps_load(LANGUAGE_ENGLISH);
        list_rows_clear(LIST_GPU_INFO);
        for (NvidiaGpu& gpu : NvidiaGpuTable) gpu = NvidiaGpu{};
        NvmlSystem = NvmlSystemInfo{};
        AmdGpuTable.release();
        AmdLegacyTable.release();
        AdlFacts = AdlState{};
        std::lock_guard guard(GpuInfoMutex);
        GpuInfoHistory.clear();
        NvidiaReportLines.clear();
        AmdReportLines.clear();
    }
    // One NVIDIA GPU with a few values read; the others were not.
    static void one_nvidia_gpu() {
        SharedInts[NVIDIA_GPU_COUNT] = 1;
        NvmlSystem.device_count = 1;
        NvmlSystem.cuda_version = 12040;
        NvmlSystem.driver_version = L"551.23";
        NvidiaGpu& gpu = NvidiaGpuTable[0];
        gpu.label = L"G1";
        gpu.name = L"Fake GPU";
        gpu.uuid = L"GPU-1";
        gpu.bus_id = L"0000:01:00.0";
        gpu.vbios = L"95.04";
        gpu.query_status.fill(3);
        gpu.query_status[NVS_VBIOS] = 0;
    }
    static std::vector<std::wstring> build(bool all_rows) {
        SharedInts[GPU_VIEW_ALL_ROWS] = all_rows ? 1 : 0;
        gpu_info_view_build_at(WHEN);
        return list_rows_copy(LIST_GPU_INFO);
    }
    static void history_add(const std::wstring& text) {
        std::lock_guard guard(GpuInfoMutex);
        gpu_info_row(GPU_ROW_HISTORY, text, 0, L"", L"");
    }
};

TEST_F(GpuInfoView, NormalModeWithOneNvidiaGpu) {
    one_nvidia_gpu();
    history_add(L"h1");
    history_add(L"h2");
    const std::vector<std::wstring> expected = {
        L"h2",
        L"h1",
        L"",
        L"-- G1:000" + DATE,
        L"Fake GPU",
        L"GPU-1",
        R(L"PCI Bus ID", L"0000:01:00.0"),
        R(L"VBIOS", L"95.04"),
        L"",
        L"-- Software --",
        R(L"NVidia Driver", L"551.23"),
        R(L"NVidia Cuda", L"12.04"),
        R(L"NVidia Devices", L"1"),
        L"",
    };
    EXPECT_EQ(build(false), expected);
    EXPECT_EQ(SharedInts[GPU_HISTORY_ROWS].load(), 10);
    EXPECT_EQ(build(false), expected) << "a second build gives the same list, not a longer one";
}

TEST_F(GpuInfoView, WithoutAnyVendorOnlyTheSoftwareFrameIsLeft) {
    EXPECT_EQ(build(false), (std::vector<std::wstring>{L"", L"-- Software --", L""}));
}

TEST_F(GpuInfoView, ErrorModeAddsHeadingMarksAndTheDetectionLogs) {
    one_nvidia_gpu();
    history_add(L"h1");
    gpu_report_line_queue(GPU_VENDOR_NVIDIA, L"n1");
    gpu_report_line_queue(GPU_VENDOR_NVIDIA, L"n2");
    gpu_report_line_queue(GPU_VENDOR_AMD, L"a1");
    const std::vector<std::wstring> rows = build(true);
    EXPECT_EQ(SharedInts[GPU_HISTORY_ROWS].load(), 500);
    ASSERT_GE(rows.size(), 12u);
    EXPECT_EQ(std::vector<std::wstring>(rows.begin(), rows.begin() + 6),
              (std::vector<std::wstring>{L"h1", L"", L"-- [F6]:Active, Showing Errors", L"", L"-- G1:000" + DATE,
                                         L"Fake GPU"}));
    EXPECT_EQ(
        std::vector<std::wstring>(rows.end() - 7, rows.end()),
        (std::vector<std::wstring>{R(L"NVidia Devices", L"1", L"- "), L"", L"N| n1", L"N| n2", L"", L"A| a1", L""}))
        << "software rows, then the logs in the order written";
    EXPECT_NE(std::find(rows.begin(), rows.end(), R(L"Serial Number", L"", L"1 ")), rows.end())
        << "a failed query is shown marked";
    EXPECT_NE(std::find(rows.begin(), rows.end(), R(L"VBIOS", L"95.04", L"- ")), rows.end());
}

TEST_F(GpuInfoView, LeavingTheErrorModeKeepsAllHistoryUntilTheNextHistoryRow) {
    SharedInts[GPU_HISTORY_ROWS] = 500;
    for (int i = 1; i <= 30; ++i) history_add(L"h" + std::to_wstring(i));
    const std::vector<std::wstring> rows = build(false);
    EXPECT_EQ(SharedInts[GPU_HISTORY_ROWS].load(), 10);
    ASSERT_EQ(rows.size(), 30u + 3u);
    EXPECT_EQ(rows[0], L"h30");
    EXPECT_EQ(rows[29], L"h1");

    history_add(L"h31");
    const std::vector<std::wstring> trimmed = list_rows_copy(LIST_GPU_INFO);
    ASSERT_EQ(trimmed.size(), 10u + 3u);
    EXPECT_EQ(trimmed[0], L"h31");
    EXPECT_EQ(trimmed[9], L"h22");
    EXPECT_EQ(trimmed[10], L"") << "the view below the history stays";
}

void legacy_cards_add(int count) {
    AmdLegacyTable.count = count;
    for (int i = 0; i < count; ++i)
        AmdLegacyTable.records[static_cast<std::size_t>(i)].adapter_name = L"Old " + std::to_wstring(i);
}

std::vector<std::wstring> headings_of(const std::vector<std::wstring>& rows) {
    std::vector<std::wstring> headings;
    for (const std::wstring& row : rows)
        if (row.starts_with(L"-- ")) headings.push_back(row);
    return headings;
}

TEST_F(GpuInfoView, NvidiaGpuBesideLegacyCardsOnly) {
    one_nvidia_gpu();
    legacy_cards_add(2);  // the AMD GPU table was released and the library given up
    const std::vector<std::wstring> rows = build(false);
    EXPECT_EQ(headings_of(rows), (std::vector<std::wstring>{L"-- G1:000" + DATE, L"-- GX:000" + DATE + L" (Legacy)",
                                                            L"-- GX:001" + DATE + L" (Legacy)", L"-- Software --"}));
    ASSERT_GE(rows.size(), 6u);
    EXPECT_EQ(std::vector<std::wstring>(rows.end() - 6, rows.end()),
              (std::vector<std::wstring>{L"-- Software --", R(L"NVidia Driver", L"551.23"), R(L"NVidia Cuda", L"12.04"),
                                         R(L"NVidia Devices", L"1"), R(L"Legacy Devices", L"2"), L""}));
}

TEST_F(GpuInfoView, AmdGpusComeBetweenNvidiaAndLegacyAndNameTheirSoftware) {
    one_nvidia_gpu();
    legacy_cards_add(1);
    SharedInts[AMD_GPU_COUNT] = 2;
    AmdGpuTable.count = 2;
    AmdGpuTable.records[0].label = L"G2";
    AmdGpuTable.records[1].label = L"G3";
    AdlFacts.gpu_count = 2;
    AdlFacts.driver_version = L"23.20.01.05-231010a-396538C-AMD-Software";
    AdlFacts.driver_date = L"2023/10/10";
    AdlFacts.crimson_version = L"23.10.2";
    const std::vector<std::wstring> rows = build(false);
    EXPECT_EQ(headings_of(rows),
              (std::vector<std::wstring>{L"-- G1:000" + DATE, L"-- G2:000" + DATE, L"-- G3:001" + DATE,
                                         L"-- GX:000" + DATE + L" (Legacy)", L"-- Software --"}));
    ASSERT_GE(rows.size(), 10u);
    EXPECT_EQ(std::vector<std::wstring>(rows.end() - 10, rows.end()),
              (std::vector<std::wstring>{L"-- Software --", R(L"NVidia Driver", L"551.23"), R(L"NVidia Cuda", L"12.04"),
                                         R(L"NVidia Devices", L"1"), R(L"AMD Driver Version", L"23.20.01.05"),
                                         R(L"AMD Driver Date", L"2023/10/10"), R(L"AMD Crimson", L"23.10.2"),
                                         R(L"AMD Devices", L"2"), R(L"Legacy Devices", L"1"), L""}))
        << "an empty Catalyst version is left out";
}

}  // namespace
