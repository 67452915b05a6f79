// The GPU information view, built from its bottom row up because the list grows at the top.
#include "gpu/gpu_info_view.h"

#include <mutex>
#include <string>

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

constexpr int HISTORY_ROWS_ALL = 500;
constexpr int HISTORY_ROWS_NORMAL = 10;

void spacer() { gpu_info_row_flagged(0, L"", 0, L"", L""); }
void heading(const std::wstring& text) { gpu_info_row_flagged(0, text, -1, L"", L""); }
void plain(const std::wstring& text) { gpu_info_row(GPU_ROW_PLAIN, text, 0, L"", L""); }

// The detection logs, each read in the order written and closed by a spacer: the last rows of the list.
void report_lines_add() {
    spacer();
    for (auto line = AmdReportLines.rbegin(); line != AmdReportLines.rend(); ++line) plain(*line);
    spacer();
    for (auto line = NvidiaReportLines.rbegin(); line != NvidiaReportLines.rend(); ++line) plain(*line);
}

int amd_gpu_count() {
    const int count = SharedInts[AMD_GPU_COUNT].load();
    return count < AmdGpuTable.count ? count : AmdGpuTable.count;
}

void software_block_add() {
    spacer();
    if (AmdLegacyTable.count > 0) gpu_info_row(GPU_ROW_VALUE, tr(L"Legacy Devices"), AmdLegacyTable.count, L"", L"");
    if (AdlFacts.gpu_count != 0) {
        gpu_info_row(GPU_ROW_VALUE, tr(L"AMD Devices"), AdlFacts.gpu_count, L"", L"");
        gpu_info_row(GPU_ROW_VALUE, tr(L"AMD Crimson"), 0, AdlFacts.crimson_version, L"");
        gpu_info_row(GPU_ROW_VALUE, tr(L"AMD Catalyst"), 0, AdlFacts.catalyst_version, L"");
        gpu_info_row(GPU_ROW_VALUE, tr(L"AMD Driver Date"), 0, AdlFacts.driver_date, L"");
        const std::wstring& version = AdlFacts.driver_version;
        gpu_info_row(GPU_ROW_VALUE, tr(L"AMD Driver Version"), 0, version.substr(0, version.find(L'-')), L"");
    }
    if (NvmlSystem.device_count != 0) {
        gpu_info_row_flagged(0, tr(L"NVidia Devices"), NvmlSystem.device_count, L"", L"");
        gpu_info_row_flagged(0, tr(L"NVidia Cuda"), 0, gpu_cuda_view_text(NvmlSystem.cuda_version), L"");
        gpu_info_row_flagged(0, tr(L"NVidia Driver"), 0, NvmlSystem.driver_version.view(), L"");
    }
    heading(L"-- " + tr(L"Software") + L" --");
    spacer();
}

}  // namespace

void gpu_info_view_build() { gpu_info_view_build_at(date_now()); }

void gpu_info_view_build_at(int64_t date) {
    const std::wstring date_text = gpu_block_date_text(date);
    std::lock_guard guard(GpuInfoMutex);
    const bool all_rows = SharedInts[GPU_VIEW_ALL_ROWS].load() != 0;
    list_rows_clear(LIST_GPU_INFO);
    if (all_rows) report_lines_add();
    software_block_add();

    for (int card = AmdLegacyTable.count - 1; card >= 0; --card) gpu_info_legacy_block(card, date_text);
    for (int index = amd_gpu_count() - 1; index >= 0; --index) gpu_info_amd_block(index, date_text);
    int nvidia_count = SharedInts[NVIDIA_GPU_COUNT].load();
    if (nvidia_count > NVIDIA_SLOT_COUNT) nvidia_count = NVIDIA_SLOT_COUNT;
    for (int slot = nvidia_count - 1; slot >= 0; --slot) gpu_info_nvidia_block(slot, date_text);

    if (all_rows) {
        heading(L"-- [F6]:" + tr(L"Active") + L", " + tr(L"Showing Errors"));
        spacer();
    }
    SharedInts[GPU_HISTORY_ROWS] = all_rows ? HISTORY_ROWS_ALL : HISTORY_ROWS_NORMAL;
    // Every kept text, also beyond the new limit: the next history row trims them.
    for (const std::wstring& text : GpuInfoHistory) plain(text);
}
