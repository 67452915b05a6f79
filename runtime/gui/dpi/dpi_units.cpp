// Conversions between 96-DPI units and screen pixels, rounded like MulDiv.
#include "runtime/gui/dpi/dpi_units.h"

#include <cstdint>

namespace {

int multiply_divide(int value, int numerator, int denominator) {
    const int64_t product = static_cast<int64_t>(value) * numerator;
    const int64_t half = denominator / 2;
    const int64_t result = product >= 0 ? (product + half) / denominator : -((-product + half) / denominator);
    if (result > INT32_MAX) return INT32_MAX;
    if (result < INT32_MIN) return INT32_MIN;
    return static_cast<int>(result);
}

}  // namespace

int dpi_sane(int dpi) { return dpi >= 24 && dpi <= 2400 ? dpi : 96; }

int dpi_scale(int units, int dpi) { return multiply_divide(units, dpi_sane(dpi), 96); }

int dpi_unscale(int pixels, int dpi) { return multiply_divide(pixels, 96, dpi_sane(dpi)); }
