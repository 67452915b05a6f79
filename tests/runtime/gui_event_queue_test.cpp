// The event queue: order, merged pointer and geometry events, its limit, and the wake-up of the waiter.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "runtime/gui/event/gui_event.h"

namespace {

GuiEvent control_event(int control, int type, int x = 0) {
    GuiEvent event;
    event.kind = EVENT_CONTROL;
    event.window = 100;
    event.control = control;
    event.type = type;
    event.x = x;
    return event;
}

GuiEvent window_event(GuiEventKind kind, int window) {
    GuiEvent event;
    event.kind = kind;
    event.window = window;
    return event;
}

std::vector<GuiEvent> drain() {
    std::vector<GuiEvent> events;
    GuiEvent event;
    while (gui_event_take(&event)) events.push_back(event);
    return events;
}

class GuiEventQueue : public ::testing::Test {
protected:
    void SetUp() override {
        gui_event_set_waker(nullptr);
        gui_event_clear();
    }
    void TearDown() override {
        gui_event_set_waker(nullptr);
        gui_event_clear();
    }
};

TEST_F(GuiEventQueue, KeepsOrderAndMergesOnlyRepeatedMovesAtTheEnd) {
    gui_event_post(control_event(112, EVENT_TYPE_MOUSE_MOVE, 1));
    gui_event_post(control_event(112, EVENT_TYPE_MOUSE_MOVE, 2));  // replaces the waiting move
    gui_event_post(control_event(301, EVENT_TYPE_MOUSE_MOVE, 3));  // another control: kept apart
    gui_event_post(control_event(301, EVENT_TYPE_LEFT_CLICK, 4));
    gui_event_post(control_event(301, EVENT_TYPE_MOUSE_MOVE, 5));  // after a click: not merged into the move before it
    gui_event_post(window_event(EVENT_MOVE_WINDOW, 100));
    gui_event_post(window_event(EVENT_MOVE_WINDOW, 100));
    gui_event_post(window_event(EVENT_MOVE_WINDOW, 101));
    gui_event_post(window_event(EVENT_CLOSE_WINDOW, 100));
    gui_event_post(window_event(EVENT_CLOSE_WINDOW, 100));  // clicks and closes are never merged
    const std::vector<GuiEvent> events = drain();
    ASSERT_EQ(events.size(), 8u);
    EXPECT_EQ(events[0].x, 2);
    EXPECT_EQ(events[1].x, 3);
    EXPECT_EQ(events[2].type, EVENT_TYPE_LEFT_CLICK);
    EXPECT_EQ(events[3].x, 5);
    EXPECT_EQ(events[4].kind, EVENT_MOVE_WINDOW);
    EXPECT_EQ(events[5].window, 101);
    EXPECT_EQ(events[6].kind, EVENT_CLOSE_WINDOW);
    EXPECT_EQ(events[7].kind, EVENT_CLOSE_WINDOW);
}

TEST_F(GuiEventQueue, DropsEventsBeyondItsLimitInsteadOfGrowing) {
    for (size_t i = 0; i < GUI_EVENT_QUEUE_LIMIT; ++i)
        ASSERT_TRUE(gui_event_post(control_event(200, EVENT_TYPE_LEFT_CLICK)));
    EXPECT_FALSE(gui_event_post(control_event(200, EVENT_TYPE_LEFT_CLICK)));
    EXPECT_EQ(gui_event_count(), GUI_EVENT_QUEUE_LIMIT);
}

std::atomic<int> wakes{0};
void count_wake() { ++wakes; }

TEST_F(GuiEventQueue, EveryThreadsPostReachesTheQueueAndWakesTheWaiter) {
    wakes = 0;
    gui_event_set_waker(count_wake);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < 250; ++i) gui_event_post(control_event(1000 + t, EVENT_TYPE_LEFT_CLICK, i));
        });
    }
    for (auto& thread : threads) thread.join();
    const std::vector<GuiEvent> events = drain();
    EXPECT_EQ(events.size(), 1000u);
    EXPECT_EQ(wakes.load(), 1000);
    // Each thread's events stay in its own order.
    int last[4] = {-1, -1, -1, -1};
    for (const GuiEvent& event : events) {
        const int t = event.control - 1000;
        EXPECT_GT(event.x, last[t]);
        last[t] = event.x;
    }
}

}  // namespace
