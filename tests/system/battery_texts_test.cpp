// The battery cell, status text, lines and blinking.
#include "system/battery_texts.h"

#include <gtest/gtest.h>

#include "core/language.h"

namespace {

struct BatteryEnglish : ::testing::Test {
    void SetUp() override { text_maps_load(LANGUAGE_ENGLISH); }
};

}  // namespace

TEST(BatteryTexts, UnknownRawValuesReadAsMinusOne) {
    const PowerStatusReading none = power_status_from_raw(255, 128, 255, 0, 0xFFFFFFFFu, 0xFFFFFFFFu);
    EXPECT_EQ(none.ac_line, -1);
    EXPECT_EQ(none.percent, -1);
    EXPECT_EQ(none.life_time, -1);
    EXPECT_EQ(none.full_life_time, -1);
    const PowerStatusReading some = power_status_from_raw(1, 8, 57, 1, 3600, 18000);
    EXPECT_EQ(some.ac_line, 1);
    EXPECT_EQ(some.flags & 8, 8);
    EXPECT_EQ(some.percent, 57);
    EXPECT_EQ(some.saver, 1);
    EXPECT_EQ(some.life_time, 3600);
}

TEST_F(BatteryEnglish, ValueAndStatusTexts) {
    const struct {
        int64_t percent, charging, ac_line;
        const wchar_t* value;
        const wchar_t* status;
    } cases[] = {
        {-1, 0, 1, L"None", L""},
        {100, 0, 1, L"100%", L" Fully charged"},
        {100, 0, -1, L"100%", L" Fully charged"},  // no reading counts as mains
        {100, 0, 0, L"100%", L" Unplugged, not charging"},
        {57, 8, 1, L" 57% ", L" Plugged in, charging"},
        {57, 0, 0, L" 57% ", L" Unplugged, not charging"},
        {5, 0, 255, L" 5% ", L" Plugged in, not charging"},
    };
    for (const auto& c : cases) {
        const BatteryTexts texts = battery_texts_build(c.percent, c.charging, c.ac_line);
        EXPECT_EQ(texts.value_text, c.value) << c.percent;
        EXPECT_EQ(texts.status_text, c.status) << c.percent;
    }
}

TEST_F(BatteryEnglish, LinesAndTitle) {
    EXPECT_EQ(battery_change_line(L" 57% ", L" Plugged in, charging", false, 5400), L"Batt:57%, 1h 30m");
    EXPECT_EQ(battery_change_line(L" 57% ", L" Plugged in, charging", false, -1), L"Batt:57%");
    EXPECT_EQ(battery_change_line(L" 57% ", L" Unplugged, not charging", true, 5400),
              L"Batt:57% Unplugged, not charging");
    EXPECT_EQ(battery_change_line(L"None", L"", true, -1), L"Batt:None");
    EXPECT_EQ(battery_full_life_line(18000), L"Batt: 5h at full charge");
    EXPECT_EQ(battery_title_text(L" 57% ", 57), L"57% Battery");
    EXPECT_EQ(battery_title_text(L"None", -1), L"No Battery");
    EXPECT_EQ(battery_column_title(false), L"Battery");
    EXPECT_EQ(battery_column_title(true), L"Battery (Saver On)");
    EXPECT_EQ(battery_saver_line(L" 80% ", false), L"Batt:80%, Saver Off");
}

TEST(BatteryTexts, LowBatteryBlinksUntilCharging) {
    // Low and not charging: highlighted, then normal, then highlighted again.
    BatteryCellColors colors = battery_cell_colors(0, 20, 0);
    ASSERT_TRUE(colors.change);
    EXPECT_EQ(colors.back_color, BATTERY_HIGHLIGHT_COLOR);
    colors = battery_cell_colors(colors.back_color, 20, 0);
    ASSERT_TRUE(colors.change);
    EXPECT_EQ(colors.back_color, 0);
    EXPECT_EQ(colors.text_color, BATTERY_HIGHLIGHT_COLOR);
    EXPECT_TRUE(battery_cell_colors(colors.back_color, 20, 0).change);

    EXPECT_FALSE(battery_cell_colors(0, 21, 0).change);
    EXPECT_FALSE(battery_cell_colors(0, 10, 8).change);                            // charging
    EXPECT_FALSE(battery_cell_colors(0, -1, 0).change);                            // no battery
    EXPECT_EQ(battery_cell_colors(BATTERY_HIGHLIGHT_COLOR, 10, 8).back_color, 0);  // plugged in during a highlight
}
