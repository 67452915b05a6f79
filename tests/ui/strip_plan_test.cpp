// The band of a temperature strip (columns, colour runs, extremes, texts) and its pointer read-out.
#include <gtest/gtest.h>

#include <vector>

#include "core/control_numbers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "ui/graph_control.h"
#include "ui/history_strip.h"

namespace {

constexpr int TOOL_CONNECTED = 3;

// Oldest first; each point gets the colour of its temperature and the date of its index.
HistoryList history_of(const std::vector<int>& temperatures, Date first_date = 0) {
    HistoryList history;
    for (size_t i = 0; i < temperatures.size(); ++i) {
        history.push_back({temperature_color(temperatures[i]), first_date + static_cast<Date>(i), temperatures[i]});
    }
    return history;
}

// The band's columns as the runs paint them, columns 1..width (0 for grey).
std::vector<int32_t> painted_columns(const StripPicture& picture) {
    std::vector<int32_t> columns(static_cast<size_t>(picture.band_width) + 1, 0);
    for (const auto& run : picture.runs) {
        for (int x = run.x; x < run.x + run.width; ++x) {
            EXPECT_GE(x, 1);
            EXPECT_LE(x, picture.band_width);
            if (x >= 1 && x <= picture.band_width) columns[static_cast<size_t>(x)] = run.color;
        }
    }
    return columns;
}

class StripPlan : public ::testing::Test {
protected:
    void SetUp() override {
        shared_state_init(SharedStateFacts{});
        shared_tables_init();
        text_maps_load(LANGUAGE_ENGLISH);
    }
};

TEST_F(StripPlan, AShortHistoryFillsTheBandFromTheRight) {
    std::vector<int> temperatures(100, 50);
    temperatures[0] = 30;
    const StripPicture picture = temperature_strip_plan(history_of(temperatures), 300, 20, true, false, 0);
    ASSERT_FALSE(picture.blank);
    EXPECT_EQ(picture.band_width, 298);
    EXPECT_EQ(picture.band_height, 18);
    EXPECT_EQ(picture.start, 199);
    const auto columns = painted_columns(picture);
    for (int x = 1; x < 199; ++x) ASSERT_EQ(columns[x], 0) << x;  // stays grey
    EXPECT_EQ(columns[199], temperature_color(30));
    for (int x = 200; x <= 298; ++x) ASSERT_EQ(columns[x], temperature_color(50)) << x;
    ASSERT_EQ(picture.runs.size(), 2u);  // one rectangle per run of equal colour
    EXPECT_EQ(picture.runs[0].x, 200);
    EXPECT_EQ(picture.runs[0].width, 99);
    EXPECT_EQ(picture.runs[1].x, 199);
    EXPECT_EQ(picture.runs[1].width, 1);
}

TEST_F(StripPlan, ALongHistoryShowsOnlyTheNewestBandWidthPoints) {
    std::vector<int> temperatures(1000, 0);
    for (int i = 0; i < 1000; ++i) temperatures[i] = i < 702 ? 99 : 40 + (i % 3);  // the old extremes fall off
    temperatures[701] = 5;
    const StripPicture picture = temperature_strip_plan(history_of(temperatures), 300, 20, true, false, 0);
    EXPECT_EQ(picture.start, 1);
    const auto columns = painted_columns(picture);
    for (int x = 1; x <= 298; ++x) ASSERT_EQ(columns[x], temperature_color(temperatures[1000 - 299 + x])) << x;
    EXPECT_EQ(picture.minimum, 40);
    EXPECT_EQ(picture.maximum, 42);
}

TEST_F(StripPlan, OneColourIsOneRunAndTheExtremesAreTheNewest) {
    const StripPicture picture = temperature_strip_plan(history_of(std::vector<int>(500, 61)), 300, 20, true, false, 0);
    ASSERT_EQ(picture.runs.size(), 1u);
    EXPECT_EQ(picture.runs[0].x, 1);
    EXPECT_EQ(picture.runs[0].width, 298);
    EXPECT_EQ(picture.minimum, 61);
    EXPECT_EQ(picture.maximum, 61);
    EXPECT_EQ(picture.now_text, L"61C");
}

TEST_F(StripPlan, ExtremesAndTexts) {
    struct Case {
        std::vector<int> temperatures;  // oldest first
        bool ignore_cold;
        int limit;
        int minimum, maximum;
        const wchar_t* range_text;
    };
    const Case cases[] = {
        {{50, 52, 50}, false, 0, 50, 52, L"Min 50C   Max 52C   "},
        {{50, 52, 50}, false, 95, 50, 52, L"Min 50C   Max 52C   Limit 95C"},
        {{45, 0, 47}, true, 0, 45, 47, L"Min 45C   Max 47C   "},  // the CPU ignores a missing reading
        {{45, 0, 47}, false, 0, 0, 47, L"Min 0C   Max 47C   "},   // a GPU does not
        // Past the ramp every temperature is red; a run of red still reports its hottest point.
        {{100, 90, 88}, false, 0, 88, 100, L"Min 88C   Max 100C   "},
        {{-5, -20, 3}, false, 0, -20, 3, L"Min -20C   Max 3C   "},
    };
    for (const auto& c : cases) {
        const StripPicture picture =
            temperature_strip_plan(history_of(c.temperatures), 50, 20, true, c.ignore_cold, c.limit);
        EXPECT_EQ(picture.minimum, c.minimum) << c.range_text;
        EXPECT_EQ(picture.maximum, c.maximum) << c.range_text;
        EXPECT_EQ(picture.range_text, c.range_text);
        EXPECT_EQ(picture.now_text, std::to_wstring(c.temperatures.back()) + L"C");
    }
    EXPECT_EQ(strip_now_text_x(298, 20), 139);
    EXPECT_EQ(strip_now_text_x(298, 21), 139);  // 138.5 rounds away from zero
}

TEST_F(StripPlan, BlankBandWithoutACurrentTemperatureOrSource) {
    struct Case {
        const char* name;
        std::vector<int> temperatures;
        bool ready;
        int width;
    };
    const Case cases[] = {
        {"empty history", {}, true, 300},
        {"newest reading is 0", {40, 0}, true, 300},
        {"source not connected", {40, 41}, false, 300},
        {"canvas without a band", {40, 41}, true, 2},
        {"canvas smaller than its frame", {40, 41}, true, -10},
    };
    for (const auto& c : cases) {
        const StripPicture picture = temperature_strip_plan(history_of(c.temperatures), c.width, 20, c.ready, true, 90);
        EXPECT_TRUE(picture.blank) << c.name;
        EXPECT_TRUE(picture.runs.empty()) << c.name;
        EXPECT_TRUE(picture.range_text.empty()) << c.name;
        EXPECT_GE(picture.band_width, 0) << c.name;
    }
}

TEST_F(StripPlan, TheCpuStripFollowsTheTemperatureTool) {
    SharedInts[HISTORY_LENGTH] = 100;
    for (int t : {48, 0, 50}) history_point_add(CpuCoreTable[0].history, {temperature_color(t), 1, t});
    SharedInts[CPU_TEMP_LIMIT] = 100;
    SharedInts[TEMP_TOOL_STATE] = 2;
    EXPECT_TRUE(cpu_temperature_strip_plan(300, 20, 0).blank);
    SharedInts[TEMP_TOOL_STATE] = TOOL_CONNECTED;
    const StripPicture picture = cpu_temperature_strip_plan(300, 20, 0);
    ASSERT_FALSE(picture.blank);
    EXPECT_EQ(picture.range_text, L"Min 48C   Max 50C   Limit 100C");
    EXPECT_TRUE(cpu_temperature_strip_plan(300, 20, 1).blank);  // only entry 0 has points
    EXPECT_TRUE(cpu_temperature_strip_plan(300, 20, -1).blank);
    EXPECT_TRUE(cpu_temperature_strip_plan(300, 20, CPU_CORE_ENTRY_COUNT).blank);
}

TEST_F(StripPlan, ReadOutNamesThePointUnderThePointer) {
    const Date first = date_from_parts({2024, 5, 1, 14, 3, 27});
    std::vector<int> temperatures(1500, 40);
    temperatures[1495] = 48;
    const HistoryList history = history_of(temperatures, first - 1495);
    SharedQuads[AGE_STAMP] = 0;
    EXPECT_EQ(temperature_position_text(history, 5, L"CPU"), L"Position: 5/1499 = 2024-05-01  14:03:27  CPU 48C ~");
    EXPECT_EQ(SharedQuads[AGE_STAMP].load(), first);
    EXPECT_EQ(temperature_position_text(history, 1, L"G1").substr(0, 17), L"Position: 1/1499 ");

    SharedQuads[AGE_STAMP] = 7;
    for (int64_t offset : {int64_t{1500}, int64_t{1501}, int64_t{0}, int64_t{-1}, int64_t{-1500}}) {
        EXPECT_EQ(temperature_position_text(history, offset, L"CPU"), L"") << offset;
    }
    EXPECT_EQ(temperature_position_text(HistoryList{}, 1, L"CPU"), L"");
    EXPECT_EQ(SharedQuads[AGE_STAMP].load(), 7);

    SharedInts[HISTORY_LENGTH] = 10;
    history_point_add(CpuCoreTable[0].history, {0, first, 52});
    history_point_add(CpuCoreTable[0].history, {0, first + 2, 53});
    EXPECT_EQ(cpu_temperature_position_text(CANVAS_CPU_TEMPERATURE, 1, 0),
              L"Position: 1/1 = 2024-05-01  14:03:29  CPU 53C ~");
    EXPECT_EQ(cpu_temperature_position_text(CANVAS_CPU_TEMPERATURE, 1, 200), L"");
}

}  // namespace
