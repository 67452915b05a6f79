// The Settings tab's control-to-setting table and the checks on values that pass between them.
#include "core/settings_controls.h"

#include <array>
#include <string_view>

namespace {

constexpr std::array<OptionCheckBox, 23> CHECK_BOXES = {{
    {CHECK_ALWAYS_ON_TOP, OPT_ALWAYS_ON_TOP, false},
    {CHECK_LOG_FILE, OPT_LOG_FILE, false},
    {CHECK_LOG_BUFFERING, OPT_LOG_BUFFERING, false},
    {CHECK_LOG_STORAGE_EVENTS, OPT_LOG_STORAGE_EVENTS, false},
    {CHECK_LOG_NETWORK_EVENTS, OPT_LOG_NETWORK_EVENTS, false},
    {CHECK_LOG_DRIVE_SPACE, OPT_LOG_DRIVE_SPACE, false},
    {CHECK_LOG_SYSTEM_EVENTS, OPT_LOG_SYSTEM_EVENTS, false},
    {CHECK_RESTORE_SESSION, OPT_RESTORE_SESSION, false},
    {CHECK_REMEMBER_POSITIONS, OPT_REMEMBER_POSITIONS, false},
    {CHECK_START_MINIMIZED, OPT_START_MINIMIZED, false},
    {CHECK_POPUP_ON_DRIVES, OPT_POPUP_ON_DRIVES, false},
    {CHECK_PING_TIMELINE_FULL, OPT_PING_TIMELINE_FULL, false},
    {CHECK_REALTIME_MEMORY, OPT_REALTIME_MEMORY, false},
    {CHECK_REALTIME_NETWORK, OPT_REALTIME_NETWORK, false},
    {CHECK_EXTENDED_HISTORY, OPT_EXTENDED_HISTORY, false},
    {CHECK_SOUND, OPT_SOUND, false},
    {CHECK_TRAY_ICON, OPT_TRAY_ICON, false},
    {CHECK_DISK_ACTIVITY_ICON, OPT_DISK_ACTIVITY_ICON, true},
    {CHECK_TRAY_SINGLE_CLICK, OPT_TRAY_SINGLE_CLICK, false},
    {CHECK_CLOSE_TO_TRAY, OPT_CLOSE_TO_TRAY, false},
    {CHECK_MINIMIZE_TO_TRAY, OPT_MINIMIZE_TO_TRAY, false},
    {CHECK_TRANSPARENT, OPT_TRANSPARENT, false},
    {CHECK_BORDERLESS, OPT_BORDERLESS, false},
}};

constexpr int SIZE_STEPS = 15;

constexpr std::array<SettingsChoice, 12> CHOICES = {{
    {COMBO_TITLE_TEXT, TITLE_MODE, 0, 0, -1},
    {COMBO_LONG_IDLE, LONG_IDLE_CHOICE, 0, 0, -1},
    {COMBO_NETWORK_UNIT, NET_SHOW_PACKETS, 0, 0, -1},
    {TRACK_TRANSPARENCY, OPACITY_STEP, 0, 1, 9},
    {COMBO_PING_MODE, PING_MODE, 0, 0, -1},
    {COMBO_PING_FONT_SIZE, PING_FONT_SIZE, 9, 0, -1},
    {COMBO_PING_SLOW, PING_SLOW_CHOICE, 0, 0, -1},
    {COMBO_PING_INTERVAL, PING_INTERVAL_CHOICE, 0, 0, -1},
    {COMBO_EVENT_FONT_SIZE, EVENTLOG_FONT_SIZE, 9, 0, -1},
    {COMBO_BYTE_UNIT, BYTE_UNIT, 0, 0, -1},
    {TRACK_WINDOW_WIDTH, MAIN_WIDTH_STEP, 0, 0, SIZE_STEPS},
    {TRACK_WINDOW_HEIGHT, MAIN_HEIGHT_STEP, 0, 0, SIZE_STEPS},
}};

}  // namespace

std::span<const OptionCheckBox> option_check_boxes() { return CHECK_BOXES; }

const OptionCheckBox* option_check_box(int control) {
    for (const OptionCheckBox& box : CHECK_BOXES) {
        if (box.control == control) return &box;
    }
    return nullptr;
}

int check_state_of(int32_t value) { return value > 0 ? 1 : value < 0 ? -1 : 0; }

int32_t option_flipped(int32_t value) { return value ^ 1; }

std::span<const SettingsChoice> settings_choices() { return CHOICES; }

const SettingsChoice* settings_choice(int control) {
    for (const SettingsChoice& choice : CHOICES) {
        if (choice.control == control) return &choice;
    }
    return nullptr;
}

int choice_shown(const SettingsChoice& choice, int32_t value, int item_count, int fallback) {
    if (choice.element == NET_SHOW_PACKETS) return value == 1 ? 1 : 0;
    if (choice.element == BYTE_UNIT) return value >= 1 && value <= 5 ? value : 0;
    const int64_t shown = static_cast<int64_t>(value) - choice.offset;
    const int64_t maximum = choice.maximum >= 0 ? choice.maximum : static_cast<int64_t>(item_count) - 1;
    return shown >= choice.minimum && shown <= maximum ? static_cast<int>(shown) : fallback;
}

std::optional<int> combo_choice_taken(int selected, int item_count) {
    if (selected < 0 || selected >= item_count) return std::nullopt;
    return selected;
}

std::optional<int> track_position_taken(int position, int minimum, int maximum) {
    if (position < minimum || position > maximum) return std::nullopt;
    return position;
}

int32_t long_idle_seconds(std::wstring_view choices, int choice) {
    if (choice < 0) return 0;
    int field = 0;
    size_t start = 0;
    while (field < choice) {
        const size_t comma = choices.find(L',', start);
        if (comma == std::wstring_view::npos) return 0;
        start = comma + 1;
        ++field;
    }
    const size_t end = choices.find(L',', start);
    const std::wstring_view text = choices.substr(start, end == std::wstring_view::npos ? end : end - start);
    int64_t minutes = 0;
    for (const wchar_t c : text) {
        if (c == L' ') continue;
        if (c < L'0' || c > L'9') return 0;
        minutes = minutes * 10 + (c - L'0');
        if (minutes > 1000000) return 0;  // more than any idle time the program can see
    }
    return static_cast<int32_t>(minutes * 60);
}
