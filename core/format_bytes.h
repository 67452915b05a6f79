// Byte counts (and bit rates) as short texts in the fixed styles of the drive, memory and network views.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Styles of format_bytes. Any number not listed writes like FORMAT_BYTES_COLUMN; callers pass 0.
enum FormatBytesStyle : int {
    FORMAT_BYTES_COLUMN = 0,        // one decimal, right-justified in 7, unit letter: "  512.0B"
    FORMAT_BYTES_CHANGE = 1,        // sign and whole number in 6, unit letter: "  +512B"
    FORMAT_BYTES_SHORT = 2,         // B and K whole, M G T one decimal: "117.7M"
    FORMAT_BYTES_TRAFFIC = 3,       // whole number in 5, unit letter: "  512B"
    FORMAT_BYTES_DECIMAL_BITS = 4,  // decimal units, whole numbers: "10Kb"
    FORMAT_BYTES_MEMORY = 5,        // B K M whole, G T one decimal: "118M"
    FORMAT_BYTES_LINK_SPEED = 6,    // decimal units, up to three decimals without trailing zeros: "1.536Mb"
    FORMAT_BYTES_RATE = 7,          // K M G T only, whole number in 4, unit letter: "  10K"
    FORMAT_BYTES_FIXED_UNIT = 8,    // the unit SharedInts[BYTE_UNIT] chose
    FORMAT_BYTES_GPU_MEMORY = 9,    // whole MB, GB or TB: "8GB"
};

// Values of SharedInts[BYTE_UNIT] (0 means automatic; callers then use FORMAT_BYTES_SHORT instead).
enum ByteUnit : int {
    BYTE_UNIT_AUTO = 0,
    BYTE_UNIT_B = 1,
    BYTE_UNIT_K = 2,
    BYTE_UNIT_M = 3,
    BYTE_UNIT_G = 4,
    BYTE_UNIT_T = 5
};

// The count in the style; 0 gives the style's zero text. Never fails, for any int64 value.
std::wstring format_bytes(int64_t value, int style);

// prefix + the change from old_value to new_value in FORMAT_BYTES_MEMORY with its sign ("+" or "-") + suffix;
// the empty text when the values are equal. The change is exact even where new − old exceeds int64.
std::wstring format_bytes_delta(std::wstring_view prefix, int64_t new_value, int64_t old_value,
                                std::wstring_view suffix);
