// The temperature colour ramp and the bounded temperature histories.
#include <gtest/gtest.h>

#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "ui/graph_control.h"
#include "ui/history_strip.h"

namespace {

TEST(StripColor, RampRunsFromCyanThroughWhiteToRed) {
    struct Case {
        int degrees;
        int32_t color;
    };
    const Case cases[] = {
        {0, 0xFFFF00},    {1, 0xFFFF06},         {20, 0xFFFF78},        {42, 0xFFFFFC},   {43, 0xF9F9FF},
        {60, 0x9393FF},   {84, 0x0303FF},        {85, 0x0000FF},        {1000, 0x0000FF}, {-1, 0x0000FF},
        {-273, 0x0000FF}, {INT32_MIN, 0x0000FF}, {INT32_MAX, 0x0000FF},
    };
    for (const auto& c : cases) EXPECT_EQ(temperature_color(c.degrees), c.color) << c.degrees;
}

TEST(StripColor, HistoriesKeepAtMostHistoryLengthPoints) {
    struct Case {
        int history_length;
        size_t kept;
    };
    // A length below 1 (before the window is built) must still end the trim and bound the list.
    const Case cases[] = {{5, 5}, {1, 1}, {0, 1}, {-7, 1}};
    for (const auto& c : cases) {
        SharedInts[HISTORY_LENGTH] = c.history_length;
        HistoryList history;
        for (int t = 1; t <= 20; ++t) history_point_add(history, {temperature_color(t), t, t});
        ASSERT_EQ(history.size(), c.kept) << c.history_length;
        EXPECT_EQ(history.back().temperature, 20) << c.history_length;
        EXPECT_EQ(history.front().temperature, 21 - static_cast<int>(c.kept)) << c.history_length;
    }
    // Shrinking the length trims at the next append.
    SharedInts[HISTORY_LENGTH] = 10;
    HistoryList history;
    for (int t = 1; t <= 10; ++t) history_point_add(history, {0, t, t});
    SharedInts[HISTORY_LENGTH] = 3;
    history_point_add(history, {0, 11, 11});
    EXPECT_EQ(history.size(), 3u);
    EXPECT_EQ(history.front().temperature, 9);
}

}  // namespace
