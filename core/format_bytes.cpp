// Byte counts (and bit rates) as short texts in the fixed styles of the drive, memory and network views.
#include "core/format_bytes.h"

#include <algorithm>

#include "core/format_number.h"
#include "core/shared_state.h"

namespace {

// A count as sign and magnitude, so that INT64_MIN and the difference of any two int64 counts have a
// magnitude without overflow.
struct Count {
    bool negative = false;
    uint64_t magnitude = 0;
};

Count count_of(int64_t value) {
    const uint64_t bits = static_cast<uint64_t>(value);
    return value < 0 ? Count{true, 0 - bits} : Count{false, bits};
}

// Binary bands: each upper bound lies just below 9999.95 of the band's unit, so no number needs more
// than five integer digits.
enum BinaryBand : int { BAND_B = 0, BAND_K = 1, BAND_M = 2, BAND_G = 3, BAND_T = 4 };
constexpr uint64_t BINARY_BAND_BELOW[] = {10'000, 10'239'948, 10'485'707'265, 10'737'364'238'337};
constexpr wchar_t BINARY_UNIT[] = {L'B', L'K', L'M', L'G', L'T'};

int binary_band(uint64_t magnitude) {
    int band = BAND_B;
    while (band < BAND_T && magnitude >= BINARY_BAND_BELOW[band]) {
        ++band;
    }
    return band;
}

float count_float(Count count) {
    const float f = static_cast<float>(count.magnitude);
    return count.negative ? -f : f;
}

// The count divided by 1024^power; dividing the rounded float by a power of two is exact, so this is the
// quotient rounded once to single precision.
float binary_quotient(Count count, int power) {
    return count_float(count) / static_cast<float>(uint64_t{1} << (10 * power));
}

// Decimal bit units; 10^12 is kept as the single-precision constant it always was (999,999,995,904).
constexpr uint64_t DECIMAL_BAND_BELOW[] = {1'000, 1'000'000, 1'000'000'000, 1'000'000'000'000};
constexpr double DECIMAL_DIVISOR[] = {1.0, 1e3, 1e6, 1e9, static_cast<double>(1e12f)};
constexpr const wchar_t* DECIMAL_UNIT[] = {L"b", L"Kb", L"Mb", L"Gb", L"Tb"};

std::wstring format_decimal_bits(Count count, bool trim_decimals) {
    int band = 0;
    if (!count.negative) {
        while (band < 4 && count.magnitude >= DECIMAL_BAND_BELOW[band]) {
            ++band;
        }
    }
    float quotient = count_float(count);
    if (band > 0) {
        quotient = static_cast<float>(static_cast<double>(count.magnitude) / DECIMAL_DIVISOR[band]);
    }
    if (!trim_decimals || band < 2) {
        return format_fixed(quotient, 0) + DECIMAL_UNIT[band];
    }
    std::wstring number = format_fixed(quotient, 3);
    while (!number.empty() && number.back() == L'0') {
        number.pop_back();
    }
    if (!number.empty() && number.back() == L'.') {
        number.pop_back();
    }
    return number + DECIMAL_UNIT[band];
}

std::wstring format_count(Count count, int style) {
    if (count.magnitude == 0) {
        switch (style) {
            case FORMAT_BYTES_CHANGE: return L"    -- ";
            case FORMAT_BYTES_SHORT:
            case FORMAT_BYTES_MEMORY: return L"0.0!";
            case FORMAT_BYTES_TRAFFIC: return L"   -- ";
            case FORMAT_BYTES_DECIMAL_BITS:
            case FORMAT_BYTES_LINK_SPEED: return L"0";
            case FORMAT_BYTES_RATE: return L"  -- ";
            case FORMAT_BYTES_FIXED_UNIT: return L"0!";
            case FORMAT_BYTES_GPU_MEMORY: return {};
            default: return L"    0.0!";
        }
    }

    switch (style) {
        case FORMAT_BYTES_CHANGE: {
            const int band = binary_band(count.magnitude);
            const std::wstring sign = count.negative ? L"-" : L"+";
            const float number = binary_quotient(Count{false, count.magnitude}, band);
            return right_justify(sign + format_fixed(number, 0), 6) + BINARY_UNIT[band];
        }
        case FORMAT_BYTES_SHORT:
        case FORMAT_BYTES_MEMORY: {
            const int band = binary_band(count.magnitude);
            const int first_decimal_band = style == FORMAT_BYTES_SHORT ? BAND_M : BAND_G;
            const int decimals = band >= first_decimal_band ? 1 : 0;
            return format_fixed(binary_quotient(count, band), decimals) + BINARY_UNIT[band];
        }
        case FORMAT_BYTES_TRAFFIC: {
            const int band = binary_band(count.magnitude);
            return right_justify(format_fixed(binary_quotient(count, band), 0), 5) + BINARY_UNIT[band];
        }
        case FORMAT_BYTES_DECIMAL_BITS: return format_decimal_bits(count, false);
        case FORMAT_BYTES_LINK_SPEED: return format_decimal_bits(count, true);
        case FORMAT_BYTES_RATE: {
            // No byte band: a rate below ten thousand K, or a negative one, is written in K.
            const int band = count.negative ? BAND_K : std::max(binary_band(count.magnitude), int{BAND_K});
            return right_justify(format_fixed(binary_quotient(count, band), 0), 4) + BINARY_UNIT[band];
        }
        case FORMAT_BYTES_FIXED_UNIT: {
            const int unit = SharedInts[BYTE_UNIT].load(std::memory_order_relaxed);
            if (unit == BYTE_UNIT_B) {
                return format_fixed(count_float(count), 0);
            }
            if (unit < BYTE_UNIT_K || unit > BYTE_UNIT_T) {
                return {};
            }
            const int power = unit - BYTE_UNIT_B;
            return format_fixed(binary_quotient(count, power), power >= BAND_M ? 1 : 0) + BINARY_UNIT[power];
        }
        case FORMAT_BYTES_GPU_MEMORY: {
            int power = BAND_M;
            if (!count.negative && count.magnitude >= (uint64_t{1} << 30)) {
                power = count.magnitude >= (uint64_t{1} << 40) ? BAND_T : BAND_G;
            }
            return format_fixed(binary_quotient(count, power), 0) + BINARY_UNIT[power] + L"B";
        }
        default: {
            const int band = binary_band(count.magnitude);
            return right_justify(format_fixed(binary_quotient(count, band), 1), 7) + BINARY_UNIT[band];
        }
    }
}

}  // namespace

std::wstring format_bytes(int64_t value, int style) { return format_count(count_of(value), style); }

std::wstring format_bytes_delta(std::wstring_view prefix, int64_t new_value, int64_t old_value,
                                std::wstring_view suffix) {
    if (new_value == old_value) {
        return {};
    }
    // Unsigned subtraction wraps, and the true difference is below 2^64, so the magnitude is exact.
    const uint64_t new_bits = static_cast<uint64_t>(new_value);
    const uint64_t old_bits = static_cast<uint64_t>(old_value);
    std::wstring text(prefix);
    if (new_value > old_value) {
        text += L'+';
        text += format_count(Count{false, new_bits - old_bits}, FORMAT_BYTES_MEMORY);
    } else {
        text += format_count(Count{true, old_bits - new_bits}, FORMAT_BYTES_MEMORY);
    }
    text += suffix;
    return text;
}
