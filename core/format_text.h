// Small text builders for durations, ages, sizes, frequencies, percentages, choices and base-36 numbers.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

// The digits of base 36, values 0..35; the first 16 are the hexadecimal digits.
inline constexpr std::wstring_view BASE36_DIGITS = L"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
inline constexpr std::wstring_view HEX_DIGITS = BASE36_DIGITS.substr(0, 16);

// Seconds as "1d 1h 1m 1s", leaving out the parts that are 0; "0s" for 0 or less.
std::wstring format_duration(int64_t seconds);

// Seconds as "1d 1h 1m" (no seconds part); the empty text for less than a minute either way. A negative
// value gives negative parts ("-1m").
std::wstring format_duration_dhm(int64_t seconds);

// The age of SharedQuads[AGE_STAMP] as "~ 2m 5s ago" (German "~ von 2m 5s"); the empty text while the
// stamp is 0. The two wordings are fixed, not looked up.
std::wstring format_age();

// A memory amount in 5 characters ("8192M", " 9.8G", " 128G") followed by the percent in 4 (" 45%").
std::wstring format_memory_mb(int64_t megabytes, int32_t percent);

// A clock in 7 characters: " 800MHz", " 3.6GHz", "  12GHz".
std::wstring format_frequency(int32_t megahertz);

// A percentage in 3 characters: " 5%", "99%", and "MAX" from 100 on.
std::wstring format_percent(int32_t percent);

// prefix + the signed change from old_value to new_value ("+3", "-2") + suffix; the empty text when equal.
std::wstring format_count_delta(std::wstring_view prefix, int32_t new_value, int32_t old_value,
                                std::wstring_view suffix);

// A positive number, or else the fallback, right-justified in width (a longer text is cut).
std::wstring right_align_number_or_text(int32_t number, int32_t width, std::wstring_view fallback);

std::wstring iif_text(int64_t flag, std::wstring_view when_true, std::wstring_view when_false);

// when_filled if the probe holds anything but spaces, else when_empty.
std::wstring iif_not_empty(std::wstring_view probe, std::wstring_view when_filled, std::wstring_view when_empty);

// Translated "Yes" or "No".
std::wstring yes_no_text(int64_t flag);

// The index-th text (1-based) of the list; any other index gives translated "Type" and the index ("Type 17").
std::wstring choose_text(int32_t index, std::initializer_list<std::wstring_view> texts);

// Base 36 with digits 0-9A-Z, most significant first ("Z", "10", "ZZ"); the empty text for a negative value.
std::wstring base36_encode(int64_t value);

// Reads base-36 digits (either case) and caps the result at maximum; 0 for the empty text or any character
// that is not a digit. Input of any length is safe: the value stops growing once it passes the maximum.
int64_t base36_decode(std::wstring_view digits, int64_t maximum);

// The field after the marker in "135~Storage Monitor~": text_after_marker(that, L"135") gives "Storage Monitor".
// Exactly: the second "~"-separated field of the text from two characters after the marker's first
// character on; the empty text when the marker is absent or either text is empty.
std::wstring text_after_marker(std::wstring_view text, std::wstring_view marker);
