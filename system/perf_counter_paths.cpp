// Performance-counter paths and the repair decision.
#include "system/perf_counter_paths.h"

#include "core/language.h"
#include "runtime/text.h"

std::wstring perf_counter_path(std::wstring_view object, std::wstring_view instance, std::wstring_view counter) {
    std::wstring path = L"\\" + std::wstring(object);
    if (!instance.empty()) path += L"(" + std::wstring(instance) + L")";
    return path + L"\\" + std::wstring(counter);
}

bool perf_repair_wanted(std::wstring_view processor_name, std::wstring_view command_line) {
    return processor_name.empty() && text_lower_ascii(command_line).find(L"norepair") == std::wstring::npos;
}

std::wstring libraries_missing_line(bool power_missing, bool counters_missing) {
    if (!power_missing && !counters_missing) return {};
    std::wstring line = tr(L"Unable to load") + L" ";
    if (power_missing) line += L"powrprof.dll ";
    if (power_missing && counters_missing) line += tr(L"and") + L" ";
    if (counters_missing) line += L"pdh.dll ";
    return line + tr(L"for full CPU statistics");
}
