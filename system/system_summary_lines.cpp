// The System tab's summary lines and the desktop-change lines.
#include "system/system_summary_lines.h"

#include <cmath>

#include "core/format_number.h"
#include "core/language.h"
#include "runtime/text.h"

namespace {

std::wstring number(int64_t value) { return std::to_wstring(value); }

// value × 96 / dpi, rounded: a pixel count in 96-DPI units.
int64_t unscaled(int64_t value, int32_t dpi) {
    if (dpi <= 0) return value;
    return static_cast<int64_t>(std::llround(static_cast<double>(value) * 96.0 / dpi));
}

}  // namespace

std::wstring collapse_spaces(std::wstring text) {
    std::size_t at = 0;
    while ((at = text.find(L"  ", at)) != std::wstring::npos) text.erase(at, 1);
    return text;
}

int32_t desktop_scale_percent(int32_t dpi) {
    if (dpi <= 0) return 100;
    return static_cast<int32_t>(std::llround(100.0 * dpi / 96.0));
}

std::array<std::wstring, 3> system_summary_lines(const SystemSummaryFacts& facts) {
    std::array<std::wstring, 3> lines;
    const float megabytes = static_cast<float>(static_cast<double>(facts.total_memory) / 1048576.0);
    const float gigabytes = static_cast<float>(static_cast<double>(facts.total_memory) / 1073741824.0);
    lines[0] = collapse_spaces(facts.cpu_brand) + L" (" + number(facts.cpu_count) + L" " + tr(L"CPU") + L"), " +
               tr(L"Memory") + L": " + format_fixed(megabytes, 0) + L"M (" + format_fixed(gigabytes, 2) + L"G)";

    const DesktopMetrics& desktop = facts.desktop;
    std::wstring bracket;
    if (desktop.scale != 100) {
        bracket = L" [" + number(unscaled(desktop.width, facts.dpi_x)) + L" x " +
                  number(unscaled(desktop.height, facts.dpi_y)) + L"]";
    }
    lines[1] = collapse_spaces(text_trim(facts.adapter)) + L" (" + number(desktop.width) + L" x " +
               number(desktop.height) + L", " + tr(L"Text Size") + L" " + number(desktop.scale) + L"%" + bracket +
               L", " + number(desktop.depth) + L"-bit " + tr(L"Color") + L", " + number(desktop.refresh) + L"Hz)";

    std::wstring safe_mode;
    if (facts.safe_mode == 1) safe_mode = L" [" + tr(L"Safe Mode") + L"]";
    if (facts.safe_mode == 2) safe_mode = L" [" + tr(L"Safe Mode+Network") + L"]";
    lines[2] = tr(L"OS") + L": " + facts.windows_name + L" " + tr(L"Build") + L": " + number(facts.windows_build) +
               safe_mode + L", " + tr(L"Computer Name") + L": " + facts.computer_name + L", " + tr(L"User Name") +
               L": " + facts.user_name;
    return lines;
}

std::wstring system_summary_joined(const std::array<std::wstring, 3>& lines) {
    std::wstring text;
    for (const auto& line : lines) text += line + L"\r\n";
    return text;
}

std::vector<std::wstring> desktop_change_lines(const DesktopMetrics& stored, const DesktopMetrics& current) {
    struct Field {
        int32_t DesktopMetrics::*member;
        const wchar_t* label;
        const wchar_t* unit;
    };
    static constexpr Field FIELDS[] = {
        {&DesktopMetrics::width, L"Desktop Width", L""},         {&DesktopMetrics::height, L"Desktop Height", L""},
        {&DesktopMetrics::scale, L"Desktop Scale", L"%"},        {&DesktopMetrics::depth, L"Desktop Colors", L"-bit"},
        {&DesktopMetrics::refresh, L"Desktop Frequency", L"Hz"},
    };
    std::vector<std::wstring> lines;
    for (const auto& field : FIELDS) {
        const int32_t old_value = stored.*field.member;
        const int32_t new_value = current.*field.member;
        if (old_value == new_value) continue;
        lines.push_back(tr(field.label) + L": " + number(old_value) + field.unit + L" -> " + number(new_value) +
                        field.unit);
    }
    return lines;
}
