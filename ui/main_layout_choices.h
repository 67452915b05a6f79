// The items of the main window's choice boxes and which item each selects when the window is built.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Shown words of the time units (translated by the caller).
struct TimeWords {
    std::wstring second, seconds, minute, minutes, hour, hours, day, days;
    std::wstring default_word;  // "Default"
    std::wstring disabled;      // "Disabled"
    std::wstring forever;       // "Forever"
};

// The items of a choice list and the index of the item marked " (Default)"; -1 when none is marked.
struct ChoiceItems {
    std::vector<std::wstring> items;
    int default_index = -1;
};

// Ping intervals from the comma-separated seconds (at most 16 fields; a field of 0 ends the list):
// "1 Second", "2 Seconds", "1 Minute (Default)", "2 Hours"; the item equal to `default_seconds` is marked.
ChoiceItems ping_interval_items(std::wstring_view choices, int default_seconds, const TimeWords& words);

// Event-log ages from the comma-separated days: "1 Day", "7 Days" ..., then "Forever".
std::vector<std::wstring> event_age_items(std::wstring_view choices, const TimeWords& words);

// Long-idle thresholds from the comma-separated minutes (at most 31 fields): "1 Minute", "10 Minutes
// (Default)", "2 Hours"; a field below 1 gives "Disabled" and ends the list. `default_minutes` is marked.
ChoiceItems long_idle_items(std::wstring_view choices, int default_minutes, const TimeWords& words);

// "9pt" .. "28pt".
std::vector<std::wstring> font_size_items();
// "50", "100" .. "800": the slow-reply thresholds in milliseconds.
std::vector<std::wstring> ping_slow_items();

// The item a choice box shows when the window is built. A choice that the settings file gave is kept
// while it names an item; otherwise (no settings file, or a value out of range) the marked default, or
// item 0 when nothing is marked.
int built_choice(int current_choice, bool settings_given, int default_index, int item_count);

// An index into `count` items: the index when it is one, else `fallback`.
int item_index_checked(int index, int count, int fallback);

// The field values of a comma-separated list of numbers; a field that is not a number reads as 0.
std::vector<int> choice_numbers(std::wstring_view choices);
