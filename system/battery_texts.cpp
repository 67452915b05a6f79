// The battery cell, status text, event lines and blinking.
#include "system/battery_texts.h"

#include "core/format_text.h"
#include "core/language.h"
#include "runtime/text.h"

PowerStatusReading power_status_from_raw(uint8_t ac_line, uint8_t flags, uint8_t percent, uint8_t system_status,
                                         uint32_t life_time, uint32_t full_life_time) {
    PowerStatusReading reading;
    reading.ac_line = static_cast<int8_t>(ac_line);
    reading.flags = static_cast<int8_t>(flags);
    reading.percent = static_cast<int8_t>(percent);
    reading.saver = static_cast<int8_t>(system_status);
    reading.life_time = static_cast<int32_t>(life_time);
    reading.full_life_time = static_cast<int32_t>(full_life_time);
    return reading;
}

BatteryTexts battery_texts_build(int64_t percent, int64_t charging, int64_t ac_line) {
    BatteryTexts texts;
    if (percent == -1) {
        texts.value_text = tr(L"None");
        return texts;
    }
    const bool mains = ac_line != 0;
    const std::wstring charging_part = L", " + tr(charging == 8 ? L"charging" : L"not charging");
    if (percent == 100) {
        texts.value_text = L"100%";
        texts.status_text = L" " + (mains ? tr(L"Fully charged") : tr(L"Unplugged") + charging_part);
    } else {
        texts.value_text = L" " + std::to_wstring(percent) + L"% ";
        texts.status_text = L" " + (mains ? tr(L"Plugged in") : tr(L"Unplugged")) + charging_part;
    }
    return texts;
}

std::wstring battery_change_line(std::wstring_view value_text, std::wstring_view status_text, bool status_changed,
                                 int64_t remaining_s) {
    std::wstring line = tr_padded(L"Batt") + L":" + text_trim(value_text);
    if (status_changed) return line + std::wstring(status_text);
    if (remaining_s >= 0) line += L", " + format_duration_dhm(remaining_s);
    return line;
}

std::wstring battery_full_life_line(int64_t full_life_s) {
    return tr_padded(L"Batt") + L": " + format_duration_dhm(full_life_s) + L" " + tr(L"at full charge");
}

std::wstring battery_title_text(std::wstring_view value_text, int64_t percent) {
    if (percent == -1) return tr(L"No") + L" " + tr(L"Battery");
    return text_trim(value_text) + L" " + tr(L"Battery");
}

BatteryCellColors battery_cell_colors(int32_t back_color, int64_t percent, int64_t charging) {
    if (back_color != 0) return {true, 0, BATTERY_HIGHLIGHT_COLOR};
    if (percent >= 0 && percent <= 20 && charging != 8) return {true, BATTERY_HIGHLIGHT_COLOR, 0};
    return {};
}

std::wstring battery_column_title(bool saver_on) {
    std::wstring title = tr(L"Battery");
    if (saver_on) title += L" (" + tr(L"Saver On") + L")";
    return title;
}

std::wstring battery_saver_line(std::wstring_view value_text, bool saver_on) {
    return tr_padded(L"Batt") + L":" + text_trim(value_text) + L", " + tr(saver_on ? L"Saver On" : L"Saver Off");
}
