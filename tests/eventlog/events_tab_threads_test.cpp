// The Events tab's state that the event page thread and the main thread share: the type table that the page
// thread refills while the user picks a type, and the search state that the page thread answers while the
// user presses Search or Return.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "eventlog/event_page.h"
#include "eventlog/event_search.h"
#include "ui/events_tab_events.h"

namespace {

class EventsTabThreads : public ::testing::Test {
protected:
    void SetUp() override {
        shared_state_init(SharedStateFacts{});
        event_type_table_clear();
    }
};

EventsControlActions control_event(int control, int item, std::wstring field_text = {}) {
    EventsControlInput input;
    input.event.kind = EVENT_CONTROL;
    input.event.control = control;
    input.selected_item = item;
    input.field_text = std::move(field_text);
    return events_control_event(input);
}

// The page thread refills both type combos and counts events while the main thread picks their items: every
// filter picked is a type or none (ThreadSanitizer sees any unguarded access of the table).
TEST_F(EventsTabThreads, TypesPickedWhileThePageThreadRefillsTheCombosAreTypes) {
    std::atomic<bool> done{false};
    std::thread page([&] {
        std::array<std::wstring, EVENT_TYPE_COUNT> labels{};
        for (int round = 0; round < 4000; ++round) {
            std::array<int32_t, EVENT_TYPE_COUNT> counts{};
            for (int t = 0; t < EVENT_TYPE_COUNT; ++t) counts[static_cast<std::size_t>(t)] = (round + t) % 3;
            const EventTypeItems items = event_type_items(100, L"Events", counts, labels, -1);
            event_type_table_map(items, round % 2 == 1);
            ++EventTypeTable[static_cast<std::size_t>(round % EVENT_TYPE_COUNT)].count;
        }
        done = true;
    });
    int picks = 0;
    while (!done.load() || picks < 100) {
        const int item = 1 + picks % EVENT_TYPE_COUNT;
        control_event(picks % 2 ? COMBO_EVENT_SEARCH_TYPE : COMBO_EVENT_TYPE, item);
        const int filter = SharedInts[EVENTLOG_TYPE_FILTER].load();
        ASSERT_GE(filter, -1);
        ASSERT_LT(filter, EVENT_TYPE_COUNT);
        ++picks;
    }
    page.join();
}

// The user presses Search with the text already searched for, again and again, while the page thread stores
// one result after another: a press that changes nothing stores nothing, so no result is replaced by one it
// saw before (which could leave the state saying results are shown when the full list is).
TEST_F(EventsTabThreads, APressThatChangesNothingNeverStoresAnOldSearchState) {
    shared_text_set(EVENTLOG_SEARCH_TEXT, L"disk");
    SharedInts[EVENTLOG_TYPE_FILTER] = -1;
    SharedInts[EVENTLOG_SEARCH_FILTER_USED] = -1;
    std::atomic<bool> done{false};
    std::atomic<int> replaced{0};
    std::thread page([&] {
        for (int32_t result = 1; result <= 20000; ++result) {
            SharedInts[EVENTLOG_SEARCH_STATE].store(result, std::memory_order_release);
            for (int look = 0; look < 50; ++look) {
                if (SharedInts[EVENTLOG_SEARCH_STATE].load(std::memory_order_acquire) != result) {
                    ++replaced;
                    break;
                }
            }
        }
        done = true;
    });
    while (!done.load()) control_event(BUTTON_EVENT_SEARCH, -1, L" disk ");
    page.join();
    EXPECT_EQ(replaced.load(), 0) << "results replaced by an older state";

    // A changed text still asks for the search over the result shown.
    control_event(BUTTON_EVENT_SEARCH, -1, L"error");
    EXPECT_EQ(SharedInts[EVENTLOG_SEARCH_STATE].load(), -1);
    EXPECT_EQ(shared_text(EVENTLOG_SEARCH_TEXT), L"error");
}

// What the user does on the main thread while the page thread's search runs is served after it: the search
// of the old text neither overwrites the new request nor shows its hits as the answer to it.
std::vector<std::wstring> searched;
std::function<void()> during_search;
int search_noting(const std::wstring& text, int) {
    searched.push_back(text);
    if (during_search) std::exchange(during_search, nullptr)();
    return 3;
}
bool no_close_request() { return false; }

TEST_F(EventsTabThreads, WhatIsPressedWhileASearchRunsIsServedAfterIt) {
    struct Case {
        const char* name;
        std::function<void()> press;
        std::wstring then_searched;
    };
    const Case cases[] = {
        {"Search with another text", [] { control_event(BUTTON_EVENT_SEARCH, -1, L" spooler "); }, L"spooler"},
        {"Clear", [] { control_event(BUTTON_EVENT_CLEAR, -1); }, L""},
        {"a type picked", [] { control_event(COMBO_EVENT_SEARCH_TYPE, 1); }, L"disk"},
    };
    EventPageHooks hooks{};
    hooks.search = search_noting;
    hooks.close_request_serve = no_close_request;
    for (const Case& c : cases) {
        SetUp();
        searched.clear();
        shared_text_set(EVENTLOG_SEARCH_TEXT, L"disk");
        SharedInts[EVENTLOG_SEARCH_STATE] = -1;
        SharedInts[EVENTLOG_FONT_APPLIED] = SharedInts[EVENTLOG_FONT_SIZE].load();
        EventPageState state;
        state.countdown = 1000;  // no periodic read
        during_search = c.press;
        event_page_round(state, hooks);
        EXPECT_EQ(SharedInts[EVENTLOG_SEARCH_STATE].load(), -1) << c.name << ": the request was overwritten";
        event_page_round(state, hooks);
        EXPECT_EQ(searched, (std::vector<std::wstring>{L"disk", c.then_searched})) << c.name;
        EXPECT_EQ(SharedInts[EVENTLOG_SEARCH_STATE].load(), 3) << c.name;
    }
}

}  // namespace
