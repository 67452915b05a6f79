// The app theme value's meaning.
#include "ui/dark_mode.h"

int dark_theme_from_value(bool value_read, uint32_t value) {
    if (!value_read) return 0;
    const int64_t distance = static_cast<int64_t>(value) - 1;
    return distance != 0 ? 1 : 0;
}
