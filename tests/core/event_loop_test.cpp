// The event loop's decisions and its dispatch by control number.
#include "core/event_loop.h"

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

int last_handler = 0;
void first_handler(const GuiEvent&) { last_handler = 1; }
void second_handler(const GuiEvent&) { last_handler = 2; }

TEST(EventLoop, ControlsFindTheirHandlerAndTheLastAddedWins) {
    control_handlers_clear();
    control_handler_add(301, 399, first_handler);
    control_handler_add(112, 112, first_handler);
    control_handler_add(112, 112, second_handler);  // a later part takes the control over
    EXPECT_EQ(control_handler_find(301), first_handler);
    EXPECT_EQ(control_handler_find(399), first_handler);
    EXPECT_EQ(control_handler_find(400), nullptr);
    EXPECT_EQ(control_handler_find(112), second_handler);
    GuiEvent event;
    control_handler_find(112)(event);
    EXPECT_EQ(last_handler, 2);
    control_handlers_clear();
    EXPECT_EQ(control_handler_find(301), nullptr);
}

}  // namespace
