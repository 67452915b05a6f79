// The 50-character settings code: 26 option flags and 13 small choices, one character each.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

constexpr int SETTINGS_CODE_LENGTH = 50;
constexpr int SETTINGS_CODE_MIN_LENGTH = 26;
constexpr int SETTINGS_FLAG_COUNT = 26;

// The settings the code carries, as plain numbers.
struct SettingsCodeValues {
    std::array<int32_t, SETTINGS_FLAG_COUNT> flags{};  // SharedInts SETTINGS_FLAGS..SETTINGS_FLAGS_LAST
    int32_t opacity_step = 8;                          // position 27, decimal, 1..9
    int32_t title_mode = 0;                            // 28, decimal, 0..8
    int32_t long_idle_choice = 0;                      // 29, hexadecimal, 0..15
    int32_t ping_mode = 0;                             // 30, hexadecimal, 0..4
    int32_t ping_slow_choice = 1;                      // 31, hexadecimal, 0..15
    int32_t ping_interval_choice = 0;                  // 32, hexadecimal, 0..15
    int32_t byte_unit = 0;                             // 33, hexadecimal, 0..5
    int32_t eventlog_age_choice = 0;                   // 34, hexadecimal, 0..14 (the last item: no age limit)
    int32_t width_step = 0;                            // 35, hexadecimal, 0..15
    int32_t height_step = 0;                           // 36, hexadecimal, 0..15
    int32_t compact_font_size = 10;                    // 37, base 36 of size - 10, sizes 10..26
    int32_t ping_font_size = 9;                        // 38, base 36 of size - 9, sizes 9..28
    int32_t eventlog_font_size = 9;                    // 39, base 36 of size - 9, sizes 9..28
};

// The values with which the program starts when no settings file is read.
SettingsCodeValues settings_code_defaults();

// The code of the values: always exactly SETTINGS_CODE_LENGTH characters (values out of range are written at the
// nearest end).
std::wstring settings_code_encode(const SettingsCodeValues& values);

// Reads a code into values, leaving what it does not reach as it is. False, with values unchanged, when the
// code is not SETTINGS_CODE_MIN_LENGTH to SETTINGS_CODE_LENGTH characters long (a 51-character code of the older
// two-digit font size 26 is read too). Flags other than "0"/"1" read 0; positions 27 to 29 out of range take their
// defaults; positions 30 to 36 out of range, or not digits of their base, take their defaults; 37 to 39 are capped to
// their ranges.
bool settings_code_decode(std::wstring_view code, SettingsCodeValues& values);

// The values in force: SharedInts, and the window-size track bars when they exist.
SettingsCodeValues settings_code_values_current();
// Stores values into SharedInts, with LONG_IDLE_SECONDS from the long-idle choice.
void settings_code_values_store(const SettingsCodeValues& values);

// The code of the current settings.
std::wstring settings_code_build();

// Reads SETTINGS_CODE_TEXT into the settings and empties it; false when the code was refused as a whole.
bool settings_code_parse();
