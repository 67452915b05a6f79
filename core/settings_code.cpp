// The 50-character settings code: 26 option flags and 13 small choices, one character each.
#include "core/settings_code.h"

#include "core/format_text.h"
#include "core/settings_file_hooks.h"
#include "core/shared_state.h"
#include "runtime/text.h"

namespace {

// A position that carries a small choice: its base, its valid range, and the value a bad digit gives.
struct Choice {
    int position;  // 1-based
    int base;
    int32_t low;
    int32_t high;
    int32_t SettingsCodeValues::*member;
};

// Positions 30 to 36 are choices of combo boxes and track bars; a value outside their items would select nothing.
constexpr Choice CHOICES[] = {
    {30, 16, 0, 4, &SettingsCodeValues::ping_mode},
    {31, 16, 0, 15, &SettingsCodeValues::ping_slow_choice},
    {32, 16, 0, 15, &SettingsCodeValues::ping_interval_choice},
    {33, 16, 0, 5, &SettingsCodeValues::byte_unit},
    {34, 16, 0, 14, &SettingsCodeValues::eventlog_age_choice},
    {35, 16, 0, 15, &SettingsCodeValues::width_step},
    {36, 16, 0, 15, &SettingsCodeValues::height_step},
};

constexpr int32_t COMPACT_FONT_MIN = 10;
constexpr int32_t COMPACT_FONT_MAX = 26;
constexpr int32_t LIST_FONT_MIN = 9;
constexpr int32_t LIST_FONT_MAX = 28;

int32_t clamp(int32_t value, int32_t low, int32_t high) { return value < low ? low : (value > high ? high : value); }

wchar_t digit(int32_t value) { return BASE36_DIGITS[static_cast<size_t>(value)]; }

// The value of a character in the base; -1 when it is not one of its digits (letters of either case).
int32_t digit_value(wchar_t c, int base) {
    int32_t value = -1;
    if (c >= L'0' && c <= L'9') value = c - L'0';
    if (c >= L'A' && c <= L'Z') value = c - L'A' + 10;
    if (c >= L'a' && c <= L'z') value = c - L'a' + 10;
    return value < base ? value : -1;
}

// The character at a 1-based position; "0" beyond the end, as a missing position reads as 0.
wchar_t at(std::wstring_view code, int position) {
    return static_cast<size_t>(position) <= code.size() ? code[position - 1] : L'0';
}

// An older release wrote the compact font size 26 as the two hexadecimal digits "10" at position 37, which
// made a 51-character code; it is read as the size it meant.
bool older_font_26_code(std::wstring_view code) {
    if (code.size() != SETTINGS_CODE_LENGTH + 1 || code.substr(36, 2) != L"10") return false;
    return code.substr(40).find_first_not_of(L'0') == std::wstring_view::npos;
}

}  // namespace

SettingsCodeValues settings_code_defaults() {
    SettingsCodeValues values;
    constexpr int32_t DEFAULT_FLAGS[SETTINGS_FLAG_COUNT] = {1, 1, 1, 0, 0, 1, 1, 1, 1, 0, 0, 0, 0,
                                                            0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0};
    for (int i = 0; i < SETTINGS_FLAG_COUNT; ++i) values.flags[i] = DEFAULT_FLAGS[i];
    return values;
}

std::wstring settings_code_encode(const SettingsCodeValues& values) {
    std::wstring code;
    code.reserve(SETTINGS_CODE_LENGTH);
    for (const int32_t flag : values.flags) code += flag >= 1 ? L'1' : L'0';
    code += digit(clamp(values.opacity_step, 1, 9));
    code += digit(clamp(values.title_mode, TITLE_MODE_DRIVES, TITLE_MODE_LAST));
    code += digit(clamp(values.long_idle_choice, 0, 15));
    for (const Choice& choice : CHOICES) code += digit(clamp(values.*choice.member, choice.low, choice.high));
    // Base 36 keeps the sizes 10 to 25 on their old hexadecimal digits and gives 26 the digit "G".
    code += digit(clamp(values.compact_font_size, COMPACT_FONT_MIN, COMPACT_FONT_MAX) - COMPACT_FONT_MIN);
    code += digit(clamp(values.ping_font_size, LIST_FONT_MIN, LIST_FONT_MAX) - LIST_FONT_MIN);
    code += digit(clamp(values.eventlog_font_size, LIST_FONT_MIN, LIST_FONT_MAX) - LIST_FONT_MIN);
    code.append(11, L'0');
    return code;
}

bool settings_code_decode(std::wstring_view code, SettingsCodeValues& values) {
    std::wstring repaired;
    bool font_26 = false;
    if (older_font_26_code(code)) {
        repaired = std::wstring(code.substr(0, 36)) + L'0' + std::wstring(code.substr(38));
        code = repaired;
        font_26 = true;
    }
    if (code.size() < SETTINGS_CODE_MIN_LENGTH || code.size() > SETTINGS_CODE_LENGTH) return false;
    SettingsCodeValues result = values;
    for (int i = 0; i < SETTINGS_FLAG_COUNT; ++i) result.flags[i] = code[i] == L'1' ? 1 : 0;

    const int32_t opacity = digit_value(at(code, 27), 10);
    result.opacity_step = opacity >= 1 && opacity <= 9 ? opacity : 8;
    const int32_t title = digit_value(at(code, 28), 10);
    result.title_mode = title >= TITLE_MODE_DRIVES && title <= TITLE_MODE_LAST ? title : TITLE_MODE_DRIVES;
    const int32_t idle = digit_value(at(code, 29), 16);
    result.long_idle_choice = idle >= 0 ? idle : 0;

    if (code.size() > 29) {
        const SettingsCodeValues defaults = settings_code_defaults();
        for (const Choice& choice : CHOICES) {
            const int32_t value = digit_value(at(code, choice.position), choice.base);
            result.*choice.member = value >= choice.low && value <= choice.high ? value : defaults.*choice.member;
        }
        const int32_t compact = digit_value(at(code, 37), 36);
        result.compact_font_size =
            font_26 ? COMPACT_FONT_MAX
                    : clamp(compact < 0 ? 0 : compact, 0, COMPACT_FONT_MAX - COMPACT_FONT_MIN) + COMPACT_FONT_MIN;
        const int32_t ping_font = digit_value(at(code, 38), 36);
        result.ping_font_size = clamp(ping_font < 0 ? 0 : ping_font, 0, LIST_FONT_MAX - LIST_FONT_MIN) + LIST_FONT_MIN;
        const int32_t event_font = digit_value(at(code, 39), 36);
        result.eventlog_font_size =
            clamp(event_font < 0 ? 0 : event_font, 0, LIST_FONT_MAX - LIST_FONT_MIN) + LIST_FONT_MIN;
    }
    values = result;
    return true;
}

SettingsCodeValues settings_code_values_current() {
    SettingsCodeValues values;
    for (int i = 0; i < SETTINGS_FLAG_COUNT; ++i) values.flags[i] = SharedInts[SETTINGS_FLAGS + i].load();
    values.opacity_step = SharedInts[OPACITY_STEP].load();
    values.title_mode = SharedInts[TITLE_MODE].load();
    values.long_idle_choice = SharedInts[LONG_IDLE_CHOICE].load();
    values.ping_mode = SharedInts[PING_MODE].load();
    values.ping_slow_choice = SharedInts[PING_SLOW_CHOICE].load();
    values.ping_interval_choice = SharedInts[PING_INTERVAL_CHOICE].load();
    values.byte_unit = SharedInts[BYTE_UNIT].load();
    values.eventlog_age_choice = SharedInts[EVENTLOG_AGE_CHOICE].load();
    // The track bars hold the size chosen for the next start; the elements the size in force.
    values.width_step = SharedInts[MAIN_WIDTH_STEP].load();
    values.height_step = SharedInts[MAIN_HEIGHT_STEP].load();
    const SettingsUiHooks hooks = settings_ui_hooks();
    if (hooks.trackbar_position) {
        const int32_t width = hooks.trackbar_position(TRACK_WINDOW_WIDTH);
        const int32_t height = hooks.trackbar_position(TRACK_WINDOW_HEIGHT);
        if (width >= 0) values.width_step = width;
        if (height >= 0) values.height_step = height;
    }
    values.compact_font_size = SharedInts[COMPACT_FONT_SIZE].load();
    values.ping_font_size = SharedInts[PING_FONT_SIZE].load();
    values.eventlog_font_size = SharedInts[EVENTLOG_FONT_SIZE].load();
    return values;
}

void settings_code_values_store(const SettingsCodeValues& values) {
    for (int i = 0; i < SETTINGS_FLAG_COUNT; ++i) SharedInts[SETTINGS_FLAGS + i] = values.flags[i];
    SharedInts[OPACITY_STEP] = values.opacity_step;
    SharedInts[TITLE_MODE] = values.title_mode;
    SharedInts[LONG_IDLE_CHOICE] = values.long_idle_choice;
    // The long-idle threshold in seconds: the choice's field of the minutes list, times 60.
    const std::vector<std::wstring> minutes = text_split(shared_text(LONG_IDLE_CHOICES), L',');
    int32_t seconds = 0;
    if (values.long_idle_choice >= 0 && static_cast<size_t>(values.long_idle_choice) < minutes.size()) {
        int32_t number = 0;
        for (const wchar_t c : text_trim(minutes[values.long_idle_choice])) {
            if (c < L'0' || c > L'9' || number > 100000) break;
            number = number * 10 + (c - L'0');
        }
        seconds = 60 * number;
    }
    SharedInts[LONG_IDLE_SECONDS] = seconds;
    SharedInts[PING_MODE] = values.ping_mode;
    SharedInts[PING_SLOW_CHOICE] = values.ping_slow_choice;
    SharedInts[PING_INTERVAL_CHOICE] = values.ping_interval_choice;
    SharedInts[BYTE_UNIT] = values.byte_unit;
    SharedInts[EVENTLOG_AGE_CHOICE] = values.eventlog_age_choice;
    SharedInts[MAIN_WIDTH_STEP] = values.width_step;
    SharedInts[MAIN_HEIGHT_STEP] = values.height_step;
    SharedInts[COMPACT_FONT_SIZE] = values.compact_font_size;
    SharedInts[PING_FONT_SIZE] = values.ping_font_size;
    SharedInts[EVENTLOG_FONT_SIZE] = values.eventlog_font_size;
}

std::wstring settings_code_build() { return settings_code_encode(settings_code_values_current()); }

bool settings_code_parse() {
    const std::wstring code = shared_text(SETTINGS_CODE_TEXT);
    SettingsCodeValues values = settings_code_values_current();
    // The track bars do not take part in reading: positions 35 and 36 go into the sizes in force.
    values.width_step = SharedInts[MAIN_WIDTH_STEP].load();
    values.height_step = SharedInts[MAIN_HEIGHT_STEP].load();
    const bool accepted = settings_code_decode(code, values);
    if (accepted) {
        settings_code_values_store(values);
        shared_text_set(SETTINGS_CODE_TEXT, L"");
    }
    return accepted;
}
