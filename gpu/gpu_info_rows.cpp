// The GPU information list's rows and the NVIDIA and AMD detection logs.
#include "gpu/gpu_info_rows.h"

#include <mutex>

#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "runtime/list_model.h"
#include "runtime/text.h"

namespace {

constexpr std::size_t LABEL_WIDTH = 20;

bool all_rows() { return SharedInts[GPU_VIEW_ALL_ROWS].load() != 0; }

void row_add(std::wstring row) { list_rows_insert(LIST_GPU_INFO, 0, std::move(row)); }

}  // namespace

void gpu_report_line_queue(int vendor, std::wstring_view text, std::wstring_view prefix) {
    std::lock_guard guard(GpuInfoMutex);
    std::vector<std::wstring>* lines = nullptr;
    std::wstring_view standard;
    if (vendor == GPU_VENDOR_NVIDIA) {
        lines = &NvidiaReportLines;
        standard = L"N|";
    } else if (vendor == GPU_VENDOR_AMD) {
        lines = &AmdReportLines;
        standard = L"A|";
    } else {
        return;
    }
    lines->push_back(std::wstring(prefix.empty() ? standard : prefix) + L" " + std::wstring(text));
}

std::wstring gpu_info_row_text(std::wstring_view prefix, std::wstring_view label, int64_t number, bool show_number,
                               std::wstring_view value, std::wstring_view suffix) {
    std::wstring row(prefix);
    std::wstring name(label.substr(0, LABEL_WIDTH));
    name.resize(LABEL_WIDTH, L' ');
    row += name;
    row += L' ';
    if (show_number) row += std::to_wstring(number);
    row += text_trim(value);
    row += suffix;
    return row;
}

void gpu_info_row(int mode, std::wstring_view label, int64_t number, std::wstring_view value,
                  std::wstring_view suffix) {
    switch (mode) {
        case GPU_ROW_HISTORY: {
            row_add(std::wstring(label));
            GpuInfoHistory.emplace_back(label);
            // A limit of 0 or less keeps nothing, and the loop still ends with the list.
            const int limit = SharedInts[GPU_HISTORY_ROWS].load();
            const std::size_t keep = limit > 0 ? static_cast<std::size_t>(limit) : 0;
            while (GpuInfoHistory.size() > keep) {
                GpuInfoHistory.pop_front();
                list_rows_remove(LIST_GPU_INFO, static_cast<int>(keep));
            }
            return;
        }
        case GPU_ROW_PLAIN: row_add(std::wstring(label)); return;
        case GPU_ROW_ALWAYS:
            row_add(gpu_info_row_text(all_rows() ? L"- " : L"", label, number, true, value, suffix));
            return;
        case GPU_ROW_VALUE: {
            const bool empty = number == 0 && text_trim(value).empty();
            if (!all_rows()) {
                if (!empty) row_add(gpu_info_row_text(L"", label, number, number != 0, value, suffix));
                return;
            }
            row_add(gpu_info_row_text(empty ? L"1 " : L"- ", label, number, number != 0, value, suffix));
            return;
        }
        default: return;
    }
}

void gpu_info_row_flagged(uint8_t flag, std::wstring_view label, int64_t number, std::wstring_view value,
                          std::wstring_view suffix) {
    if (label.empty()) {
        row_add(std::wstring());
        return;
    }
    if (number == -1) {
        row_add(std::wstring(label));
        return;
    }
    const bool empty = number == 0 && text_trim(value).empty();
    if (!all_rows()) {
        if (empty || flag != 0) return;
        row_add(gpu_info_row_text(L"", label, number, number != 0, value, suffix));
        return;
    }
    row_add(gpu_info_row_text(flag != 0 ? L"1 " : L"- ", label, number, number != 0, value, suffix));
}
