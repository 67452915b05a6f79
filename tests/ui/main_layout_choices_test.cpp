// The items of the main window's choice boxes and the item each shows when the window is built.
#include "ui/main_layout_choices.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TimeWords english() {
    TimeWords words;
    words.second = L"Second";
    words.seconds = L"Seconds";
    words.minute = L"Minute";
    words.minutes = L"Minutes";
    words.hour = L"Hour";
    words.hours = L"Hours";
    words.day = L"Day";
    words.days = L"Days";
    words.default_word = L"Default";
    words.disabled = L"Disabled";
    words.forever = L"Forever";
    return words;
}

constexpr wchar_t PING_DEFAULTS[] = L"1,2,3,4,5,10,15,20,30,60,120,180,240,300,600,900";
constexpr wchar_t IDLE_DEFAULTS[] = L"1,2,3,5,10,15,20,25,30,45,60,120,180,240,300,0";
constexpr wchar_t AGE_DEFAULTS[] = L"1,2,3,7,10,14,20,30,45,60,90,120,180,365";

TEST(PingIntervalItems, DefaultListMarksTheMinute) {
    const ChoiceItems items = ping_interval_items(PING_DEFAULTS, 60, english());
    const std::vector<std::wstring> expected = {L"1 Second",   L"2 Seconds",          L"3 Seconds",  L"4 Seconds",
                                                L"5 Seconds",  L"10 Seconds",         L"15 Seconds", L"20 Seconds",
                                                L"30 Seconds", L"1 Minute (Default)", L"2 Minutes",  L"3 Minutes",
                                                L"4 Minutes",  L"5 Minutes",          L"10 Minutes", L"15 Minutes"};
    EXPECT_EQ(items.items, expected);
    EXPECT_EQ(items.default_index, 9);
}

TEST(PingIntervalItems, HoursZeroEndAndDamagedLists) {
    const ChoiceItems hours = ping_interval_items(L"7200,3600,5,0,10", 7, english());
    EXPECT_EQ(hours.items, (std::vector<std::wstring>{L"2 Hours", L"1 Hour", L"5 Seconds"}));
    EXPECT_EQ(hours.default_index, -1);  // no field matches: nothing is marked
    // A field that is no number ends the list like a 0; more than 16 fields are not read.
    EXPECT_EQ(ping_interval_items(L"5,x5,10", 5, english()).items, (std::vector<std::wstring>{L"5 Seconds (Default)"}));
    EXPECT_EQ(ping_interval_items(L"1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1", 9, english()).items.size(), 16u);
    EXPECT_TRUE(ping_interval_items(L"", 60, english()).items.empty());
}

TEST(BuiltChoice, ASettingsFileChoiceIsKept) {
    const struct {
        int current;
        bool settings_given;
        int default_index;
        int count;
        int expected;
    } cases[] = {
        {0, false, 9, 16, 9},   // no settings file: the default (0 is only the start value)
        {3, false, 9, 16, 9},   //
        {3, true, 9, 16, 3},    // the saved choice stays
        {0, true, 9, 16, 0},    // also when it is the first item
        {16, true, 9, 16, 9},   // a saved choice beyond the items: the default
        {-1, true, 9, 16, 9},   //
        {5, false, -1, 16, 0},  // nothing marked: the first item
        {20, true, -1, 16, 0},  //
        {0, true, 4, 0, 0},     // no items at all
    };
    for (const auto& c : cases) {
        EXPECT_EQ(built_choice(c.current, c.settings_given, c.default_index, c.count), c.expected)
            << c.current << " " << c.settings_given << " " << c.default_index;
    }
}

TEST(EventAgeItems, DaysThenForever) {
    const std::vector<std::wstring> items = event_age_items(AGE_DEFAULTS, english());
    ASSERT_EQ(items.size(), 15u);
    EXPECT_EQ(items[0], L"1 Day");
    EXPECT_EQ(items[1], L"2 Days");
    EXPECT_EQ(items[13], L"365 Days");
    EXPECT_EQ(items[14], L"Forever");
    EXPECT_EQ(event_age_items(L"", english()), std::vector<std::wstring>{L"Forever"});
}

TEST(LongIdleItems, DefaultListAndItsEnd) {
    const ChoiceItems items = long_idle_items(IDLE_DEFAULTS, 10, english());
    const std::vector<std::wstring> expected = {
        L"1 Minute",   L"2 Minutes",  L"3 Minutes",  L"5 Minutes",  L"10 Minutes (Default)",
        L"15 Minutes", L"20 Minutes", L"25 Minutes", L"30 Minutes", L"45 Minutes",
        L"1 Hour",     L"2 Hours",    L"3 Hours",    L"4 Hours",    L"5 Hours",
        L"Disabled"};
    EXPECT_EQ(items.items, expected);
    EXPECT_EQ(items.default_index, 4);
    // Without a 0 field the first missing field ends the list with "Disabled".
    EXPECT_EQ(long_idle_items(L"5,10", 10, english()).items,
              (std::vector<std::wstring>{L"5 Minutes", L"10 Minutes (Default)", L"Disabled"}));
}

TEST(FixedItems, FontSizesAndSlowThresholds) {
    const std::vector<std::wstring> sizes = font_size_items();
    ASSERT_EQ(sizes.size(), 20u);
    EXPECT_EQ(sizes.front(), L"9pt");
    EXPECT_EQ(sizes.back(), L"28pt");
    const std::vector<std::wstring> slow = ping_slow_items();
    ASSERT_EQ(slow.size(), 16u);
    EXPECT_EQ(slow.front(), L"50");
    EXPECT_EQ(slow[1], L"100");
    EXPECT_EQ(slow.back(), L"800");
    EXPECT_EQ(item_index_checked(28 - 9, 20, 0), 19);
    EXPECT_EQ(item_index_checked(29 - 9, 20, 0), 0);
    EXPECT_EQ(item_index_checked(-1, 20, 3), 3);
}

}  // namespace
