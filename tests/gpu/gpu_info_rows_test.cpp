// The GPU information list's rows, their history trimming and the two detection logs.
#include "gpu/gpu_info_rows.h"

#include <gtest/gtest.h>

#include <mutex>

#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "runtime/list_model.h"

namespace {

class GpuInfoRows : public ::testing::Test {
protected:
    void SetUp() override {
        shared_state_init(SharedStateFacts{});
        shared_tables_init();
        list_rows_clear(LIST_GPU_INFO);
    }
    void TearDown() override { list_rows_clear(LIST_GPU_INFO); }
    static std::vector<std::wstring> rows() { return list_rows_copy(LIST_GPU_INFO); }
};

const std::wstring PAD17(17, L' ');

TEST_F(GpuInfoRows, RowsPadOrCutTheLabelAndShowOrHideByModeAndFlag) {
    struct Case {
        const char* name;
        bool all_rows;
        bool flagged;  // gpu_info_row_flagged, else gpu_info_row
        int mode_or_flag;
        const wchar_t* label;
        int64_t number;
        const wchar_t* value;
        std::vector<std::wstring> expected;
    };
    const std::wstring long_label = L"ABCDEFGHIJKLMNOPQRSTUVWXY";
    const Case cases[] = {
        {"short label padded", false, false, 0, L"Bus", 0, L" 01:00 ", {L"Bus" + PAD17 + L" 01:00C"}},
        {"long label cut", false, false, 0, long_label.c_str(), 7, L"", {L"ABCDEFGHIJKLMNOPQRST 7C"}},
        {"mode 0 hides an empty row", false, false, 0, L"Bus", 0, L"  ", {}},
        {"mode 0 marks an empty row", true, false, 0, L"Bus", 0, L"  ", {L"1 Bus" + PAD17 + L" C"}},
        {"mode 0 marks a value row", true, false, 0, L"Bus", 5, L"", {L"- Bus" + PAD17 + L" 5C"}},
        {"mode -1 shows the 0", false, false, -1, L"Bus", 0, L"", {L"Bus" + PAD17 + L" 0C"}},
        {"mode -1 marked in error mode", true, false, -1, L"Bus", 0, L"", {L"- Bus" + PAD17 + L" 0C"}},
        {"mode -2 plain", false, false, -2, L"N| line", 0, L"", {L"N| line"}},
        {"unknown mode adds nothing", true, false, 4, L"Bus", 1, L"x", {}},
        {"flagged spacer", false, true, 0, L"", 0, L"", {L""}},
        {"flagged heading", false, true, 3, L"Heading", -1, L"", {L"Heading"}},
        {"flagged spaces hidden", false, true, 0, L"Bus", 0, L"   ", {}},
        {"flagged spaces marked", true, true, 0, L"Bus", 0, L"   ", {L"- Bus" + PAD17 + L" C"}},
        {"failed query hidden", false, true, 2, L"Bus", 5, L"x", {}},
        {"failed query marked", true, true, 2, L"Bus", 5, L" x ", {L"1 Bus" + PAD17 + L" 5xC"}},
        {"read query shown", false, true, 0, L"Bus", 5, L"x", {L"Bus" + PAD17 + L" 5xC"}},
    };
    for (const Case& c : cases) {
        list_rows_clear(LIST_GPU_INFO);
        SharedInts[GPU_VIEW_ALL_ROWS] = c.all_rows ? 1 : 0;
        std::lock_guard guard(GpuInfoMutex);
        if (c.flagged)
            gpu_info_row_flagged(static_cast<uint8_t>(c.mode_or_flag), c.label, c.number, c.value, L"C");
        else
            gpu_info_row(c.mode_or_flag, c.label, c.number, c.value, L"C");
        EXPECT_EQ(rows(), c.expected) << c.name;
    }
}

TEST_F(GpuInfoRows, HistoryRowsKeepTheNewestAtTheTop) {
    SharedInts[GPU_HISTORY_ROWS] = 10;
    list_rows_insert(LIST_GPU_INFO, 0, L"view row");
    std::lock_guard guard(GpuInfoMutex);
    for (int i = 1; i <= 11; ++i) gpu_info_row(GPU_ROW_HISTORY, L"h" + std::to_wstring(i), 0, L"", L"");
    ASSERT_EQ(GpuInfoHistory.size(), 10u);
    EXPECT_EQ(GpuInfoHistory.front(), L"h2");
    const auto shown = rows();
    ASSERT_EQ(shown.size(), 11u);
    EXPECT_EQ(shown[0], L"h11");
    EXPECT_EQ(shown[9], L"h2");
    EXPECT_EQ(shown[10], L"view row") << "the row below the history stays";

    for (int limit : {0, -5}) {
        SharedInts[GPU_HISTORY_ROWS] = limit;
        gpu_info_row(GPU_ROW_HISTORY, L"h", 0, L"", L"");
        EXPECT_TRUE(GpuInfoHistory.empty()) << limit;
    }
}

TEST_F(GpuInfoRows, ReportLinesGoToTheirVendorsLogWithItsPrefix) {
    gpu_report_line_queue(GPU_VENDOR_NVIDIA, L"Start NVidia GPU Detection");
    gpu_report_line_queue(GPU_VENDOR_NVIDIA, L"Reading Adapter: 0", L"G0");
    gpu_report_line_queue(GPU_VENDOR_AMD, L"Start AMD");
    gpu_report_line_queue(3, L"nowhere");
    EXPECT_EQ(NvidiaReportLines,
              (std::vector<std::wstring>{L"N| Start NVidia GPU Detection", L"G0 Reading Adapter: 0"}));
    EXPECT_EQ(AmdReportLines, (std::vector<std::wstring>{L"A| Start AMD"}));
}

}  // namespace
