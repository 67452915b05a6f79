// The window positions text ("v", main x, "w", main y, "x", compact x, "y", compact y).
#include "core/window_positions.h"

#include <limits>

#include "core/control_numbers.h"
#include "core/settings_file_hooks.h"
#include "core/shared_state.h"

namespace {

int32_t* field_of(wchar_t letter, WindowPositions& positions) {
    switch (letter) {
        case L'v':
        case L'V': return &positions.main_x;
        case L'w':
        case L'W': return &positions.main_y;
        case L'x':
        case L'X': return &positions.compact_x;
        case L'y':
        case L'Y': return &positions.compact_y;
        default: return nullptr;
    }
}

// The number at the start of the text: an optional sign and decimal digits, capped to the 32-bit range.
// `used` receives the characters read.
int32_t leading_number(std::wstring_view text, size_t& used) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) {
        negative = text[i] == L'-';
        ++i;
    }
    int64_t value = 0;
    const size_t digits_start = i;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        if (value <= std::numeric_limits<int32_t>::max()) value = value * 10 + (text[i] - L'0');
    }
    used = i == digits_start ? 0 : i;  // a lone sign is not a number
    if (negative) value = -value;
    if (value > std::numeric_limits<int32_t>::max()) value = std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min()) value = std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

}  // namespace

std::wstring window_positions_format(const WindowPositions& positions) {
    return L"v" + std::to_wstring(positions.main_x) + L"w" + std::to_wstring(positions.main_y) + L"x" +
           std::to_wstring(positions.compact_x) + L"y" + std::to_wstring(positions.compact_y);
}

void window_positions_parse(std::wstring_view text, WindowPositions& positions) {
    size_t i = 0;
    while (i < text.size()) {
        int32_t* field = field_of(text[i], positions);
        ++i;
        if (!field) continue;
        size_t used = 0;
        *field = leading_number(text.substr(i), used);
        i += used;
    }
}

std::wstring window_positions_display(const WindowPositions& positions) {
    return std::to_wstring(positions.main_x) + L", " + std::to_wstring(positions.main_y) + L"\r\n" +
           std::to_wstring(positions.compact_x) + L", " + std::to_wstring(positions.compact_y);
}

WindowPositions window_positions_current() {
    WindowPositions positions;
    positions.main_x = SharedInts[MAIN_X].load();
    positions.main_y = SharedInts[MAIN_Y].load();
    positions.compact_x = SharedInts[COMPACT_X].load();
    positions.compact_y = SharedInts[COMPACT_Y].load();
    return positions;
}

std::wstring window_positions_text() { return window_positions_format(window_positions_current()); }

void window_positions_read() {
    const SettingsUiHooks hooks = settings_ui_hooks();
    WindowPositions positions;
    if (hooks.window_position) {
        if (!hooks.window_position(WIN_MAIN, &positions.main_x, &positions.main_y))
            positions.main_x = positions.main_y = 0;
        if (!hooks.window_position(WIN_COMPACT, &positions.compact_x, &positions.compact_y)) {
            positions.compact_x = positions.compact_y = 0;
        }
    }
    window_positions_parse(shared_text(DIGITS_SAVED), positions);
    SharedInts[MAIN_X] = positions.main_x;
    SharedInts[MAIN_Y] = positions.main_y;
    SharedInts[COMPACT_X] = positions.compact_x;
    SharedInts[COMPACT_Y] = positions.compact_y;
    if (hooks.control_text_set) hooks.control_text_set(TEXT_POSITIONS_VALUES, window_positions_display(positions));
}
