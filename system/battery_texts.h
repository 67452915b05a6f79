// The battery cell, its status text, its event lines and its blinking, from one power-status reading.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Windows' SYSTEM_POWER_STATUS with the "unknown" values read as -1.
struct PowerStatusReading {
    int32_t ac_line = -1;         // 1 on mains, 0 on battery, -1 unknown
    int32_t flags = -1;           // battery flags; 8 = charging
    int32_t percent = -1;         // charge, -1 = no battery or no reading
    int32_t saver = 0;            // 1 while the battery saver is on
    int32_t life_time = -1;       // seconds left, -1 unknown
    int32_t full_life_time = -1;  // seconds at full charge, -1 unknown
};

// The reading from the record's raw bytes and words: bytes and words whose bits are all set become -1.
PowerStatusReading power_status_from_raw(uint8_t ac_line, uint8_t flags, uint8_t percent, uint8_t system_status,
                                         uint32_t life_time, uint32_t full_life_time);

struct BatteryTexts {
    std::wstring value_text;   // the cell: "100%", " 57% " or the translated "None"
    std::wstring status_text;  // " Plugged in, charging"; empty without a battery
};

// charging is the flags AND 8 (8 or 0); an ac_line other than 0 counts as mains power.
BatteryTexts battery_texts_build(int64_t percent, int64_t charging, int64_t ac_line);

// The event line after a change: with an unchanged status the charge and the time left (when known),
// otherwise the charge and the new status.
std::wstring battery_change_line(std::wstring_view value_text, std::wstring_view status_text, bool status_changed,
                                 int64_t remaining_s);

// The line for a new full-charge life time.
std::wstring battery_full_life_line(int64_t full_life_s);

// The compact window's title in the battery title mode.
std::wstring battery_title_text(std::wstring_view value_text, int64_t percent);

// The cell's colours for the next step: a highlighted cell goes back to normal; a low battery that is not
// charging is highlighted; otherwise nothing changes (and the cell is drawn only when its text changed).
struct BatteryCellColors {
    bool change = false;
    int32_t back_color = 0;
    int32_t text_color = 0;
};
inline constexpr int32_t BATTERY_HIGHLIGHT_COLOR = 0xFFCBFF;
BatteryCellColors battery_cell_colors(int32_t back_color, int64_t percent, int64_t charging);

// The battery column's title and the line of a battery-saver change.
std::wstring battery_column_title(bool saver_on);
std::wstring battery_saver_line(std::wstring_view value_text, bool saver_on);
