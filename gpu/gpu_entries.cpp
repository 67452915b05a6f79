// GPU entry numbering, labels, selector items and the rows of the requirements text.
#include "gpu/gpu_entries.h"

#include <mutex>

#include "core/control_numbers.h"
#include "core/format_bytes.h"
#include "core/format_text.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "gpu/amd_gpu.h"
#include "gpu/gpu_info_rows.h"
#include "runtime/list_model.h"

namespace {

constexpr int NVIDIA_MIN_DRIVER_MAJOR = 285;

void entry_add(GpuEntryIndexRecord& index, wchar_t letter, int vendor_index) {
    const auto n = static_cast<std::size_t>(index.entry_count);
    index.letters[n] = letter;
    index.vendor_index[n] = vendor_index;
    ++index.entry_count;
}

void text_row(std::wstring_view text) { gpu_info_row_flagged(0, text, -1, L"", L""); }
void spacer() { gpu_info_row_flagged(0, L"", 0, L"", L""); }

}  // namespace

int gpu_entries_number(GpuEntryIndexRecord& index, std::span<const bool> nvidia_named,
                       std::span<const bool> amd_named) {
    index = GpuEntryIndexRecord{};
    for (std::size_t s = 0; s < nvidia_named.size() && index.entry_count < GPU_ENTRY_MAX; ++s)
        if (nvidia_named[s]) entry_add(index, L'N', static_cast<int>(s));
    for (std::size_t i = 0; i < amd_named.size() && index.entry_count < GPU_ENTRY_MAX; ++i)
        if (amd_named[i]) entry_add(index, L'A', static_cast<int>(i));
    return index.entry_count;
}

std::wstring gpu_entry_label(int entry) { return std::wstring(L"G") + HEX_DIGITS[(entry + 1) & 0xF]; }

std::wstring amd_pci_location(int32_t bus, int32_t device, int32_t function) {
    const auto two = [](int32_t n) {
        std::wstring text = std::to_wstring(n);
        if (text.size() < 2) text.insert(0, 2 - text.size(), L'0');
        return text;
    };
    return L"0000:" + two(bus) + L":" + two(device) + L"." + std::to_wstring(function);
}

std::wstring gpu_selector_item(std::wstring_view label, std::wstring_view location, std::wstring_view brand,
                               std::wstring_view name, uint64_t memory_bytes) {
    const int64_t bytes =
        memory_bytes > static_cast<uint64_t>(INT64_MAX) ? INT64_MAX : static_cast<int64_t>(memory_bytes);
    return tr(L"Filter") + L" " + std::wstring(label) + L": [" + std::wstring(location) + L"] (" + std::wstring(brand) +
           L") " + std::wstring(name) + L" " + format_bytes(bytes, 9);
}

void gpu_requirements_rows(bool safe_mode, int nvidia_driver_major, int amd_driver_major) {
    std::lock_guard guard(GpuInfoMutex);
    text_row(tr(L"Other brands will be supported soon."));
    spacer();
    if (safe_mode) text_row(L"- " + tr(L"Not running in Safe Mode"));
    if (amd_driver_major < AMD_MIN_DRIVER_MAJOR) text_row(L"- " + tr(L"AMD Drivers 22.11.2 or higher"));
    text_row(L"- " + tr(L"AMD Radeon R5 200 or higher"));
    text_row(L"    " + tr(L"or"));
    if (nvidia_driver_major < NVIDIA_MIN_DRIVER_MAJOR) text_row(L"- " + tr(L"NVidia Drivers 285.62 or higher"));
    text_row(L"- " + tr(L"NVidia Geforce GT420 or higher"));
    if constexpr (sizeof(void*) < 8) {
        text_row(L"    " + tr(L"and"));
        text_row(L"- " + tr(L"Sotrix 64-bit edition"));
    }
    spacer();
    text_row(tr(L"Requirements") + L":");
    spacer();
}

void gpu_entries_info_rebuild(const GpuEntriesInfo& info) {
    std::lock_guard guard(GpuInfoMutex);
    list_rows_clear(LIST_GPU_INFO);
    if (info.all_rows) gpu_report_rows();
    if (info.requirements) gpu_requirements_rows(info.safe_mode, info.nvidia_driver_major, info.amd_driver_major);
    if (info.all_rows) gpu_error_mode_heading();
}

void gpu_report_rows() {
    std::lock_guard guard(GpuInfoMutex);
    for (auto line = AmdReportLines.rbegin(); line != AmdReportLines.rend(); ++line)
        gpu_info_row(GPU_ROW_PLAIN, *line, 0, L"", L"");
    spacer();
    for (auto line = NvidiaReportLines.rbegin(); line != NvidiaReportLines.rend(); ++line)
        gpu_info_row(GPU_ROW_PLAIN, *line, 0, L"", L"");
    spacer();
}

void gpu_error_mode_heading() {
    std::lock_guard guard(GpuInfoMutex);
    text_row(L"-- [F6]:" + tr(L"Active") + L", " + tr(L"Showing Errors"));
    spacer();
}
