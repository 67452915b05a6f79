// Writing numbers for display: single-precision fixed-point text, digits in groups and fixed-width fields.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The value in fixed-point notation with `decimals` digits (0..3) after the point: rounded to the nearest,
// halves away from zero, a leading "-" when negative, no separators, no exponent. A value that is exactly
// zero has no sign; one that only rounds to zero keeps its "-" ("-0.0"). Not-a-number gives "nan".
std::wstring format_fixed(float value, int decimals);

// A whole number with "," between groups of three digits: "15,502,147,584", "-1,000".
std::wstring grouped_number(int64_t value);

// The text padded on the left with spaces to `width` characters; a longer text is cut to its first
// `width` characters (a column never widens). A width below 1 gives the empty text.
std::wstring right_justify(std::wstring_view text, int width);
