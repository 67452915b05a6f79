// The Ping tab's control events: which request element each click, choice, wheel or movement sets, with
// the Shift, Ctrl and Alt variants, the pending-request guards, and the status line's sort columns.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "ui/ping_tab_events.h"
#include "ui/ping_toolbar.h"

namespace {

// Rows 12 pixels high, characters 7 wide, the timeline from x 540 for 200 pixels.
constexpr int ROW = 12;
constexpr int CHAR = 7;
constexpr int TIMELINE_X = 540;
constexpr int TIMELINE_WIDTH = 200;

// Every element the Ping tab's handlers may set, with its idle value.
const std::vector<std::pair<SharedIntIndex, int>> WATCHED = {
    {PING_REQ_ADD_HOST, 0},   {PING_REQ_ADD_RANGE, 0},     {PING_REQ_SELECT_TIMED_OUT, 0},
    {PING_REQ_DELETE, 0},     {PING_REQ_RESET, 0},         {PING_REQ_SELECT_ROW, 0},
    {PING_REQ_ROW_ACTION, 0}, {PING_REQ_OPEN_BROWSER, -1}, {PING_REQ_REMOTE_DESKTOP, -1},
    {PING_REQ_OPEN_NAME, -1}, {PING_REQ_SORT, 0},          {PING_HOVER_ROW, 0},
    {PING_HOVER_X, 0},        {PING_HEADER_COLUMN, 0},     {PING_FONT_SIZE, 9},
    {PING_MODE, 0},           {MAC_VENDORS_OFF, 0},
};

class PingTabEvents : public ::testing::Test {
protected:
    void SetUp() override {
        shared_state_init(SharedStateFacts{});
        SharedInts[PING_ROW_HEIGHT] = ROW;
        SharedInts[PING_CHAR_WIDTH] = CHAR;
        SharedInts[PING_TIMELINE_X] = TIMELINE_X;
        SharedInts[PING_TIMELINE_WIDTH] = TIMELINE_WIDTH;
    }
};

GuiEvent control_event(int control, int type, int x = 0, int y = 0, int wheel = 0) {
    GuiEvent event;
    event.kind = EVENT_CONTROL;
    event.control = control;
    event.type = type;
    event.x = x;
    event.y = y;
    event.wheel = wheel;
    return event;
}

TEST_F(PingTabEvents, EachEventSetsItsRequestAndNothingElse) {
    enum Keys { NONE = 0, SHIFT = 1, CTRL = 2, ALT = 4 };
    using Values = std::vector<std::pair<SharedIntIndex, int>>;
    struct Case {
        const char* what;
        GuiEvent event;
        int keys;
        int mode_shown;
        int hosts;
        Values before;  // set before the event
        Values after;   // every watched element not named here stays as it was
    };
    const int row2 = ROW + 3;  // y inside the second row
    const int text_x = 20;
    const int line_x = TIMELINE_X + 60;
    const int right_x = TIMELINE_X + TIMELINE_WIDTH;
    const Case cases[] = {
        {"click on a row's text selects it",
         control_event(CANVAS_PING_LIST, 0, text_x, row2),
         NONE,
         0,
         3,
         {},
         {{PING_REQ_SELECT_ROW, 2}}},
        {"Shift-click opens the browser",
         control_event(CANVAS_PING_LIST, 0, text_x, row2),
         SHIFT,
         0,
         3,
         {},
         {{PING_REQ_OPEN_BROWSER, 2}, {PING_HOVER_X, text_x}}},
        {"Ctrl-click opens Remote Desktop",
         control_event(CANVAS_PING_LIST, 0, text_x, row2),
         CTRL,
         0,
         3,
         {},
         {{PING_REQ_REMOTE_DESKTOP, 2}, {PING_HOVER_X, text_x}}},
        {"Alt-click opens the name",
         control_event(CANVAS_PING_LIST, 0, text_x, row2),
         ALT,
         0,
         3,
         {},
         {{PING_REQ_OPEN_NAME, 2}, {PING_HOVER_X, text_x}}},
        {"Shift wins over Ctrl",
         control_event(CANVAS_PING_LIST, 0, text_x, row2),
         SHIFT | CTRL,
         0,
         3,
         {},
         {{PING_REQ_OPEN_BROWSER, 2}, {PING_HOVER_X, text_x}}},
        {"click on the timeline",
         control_event(CANVAS_PING_LIST, 0, line_x, row2),
         NONE,
         0,
         3,
         {},
         {{PING_REQ_SELECT_ROW, 2}, {PING_HOVER_X, line_x}}},
        {"click right of the timeline",
         control_event(CANVAS_PING_LIST, 0, right_x, row2),
         NONE,
         0,
         3,
         {{PING_HOVER_X, 99}},
         {{PING_HOVER_X, 0}}},
        {"click below the last host", control_event(CANVAS_PING_LIST, 0, text_x, 3 * ROW), NONE, 0, 3, {}, {}},
        {"second click before the first is served",
         control_event(CANVAS_PING_LIST, 0, text_x, row2),
         NONE,
         0,
         3,
         {{PING_REQ_SELECT_ROW, 1}},
         {{PING_REQ_SELECT_ROW, 1}}},
        {"right click on the text pauses",
         control_event(CANVAS_PING_LIST, 1, text_x, row2),
         NONE,
         0,
         3,
         {},
         {{PING_REQ_ROW_ACTION, 2}}},
        {"right click on the timeline copies the log",
         control_event(CANVAS_PING_LIST, 1, line_x, 5),
         NONE,
         0,
         3,
         {},
         {{PING_REQ_ROW_ACTION, 1}, {PING_HOVER_X, line_x}}},
        {"right click while one is pending",
         control_event(CANVAS_PING_LIST, 1, text_x, row2),
         NONE,
         0,
         3,
         {{PING_REQ_ROW_ACTION, 3}},
         {{PING_REQ_ROW_ACTION, 3}}},
        {"pointer over the timeline",
         control_event(CANVAS_PING_LIST, 65539, line_x, row2),
         NONE,
         0,
         3,
         {},
         {{PING_HOVER_ROW, 2}, {PING_HOVER_X, line_x}}},
        {"pointer over the last-down text",
         control_event(CANVAS_PING_LIST, 65539, 63 * CHAR, row2),
         NONE,
         0,
         3,
         {},
         {{PING_HOVER_ROW, 2}, {PING_HEADER_COLUMN, 63}}},
        {"pointer over the address",
         control_event(CANVAS_PING_LIST, 65539, 62 * CHAR, row2),
         NONE,
         0,
         3,
         {},
         {{PING_HEADER_COLUMN, 62}}},
        {"pointer while a read-out is pending",
         control_event(CANVAS_PING_LIST, 65539, line_x, row2),
         NONE,
         0,
         3,
         {{PING_HOVER_ROW, 1}},
         {{PING_HOVER_ROW, 1}}},
        {"Ctrl+wheel up", control_event(CANVAS_PING_LIST, 65546, 0, 0, 1), CTRL, 0, 3, {}, {{PING_FONT_SIZE, 10}}},
        {"Ctrl+wheel up at 28",
         control_event(CANVAS_PING_LIST, 65546, 0, 0, 1),
         CTRL,
         0,
         3,
         {{PING_FONT_SIZE, 28}},
         {{PING_FONT_SIZE, 28}}},
        {"Ctrl+wheel down at 9", control_event(CANVAS_PING_LIST, 65546, 0, 0, -2), CTRL, 0, 3, {}, {}},
        {"Ctrl+wheel down",
         control_event(CANVAS_PING_LIST, 65546, 0, 0, -1),
         CTRL,
         0,
         3,
         {{PING_FONT_SIZE, 12}},
         {{PING_FONT_SIZE, 11}}},
        {"status click on the time column",
         control_event(CANVAS_PING_STATUS, 0, 45 * CHAR),
         NONE,
         0,
         3,
         {},
         {{PING_REQ_SORT, 3}}},
        {"status click from column 77", control_event(CANVAS_PING_STATUS, 0, 77 * CHAR), NONE, 0, 3, {}, {}},
        {"add with Shift selects timed-out hosts in any mode",
         control_event(BUTTON_PING_ADD, 0),
         SHIFT,
         PING_MODE_MAC_VENDORS,
         3,
         {},
         {{PING_REQ_SELECT_TIMED_OUT, 1}}},
        {"add in a range mode",
         control_event(BUTTON_PING_ADD, 0),
         NONE,
         PING_MODE_RANGE,
         0,
         {{PING_MODE, 3}},
         {{PING_REQ_ADD_RANGE, 3}}},
        {"add in the vendor mode imports",
         control_event(BUTTON_PING_ADD, 0),
         NONE,
         PING_MODE_MAC_VENDORS,
         0,
         {{MAC_VENDORS_OFF, 1}},
         {{MAC_VENDORS_OFF, 0}}},
        {"delete the selected",
         control_event(BUTTON_PING_DELETE, 0),
         NONE,
         PING_MODE_HOST_NAME,
         2,
         {},
         {{PING_REQ_DELETE, 1}}},
        {"Shift-delete all",
         control_event(BUTTON_PING_DELETE, 0),
         SHIFT,
         PING_MODE_ADDRESS,
         2,
         {},
         {{PING_REQ_DELETE, -1}}},
        {"delete with no hosts", control_event(BUTTON_PING_DELETE, 0), SHIFT, PING_MODE_HOST_NAME, 0, {}, {}},
        {"clear data with an empty vendor list",
         control_event(BUTTON_PING_DELETE, 0),
         NONE,
         PING_MODE_MAC_VENDORS,
         2,
         {},
         {}},
        {"clear data",
         control_event(BUTTON_PING_DELETE, 0),
         NONE,
         PING_MODE_MAC_VENDORS,
         2,
         {{MAC_VENDOR_COUNT, 5}},
         {{MAC_VENDORS_OFF, 1}}},
        {"reset the selected",
         control_event(BUTTON_PING_RESET, 0),
         NONE,
         PING_MODE_HOST_NAME,
         1,
         {},
         {{PING_REQ_RESET, 1}}},
        {"Shift-reset all", control_event(BUTTON_PING_RESET, 0), SHIFT, PING_MODE_RANGE, 1, {}, {{PING_REQ_RESET, -1}}},
        {"reset with no hosts", control_event(BUTTON_PING_RESET, 0), NONE, PING_MODE_HOST_NAME, 0, {}, {}},
        {"reset in the vendor mode opens a page",
         control_event(BUTTON_PING_RESET, 0),
         SHIFT,
         PING_MODE_MAC_VENDORS,
         3,
         {},
         {}},
        {"a pointer movement over a button",
         control_event(BUTTON_PING_DELETE, 65539),
         NONE,
         PING_MODE_HOST_NAME,
         2,
         {},
         {}},
    };
    for (const Case& c : cases) {
        SetUp();
        for (const auto& [index, value] : c.before) SharedInts[index] = value;
        PingControlInput input;
        input.event = c.event;
        input.shift = c.keys & SHIFT;
        input.ctrl = c.keys & CTRL;
        input.alt = c.keys & ALT;
        input.mode_shown = c.mode_shown;
        input.host_count = c.hosts;
        ping_control_event(input);
        for (auto [index, value] : WATCHED) {
            for (const auto& [set, v] : c.before)
                if (set == index) value = v;
            for (const auto& [set, v] : c.after)
                if (set == index) value = v;
            EXPECT_EQ(SharedInts[index].load(), value) << c.what << ": element " << index;
        }
    }
}

TEST_F(PingTabEvents, StatusColumnsPickTheSortColumn) {
    const std::pair<int, int> cases[] = {{0, 1},  {11, 1}, {12, 2}, {37, 2}, {38, 3}, {45, 3}, {46, 4}, {50, 4},
                                         {51, 5}, {55, 5}, {56, 6}, {62, 6}, {63, 7}, {76, 7}, {77, 0}, {-1, 0}};
    for (const auto& [column, sort] : cases) EXPECT_EQ(ping_sort_column(column), sort) << "column " << column;
}

TEST_F(PingTabEvents, AddInHostNameModeQueuesOnlyTheHostPart) {
    PingControlInput input;
    input.event = control_event(BUTTON_PING_ADD, 0);
    input.mode_shown = PING_MODE_HOST_NAME;
    input.host_text = L"https://example.org/path/page.html";
    const PingControlActions queued = ping_control_event(input);
    EXPECT_TRUE(queued.lookup_start);
    EXPECT_EQ(queued.lookup_names, L"example.org");
    EXPECT_EQ(shared_text(PING_ADD_QUEUE), L"") << "the queue is the lookup worker's, changed under its lock";

    input.host_text = L"";
    EXPECT_FALSE(ping_control_event(input).lookup_start) << "an empty field starts no worker";
    EXPECT_EQ(ping_host_queue_text(L"http://a.lan https://b.lan"), L"a.lan b.lan");
}

TEST_F(PingTabEvents, AddInAddressModeWritesTheDescriptionBeforeTheRequest) {
    PingControlInput input;
    input.event = control_event(BUTTON_PING_ADD, 0);
    input.mode_shown = PING_MODE_ADDRESS;
    input.from_text = L"10.0.0.5";
    input.from_address = 0x0500000A;
    input.description_text = L"description";  // the cue typed over
    input.description_cue = L"description";
    shared_text_set(PING_ADD_NAME, L"stale");
    ping_control_event(input);
    EXPECT_EQ(SharedInts[PING_REQ_ADD_HOST].load(), 0x0500000A);
    EXPECT_EQ(shared_text(PING_ADD_NAME), L"");

    SharedInts[PING_REQ_ADD_HOST] = 0;
    input.description_text = L"Printer";
    ping_control_event(input);
    EXPECT_EQ(shared_text(PING_ADD_NAME), L"Printer");

    SharedInts[PING_REQ_ADD_HOST] = 0;
    input.from_text = L"0.0.0.0";
    input.from_address = 0;
    ping_control_event(input);
    EXPECT_EQ(SharedInts[PING_REQ_ADD_HOST].load(), 0) << "an empty address field adds nothing";
}

TEST_F(PingTabEvents, RangeFieldsKeepTheirFirstThreeOctetsTogether) {
    SharedInts[PING_MODE] = PING_MODE_RANGE;
    PingControlInput input;
    input.event = control_event(INPUT_PING_IP_FROM, EVENT_TYPE_CHANGE);
    input.mode_shown = PING_MODE_RANGE;
    input.from_address = 0x0500000A;  // 10.0.0.5
    input.to_address = 0x1401A8C0;    // 192.168.1.20
    PingControlActions actions = ping_control_event(input);
    EXPECT_TRUE(actions.to_address_set);
    EXPECT_EQ(actions.to_address, 0x1400000Au) << "10.0.0.20";
    EXPECT_FALSE(actions.from_address_set);
    EXPECT_EQ(SharedQuads[PING_RANGE_FROM].load(), 0x0500000A);
    EXPECT_EQ(SharedQuads[PING_RANGE_TO].load(), 0x1401A8C0);

    input.event.control = INPUT_PING_IP_TO;
    actions = ping_control_event(input);
    EXPECT_TRUE(actions.from_address_set);
    EXPECT_EQ(actions.from_address, 0x0501A8C0u) << "192.168.1.5";

    input.to_address = 0x1400000A;  // already in the same /24: nothing to set, so the fields do not echo
    EXPECT_FALSE(ping_control_event(input).from_address_set);

    SharedInts[PING_MODE] = PING_MODE_ADDRESS;
    input.event.control = INPUT_PING_IP_FROM;
    input.mode_shown = PING_MODE_ADDRESS;
    SharedQuads[PING_RANGE_FROM] = 0;
    EXPECT_FALSE(ping_control_event(input).to_address_set);
    EXPECT_EQ(SharedQuads[PING_RANGE_FROM].load(), 0) << "outside the range modes";
}

TEST_F(PingTabEvents, IntervalChoiceSetsTheIntervalTimeOutAndAnEarlyRound) {
    struct Case {
        int item, seconds, timeout;
    };
    const Case cases[] = {{0, 1, 1000}, {1, 2, 2500}, {9, 60, 2500}, {15, 900, 2500}};
    for (const Case& c : cases) {
        PingControlInput input;
        input.event = control_event(COMBO_PING_INTERVAL, EVENT_TYPE_CHANGE);
        input.selected_item = c.item;
        input.now = 1'000'000 + c.item;
        ping_control_event(input);
        EXPECT_EQ(SharedInts[PING_INTERVAL_CHOICE].load(), c.item);
        EXPECT_EQ(SharedInts[PING_INTERVAL_S].load(), c.seconds) << "item " << c.item;
        EXPECT_EQ(SharedInts[PING_TIMEOUT_MS].load(), c.timeout) << "item " << c.item;
        EXPECT_EQ(SharedQuads[PING_NEXT_ROUND].load(), input.now) << "item " << c.item;
    }
    PingControlInput beyond;
    beyond.event = control_event(COMBO_PING_INTERVAL, EVENT_TYPE_CHANGE);
    beyond.selected_item = 16;
    ping_control_event(beyond);
    EXPECT_EQ(SharedInts[PING_INTERVAL_CHOICE].load(), 15) << "an item past the list changes nothing";
}

TEST_F(PingTabEvents, ModeFontSizeNowButtonAndWheelScroll) {
    PingControlInput input;
    input.event = control_event(COMBO_PING_MODE, EVENT_TYPE_CHANGE);
    input.selected_item = PING_MODE_MAC_VENDORS;
    EXPECT_TRUE(ping_control_event(input).toolbar_rebuild);
    EXPECT_EQ(SharedInts[PING_MODE].load(), PING_MODE_MAC_VENDORS);

    input.event = control_event(COMBO_PING_FONT_SIZE, EVENT_TYPE_CHANGE);
    input.selected_item = 3;
    ping_control_event(input);
    EXPECT_EQ(SharedInts[PING_FONT_SIZE].load(), 12);

    input.event = control_event(BUTTON_PING_NOW, 0);
    input.now = 4242;
    input.host_count = 0;
    ping_control_event(input);
    EXPECT_EQ(SharedQuads[PING_NEXT_ROUND].load(), 0) << "nothing to ping";
    input.host_count = 1;
    ping_control_event(input);
    EXPECT_EQ(SharedQuads[PING_NEXT_ROUND].load(), 4242);

    input.event = control_event(CANVAS_PING_LIST, EVENT_TYPE_MOUSE_WHEEL, 0, 0, 1);
    input.scroll_y = 100;
    input.scroll_step = 12;
    PingControlActions actions = ping_control_event(input);
    EXPECT_TRUE(actions.scroll_set);
    EXPECT_EQ(actions.scroll_y, 88);
    input.event.wheel = -1;
    EXPECT_EQ(ping_control_event(input).scroll_y, 112);
    input.event.wheel = 0;
    EXPECT_FALSE(ping_control_event(input).scroll_set);
}

TEST(PingTabModeShown, TheFirstExistingInputTellsTheMode) {
    EXPECT_EQ(ping_mode_shown(true, true, true, true), PING_MODE_RANGE);
    EXPECT_EQ(ping_mode_shown(false, true, true, true), PING_MODE_MAC_VENDORS);
    EXPECT_EQ(ping_mode_shown(false, false, true, true), PING_MODE_HOST_NAME);
    EXPECT_EQ(ping_mode_shown(false, false, false, true), PING_MODE_ADDRESS);
    EXPECT_EQ(ping_mode_shown(false, false, false, false), -1);
}

}  // namespace
