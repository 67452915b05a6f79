// The event loop's decisions.
#include "app/event_loop.h"

#include <gtest/gtest.h>

namespace {

TEST(EventLoop, WindowDecisions) {
    EXPECT_EQ(compact_close_action(0, false), CLOSE_EXIT);
    EXPECT_EQ(compact_close_action(0, true), CLOSE_EXIT);
    EXPECT_EQ(compact_close_action(1, false), CLOSE_HIDE);
    EXPECT_EQ(compact_close_action(1, true), CLOSE_EXIT);
    EXPECT_EQ(compact_minimize_action(1), MINIMIZE_HIDE);
    EXPECT_EQ(compact_minimize_action(0), MINIMIZE_MINIMIZE);
    EXPECT_TRUE(position_recordable(0, 0));
    EXPECT_FALSE(position_recordable(-1, 300));
    EXPECT_FALSE(position_recordable(300, -32000));
}

TEST(EventLoop, TrayClicks) {
    EXPECT_EQ(tray_click_action(EVENT_TYPE_LEFT_CLICK, 1), TRAY_SHOW_COMPACT);
    EXPECT_EQ(tray_click_action(EVENT_TYPE_LEFT_CLICK, 0), TRAY_NOTHING);
    EXPECT_EQ(tray_click_action(EVENT_TYPE_LEFT_DOUBLE_CLICK, 0), TRAY_SHOW_COMPACT);
    EXPECT_EQ(tray_click_action(EVENT_TYPE_RIGHT_CLICK, 0), TRAY_SHOW_SETTINGS);
    EXPECT_EQ(tray_click_action(EVENT_TYPE_RIGHT_DOUBLE_CLICK, 1), TRAY_NOTHING);
}

}  // namespace
