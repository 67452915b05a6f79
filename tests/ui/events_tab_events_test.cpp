// The Events tab's control events: which request element and shared text each click or choice sets, with
// the Shift variants of the clear button, and that closing the log leaves the event list to its thread.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "ui/events_tab_events.h"

namespace {

// Every element the Events tab's handlers may set, with its start value in these tests.
const std::vector<std::pair<SharedIntIndex, int>> WATCHED = {
    {EVENTLOG_RELOAD_STATE, 0}, {EVENTLOG_AGE_CHOICE, 0}, {EVENTLOG_DETAILS_INDEX, -2}, {EVENTLOG_SEARCH_STATE, 0},
    {EVENTLOG_TYPE_FILTER, -1}, {EVENTLOG_FONT_SIZE, 9},  {EVENTLOG_CLOSE_REQUEST, 0},
};

GuiEvent control_event(int control, int type = EVENT_TYPE_CHANGE) {
    GuiEvent event;
    event.kind = EVENT_CONTROL;
    event.control = control;
    event.type = type;
    return event;
}

class EventsTabEvents : public ::testing::Test {
protected:
    void SetUp() override {
        shared_state_init(SharedStateFacts{});
        shared_tables_init();
        for (const auto& [index, value] : WATCHED) SharedInts[index] = value;
        SharedInts[EVENTLOG_SEARCH_FILTER_USED] = -1;
        shared_text_set(EVENTLOG_NAME, L"System");
        shared_text_set(EVENTLOG_SEARCH_TEXT, L"disk");
        SharedQuads[EVENTLOG_LAST_RECORD] = 10;
        SharedQuads[EVENTLOG_NEWEST_RECORD] = 12;
        // The combos' items: the event list's item 2 shows warnings, the search list's item 1 errors.
        EventTypeTable[2].list_item_type = 2;
        EventTypeTable[1].search_item_type = 1;
        EventTypeTable[6].list_item_type = 0;
        EventList.assign(3, EventRecord{});
    }
};

TEST_F(EventsTabEvents, EachEventSetsItsRequestAndNothingElse) {
    using Values = std::vector<std::pair<SharedIntIndex, int>>;
    struct Case {
        const char* what;
        int control;
        bool shift;
        int item;
        const wchar_t* text;  // selected item's text or the field's text
        int search_state;     // before the event
        int type_filter;      // before the event
        Values changed;
        const wchar_t* name_after;
        const wchar_t* search_text_after;
        bool status_line_draw;
    };
    const Case cases[] = {
        {"another log",
         COMBO_EVENT_LOG,
         false,
         1,
         L"Application",
         0,
         -1,
         {{EVENTLOG_RELOAD_STATE, 1}},
         L"Application",
         L"disk",
         true},
        {"the log already shown", COMBO_EVENT_LOG, false, 0, L"System", 0, -1, {}, L"System", L"disk", false},
        {"an age",
         COMBO_EVENT_DAYS,
         false,
         3,
         L"",
         0,
         -1,
         {{EVENTLOG_RELOAD_STATE, 1}, {EVENTLOG_AGE_CHOICE, 3}},
         L"System",
         L"disk",
         false},
        {"a row of the events",
         LIST_EVENTS,
         false,
         2,
         L"",
         0,
         -1,
         {{EVENTLOG_DETAILS_INDEX, 2}},
         L"System",
         L"disk",
         false},
        {"a row of the hits",
         LIST_EVENT_SEARCH,
         false,
         0,
         L"",
         4,
         -1,
         {{EVENTLOG_DETAILS_INDEX, 0}},
         L"System",
         L"disk",
         false},
        {"no row", LIST_EVENTS, false, -1, L"", 0, -1, {}, L"System", L"disk", false},
        {"search with a new text",
         BUTTON_EVENT_SEARCH,
         false,
         -1,
         L"  error ",
         0,
         -1,
         {{EVENTLOG_SEARCH_STATE, -1}},
         L"System",
         L"error",
         false},
        {"search with the same text and filter",
         BUTTON_EVENT_SEARCH,
         false,
         -1,
         L"disk",
         5,
         -1,
         {},
         L"System",
         L"disk",
         false},
        {"search with an empty text and nothing shown",
         BUTTON_EVENT_SEARCH,
         false,
         -1,
         L"",
         0,
         -1,
         {},
         L"System",
         L"",
         false},
        {"font size",
         COMBO_EVENT_FONT_SIZE,
         false,
         3,
         L"",
         0,
         -1,
         {{EVENTLOG_FONT_SIZE, 12}},
         L"System",
         L"disk",
         false},
        {"font size past the largest",
         COMBO_EVENT_FONT_SIZE,
         false,
         40,
         L"",
         0,
         -1,
         {{EVENTLOG_FONT_SIZE, 28}},
         L"System",
         L"disk",
         false},
        {"type item 0 does nothing", COMBO_EVENT_TYPE, false, 0, L"", 0, -1, {}, L"System", L"disk", false},
        {"type item 2: warnings",
         COMBO_EVENT_TYPE,
         false,
         2,
         L"",
         0,
         -1,
         {{EVENTLOG_TYPE_FILTER, 2}, {EVENTLOG_SEARCH_STATE, -1}},
         L"System",
         L"disk",
         false},
        {"the filter already set", COMBO_EVENT_TYPE, false, 2, L"", 3, 2, {}, L"System", L"disk", false},
        {"search type item 0 drops the filter",
         COMBO_EVENT_SEARCH_TYPE,
         false,
         0,
         L"",
         3,
         2,
         {{EVENTLOG_TYPE_FILTER, -1}, {EVENTLOG_SEARCH_STATE, -1}},
         L"System",
         L"disk",
         false},
        {"search type item 1: errors",
         COMBO_EVENT_SEARCH_TYPE,
         false,
         1,
         L"",
         3,
         -1,
         {{EVENTLOG_TYPE_FILTER, 1}, {EVENTLOG_SEARCH_STATE, -1}},
         L"System",
         L"disk",
         false},
        {"clear with results shown searches again",
         BUTTON_EVENT_CLEAR,
         false,
         -1,
         L"",
         4,
         2,
         {{EVENTLOG_SEARCH_STATE, -1}},
         L"System",
         L"",
         false},
        {"Shift-clear with results shown only clears the search",
         BUTTON_EVENT_CLEAR,
         true,
         -1,
         L"",
         4,
         2,
         {{EVENTLOG_SEARCH_STATE, -1}},
         L"System",
         L"",
         false},
        {"clear with nothing shown", BUTTON_EVENT_CLEAR, false, -1, L"", 0, 2, {}, L"System", L"", false},
        {"Shift-clear closes the log",
         BUTTON_EVENT_CLEAR,
         true,
         -1,
         L"",
         0,
         2,
         {{EVENTLOG_CLOSE_REQUEST, 1}},
         L"",
         L"",
         true},
        {"the status line takes no clicks", CANVAS_EVENTS_STATUS, true, -1, L"", 0, -1, {}, L"System", L"disk", false},
    };
    for (const Case& c : cases) {
        SetUp();
        SharedInts[EVENTLOG_SEARCH_STATE] = c.search_state;
        SharedInts[EVENTLOG_TYPE_FILTER] = c.type_filter;
        EventsControlInput in;
        in.event = control_event(c.control);
        in.shift = c.shift;
        in.selected_item = c.item;
        in.selected_text = c.control == COMBO_EVENT_LOG ? c.text : L"";
        in.field_text = c.control == COMBO_EVENT_LOG ? L"" : c.text;
        const EventsControlActions actions = events_control_event(in);

        for (const auto& [index, start] : WATCHED) {
            int expected = index == EVENTLOG_SEARCH_STATE  ? c.search_state
                           : index == EVENTLOG_TYPE_FILTER ? (c.control == BUTTON_EVENT_CLEAR ? -1 : c.type_filter)
                                                           : start;
            for (const auto& [changed, value] : c.changed)
                if (changed == index) expected = value;
            EXPECT_EQ(SharedInts[index].load(), expected) << c.what << ", element " << index;
        }
        EXPECT_EQ(shared_text(EVENTLOG_NAME), c.name_after) << c.what;
        EXPECT_EQ(shared_text(EVENTLOG_SEARCH_TEXT), c.search_text_after) << c.what;
        EXPECT_EQ(actions.status_line_draw, c.status_line_draw) << c.what;
        EXPECT_EQ(actions.log_deselect, c.control == BUTTON_EVENT_CLEAR && c.shift && c.search_state == 0) << c.what;
        EXPECT_EQ(actions.field_clear, c.control == BUTTON_EVENT_CLEAR) << c.what;
        // Whatever the event, the event list belongs to the event page thread.
        EXPECT_EQ(EventList.size(), 3u) << c.what;
        if (c.control == BUTTON_EVENT_CLEAR) {
            EXPECT_EQ(SharedQuads[EVENTLOG_LAST_RECORD].load(), 12) << c.what;
        }
    }
}

TEST_F(EventsTabEvents, TheModeRebuildsTheFieldAndTypingRemovesTheCue) {
    EventsControlInput mode;
    mode.event = control_event(COMBO_EVENT_SEARCH_MODE);
    mode.selected_item = 4;
    EXPECT_EQ(events_control_event(mode).field_build_mode, 4);
    mode.selected_item = -1;
    EXPECT_EQ(events_control_event(mode).field_build_mode, -1);

    EventsControlInput typed;
    typed.event = control_event(INPUT_EVENT_SEARCH);
    typed.cue_exists = true;
    EXPECT_FALSE(events_control_event(typed).cue_destroy) << "still empty";
    typed.field_text = L"d";
    EXPECT_TRUE(events_control_event(typed).cue_destroy);
    typed.cue_exists = false;
    EXPECT_FALSE(events_control_event(typed).cue_destroy);
}

TEST(EventFontSize, SizesAreClampedToTheListFontRange) {
    for (const auto& [size, clamped] : std::vector<std::pair<int, int>>{{-3, 9}, {9, 9}, {12, 12}, {28, 28}, {99, 28}})
        EXPECT_EQ(event_font_size_clamped(size), clamped) << size;
}

}  // namespace
