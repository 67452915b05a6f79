// Items of the interval, age, idle, font-size and slow-reply choice boxes, and the item chosen at build.
#include "ui/main_layout_choices.h"

#include "runtime/text.h"

namespace {

constexpr size_t PING_INTERVAL_FIELDS = 16;
constexpr size_t LONG_IDLE_FIELDS = 31;

// A field's number; 0 for anything but digits (so a damaged list ends where it is damaged). Large
// values are capped so that no arithmetic on them overflows.
int field_number(std::wstring_view field) {
    const std::wstring trimmed = text_trim(field);
    if (trimmed.empty()) return 0;
    int number = 0;
    for (const wchar_t c : trimmed) {
        if (c < L'0' || c > L'9') return 0;
        if (number < 100000000) number = number * 10 + (c - L'0');
    }
    return number;
}

std::wstring counted(int count, const std::wstring& one, const std::wstring& many) {
    return std::to_wstring(count) + L" " + (count > 1 ? many : one);
}

std::wstring marked(std::wstring item, const TimeWords& words) { return item + L" (" + words.default_word + L")"; }

}  // namespace

std::vector<int> choice_numbers(std::wstring_view choices) {
    std::vector<int> numbers;
    if (choices.empty()) return numbers;
    for (const std::wstring& field : text_split(choices, L',')) numbers.push_back(field_number(field));
    return numbers;
}

ChoiceItems ping_interval_items(std::wstring_view choices, int default_seconds, const TimeWords& words) {
    ChoiceItems result;
    const std::vector<int> numbers = choice_numbers(choices);
    for (size_t i = 0; i < numbers.size() && i < PING_INTERVAL_FIELDS; ++i) {
        const int v = numbers[i];
        if (v == 0) break;
        std::wstring item;
        if (v >= 3600) {
            item = counted(v / 3600, words.hour, words.hours);
        } else if (v >= 60) {
            item = counted(v / 60, words.minute, words.minutes);
        } else {
            item = counted(v, words.second, words.seconds);
        }
        if (v == default_seconds) {
            item = marked(std::move(item), words);
            result.default_index = static_cast<int>(result.items.size());
        }
        result.items.push_back(std::move(item));
    }
    return result;
}

std::vector<std::wstring> event_age_items(std::wstring_view choices, const TimeWords& words) {
    std::vector<std::wstring> items;
    for (const int v : choice_numbers(choices))
        items.push_back(std::to_wstring(v) + L" " + (v <= 1 ? words.day : words.days));
    items.push_back(words.forever);
    return items;
}

ChoiceItems long_idle_items(std::wstring_view choices, int default_minutes, const TimeWords& words) {
    ChoiceItems result;
    const std::vector<int> numbers = choice_numbers(choices);
    for (size_t i = 0; i < LONG_IDLE_FIELDS; ++i) {
        const int v = i < numbers.size() ? numbers[i] : 0;
        if (v < 1) {
            result.items.push_back(words.disabled);
            break;
        }
        std::wstring item =
            v >= 60 ? counted(v / 60, words.hour, words.hours) : counted(v, words.minute, words.minutes);
        if (v == default_minutes) {
            item = marked(std::move(item), words);
            result.default_index = static_cast<int>(result.items.size());
        }
        result.items.push_back(std::move(item));
    }
    return result;
}

std::vector<std::wstring> font_size_items() {
    std::vector<std::wstring> items;
    for (int points = 9; points <= 28; ++points) items.push_back(std::to_wstring(points) + L"pt");
    return items;
}

std::vector<std::wstring> ping_slow_items() {
    std::vector<std::wstring> items;
    for (int ms = 50; ms <= 800; ms += 50) items.push_back(std::to_wstring(ms));
    return items;
}

int item_index_checked(int index, int count, int fallback) { return index >= 0 && index < count ? index : fallback; }

int built_choice(int current_choice, bool settings_given, int default_index, int item_count) {
    const int fallback = item_index_checked(default_index, item_count, 0);
    if (!settings_given) return fallback;
    return item_index_checked(current_choice, item_count, fallback);
}
