// Writing numbers for display: single-precision fixed-point text, digits in groups and fixed-width fields.
#include "core/format_number.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// Decimal digits of a non-negative integral double, last digit first. Below 2^64 the value converts to an
// integer exactly; a larger one is mantissa × 2^exponent and is written from a little big number.
std::wstring integral_digits_reversed(double value) {
    std::wstring digits;
    if (value < 18446744073709551616.0) {
        uint64_t number = static_cast<uint64_t>(value);
        do {
            digits.push_back(static_cast<wchar_t>(L'0' + number % 10));
            number /= 10;
        } while (number > 0);
        return digits;
    }
    int exponent = 0;
    const double fraction = std::frexp(value, &exponent);
    const auto mantissa = static_cast<uint64_t>(std::ldexp(fraction, 53));
    exponent -= 53;  // positive here, since the value is at least 2^64

    // Limbs of 32 bits, least significant first.
    std::vector<uint32_t> limbs(static_cast<size_t>(exponent / 32) + 3, 0);
    const int shift = exponent % 32;
    const size_t base = static_cast<size_t>(exponent / 32);
    const uint64_t low = mantissa << shift;
    const uint64_t high = shift == 0 ? 0 : mantissa >> (64 - shift);
    limbs[base] = static_cast<uint32_t>(low);
    limbs[base + 1] = static_cast<uint32_t>(low >> 32);
    limbs[base + 2] = static_cast<uint32_t>(high);

    while (!limbs.empty()) {
        uint64_t remainder = 0;
        for (size_t i = limbs.size(); i-- > 0;) {
            const uint64_t current = (remainder << 32) | limbs[i];
            limbs[i] = static_cast<uint32_t>(current / 10);
            remainder = current % 10;
        }
        digits.push_back(static_cast<wchar_t>(L'0' + remainder));
        while (!limbs.empty() && limbs.back() == 0) {
            limbs.pop_back();
        }
    }
    return digits;
}

}  // namespace

std::wstring format_fixed(float value, int decimals) {
    if (std::isnan(value)) {
        return L"nan";
    }
    if (std::isinf(value)) {
        return value < 0 ? L"-inf" : L"inf";
    }
    // The library printf rounds halves differently on each C runtime, so the digits are made here.
    // A float widened to double and scaled by at most 1000 stays exact (24 + 10 bits < 53 bits).
    static constexpr double SCALE[] = {1.0, 10.0, 100.0, 1000.0};
    decimals = std::clamp(decimals, 0, 3);
    const bool negative = value < 0.0f;
    const double scaled = std::round(std::fabs(static_cast<double>(value)) * SCALE[decimals]);

    std::wstring digits = integral_digits_reversed(scaled);
    while (digits.size() < static_cast<size_t>(decimals) + 1) {
        digits.push_back(L'0');
    }

    std::wstring text;
    text.reserve(digits.size() + 2);
    if (negative) {
        text.push_back(L'-');
    }
    for (size_t i = digits.size(); i-- > 0;) {
        text.push_back(digits[i]);
        if (i == static_cast<size_t>(decimals) && decimals > 0) {
            text.push_back(L'.');
        }
    }
    return text;
}

std::wstring grouped_number(int64_t value) {
    // Digits of the magnitude without overflow for the most negative value.
    const bool negative = value < 0;
    uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    std::wstring digits;
    int count = 0;
    do {
        if (count > 0 && count % 3 == 0) digits += L',';
        digits += static_cast<wchar_t>(L'0' + magnitude % 10);
        magnitude /= 10;
        ++count;
    } while (magnitude != 0);
    if (negative) digits += L'-';
    return std::wstring(digits.rbegin(), digits.rend());
}

std::wstring right_justify(std::wstring_view text, int width) {
    if (width <= 0) {
        return {};
    }
    const size_t w = static_cast<size_t>(width);
    if (text.size() >= w) {
        return std::wstring(text.substr(0, w));
    }
    std::wstring result(w - text.size(), L' ');
    result.append(text);
    return result;
}
