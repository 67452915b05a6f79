// The uptime and idle cells, the idle history and the battery row of the System tab.
#include "system/uptime_idle_texts.h"

#include <gtest/gtest.h>

#include "core/language.h"

TEST(UptimeIdleTexts, UptimeDropsSecondsOnlyAboveADay) {
    EXPECT_EQ(uptime_text(86'400), L"1d");
    EXPECT_EQ(uptime_text(86'401), L"1d");
    EXPECT_EQ(uptime_text(86'399), L"23h 59m 59s");
    EXPECT_EQ(uptime_text(90'061), L"1d 1h 1m");
    EXPECT_EQ(uptime_text(5), L"5s");
}

TEST(UptimeIdleTexts, UptimeIsCentredInThirteenCharacters) {
    EXPECT_EQ(uptime_cell_text(L"5s"), L"     5s      ");
    EXPECT_EQ(uptime_cell_text(L"23h 59m 59s"), L" 23h 59m 59s ");
    EXPECT_EQ(uptime_cell_text(L"1234567890123"), L"1234567890123");
    EXPECT_EQ(uptime_cell_text(L"1234567890123456"), L"1234567890123");
}

TEST(UptimeIdleTexts, IdleCellAndItsRedrawRule) {
    EXPECT_EQ(idle_cell_text(0), L" 0s ");
    EXPECT_EQ(idle_cell_text(75), L" 1m 15s ");
    EXPECT_TRUE(idle_text_needs_draw(L" 59s ", L" 1m "));
    EXPECT_FALSE(idle_text_needs_draw(L" 1m 15s ", L" 1m 16s "));
    EXPECT_TRUE(idle_text_needs_draw(L" 1m 59s ", L" 2m "));
    EXPECT_EQ(idle_period_entry(L" 1m 15s "), L"1m+15s");
}

TEST(UptimeIdleTexts, HistoryKeepsTheFourNewest) {
    IdleHistory history;
    for (const wchar_t* entry : {L"1s", L"2s", L"3s", L"4s", L"5s"}) history.push(entry);
    EXPECT_EQ(history.entries.size(), 4u);
    EXPECT_EQ(history.joined(), L"5s, 4s, 3s, 2s");
    EXPECT_EQ(IdleHistory().joined(), L"");
}

TEST(UptimeIdleTexts, LongIdleNeedsAThreshold) {
    EXPECT_TRUE(idle_period_is_long(600, 600));
    EXPECT_FALSE(idle_period_is_long(599, 600));
    EXPECT_FALSE(idle_period_is_long(100000, 0));
    EXPECT_TRUE(idle_period_is_long(1, 1));
}

TEST(UptimeIdleTexts, BatteryRowColumns) {
    text_maps_load(LANGUAGE_ENGLISH);
    BatteryRowFacts facts;
    facts.battery_drawn_text = L" 57% ";
    facts.battery_status_text = L" Plugged in, charging";
    facts.remaining_s = 5400;
    facts.column_width = 700;
    facts.uptime_s = 3661;
    facts.idle_drawn_text = L" 1m 15s ";
    facts.idle_history_text = L"5s, 4s";
    EXPECT_EQ(battery_list_row(facts), L"57%  Plugged in, charging, 1h 30m remaining\n1h 1m 1s\n1m+15s, 5s, 4s");
    facts.column_width = 600;
    facts.remaining_s = -1;
    EXPECT_EQ(battery_list_row(facts), L"57%  Plugged in, charging\n1h 1m 1s\n1m+15s, 5s, 4s");
}
