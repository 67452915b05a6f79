// The event search without the controls: what a query matches in each mode, the hits and counts of a pass
// with and without a type filter, the type combos' items and their mapping, the result texts, and the
// emptying of the lists when the log is closed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/control_numbers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "eventlog/event_search.h"
#include "runtime/list_model.h"

namespace {

enum Type { NONE = 0, ERROR_TYPE = 1, WARNING = 2, INFO = 3, SUCCESS = 4, FAILURE = 5 };

EventRecord event_of(int64_t record, int32_t id, int type, const wchar_t* source, const wchar_t* message) {
    EventRecord event;
    event.record_number = record;
    event.event_id = id;
    event.type = type;
    event.source = source;
    event.message = message;
    return event;
}

const std::array<std::wstring, EVENT_TYPE_COUNT> LABELS = {L"(None)", L"Error",   L"Warning",
                                                           L"Info",   L"Success", L"Failure"};

class EventSearch : public ::testing::Test {
protected:
    void SetUp() override {
        shared_state_init(SharedStateFacts{});
        shared_tables_init();
        text_maps_load(LANGUAGE_ENGLISH);
    }
};

TEST_F(EventSearch, AQueryMatchesTheFieldsOfItsMode) {
    const EventRecord disk = event_of(1210, 7, ERROR_TYPE, L"Disk", L"A Disk Error occurred on \\Device\\Harddisk1");
    const EventRecord kernel = event_of(12, 41, WARNING, L"Kernel-Power", L"Error on disk 0 | restart");
    struct Case {
        const EventRecord* event;
        int mode;
        const wchar_t* query;
        bool matches;
    };
    const Case cases[] = {
        // The stored texts are lower-cased for the test; the query is taken as it is (the field lower-cases it).
        {&disk, SEARCH_SOURCE, L"disk", true},
        {&disk, SEARCH_SOURCE, L"Disk", false},
        {&kernel, SEARCH_SOURCE, L"disk", false},
        {&kernel, SEARCH_DESCRIPTION, L"disk", true},
        // Several words are one text: they match where they stand together in that order.
        {&disk, SEARCH_DESCRIPTION, L"disk error", true},
        {&kernel, SEARCH_DESCRIPTION, L"disk error", false},
        {&kernel, SEARCH_DESCRIPTION, L"0 | restart", true},
        // Numbers match on any part of their digits.
        {&disk, SEARCH_RECORD, L"10", true},
        {&disk, SEARCH_RECORD, L"121", true},
        {&kernel, SEARCH_RECORD, L"10", false},
        {&kernel, SEARCH_EVENT_ID, L"4", true},
        {&kernel, SEARCH_EVENT_ID, L"12", false},
        // All fields: source, message, record number, event id in turn.
        {&kernel, SEARCH_ALL_FIELDS, L"power", true},
        {&kernel, SEARCH_ALL_FIELDS, L"restart", true},
        {&kernel, SEARCH_ALL_FIELDS, L"12", true},
        {&kernel, SEARCH_ALL_FIELDS, L"41", true},
        {&kernel, SEARCH_ALL_FIELDS, L"harddisk", false},
        {&kernel, 7, L"power", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(event_matches(*c.event, c.mode, c.query), c.matches)
            << c.mode << " " << testing::PrintToString(c.query);
}

TEST_F(EventSearch, RecordNumbersContainingTheDigitsAreFound) {
    std::vector<EventRecord> events;
    for (int64_t record : {10, 12, 100, 1210, 510, 1}) events.push_back(event_of(record, 1, INFO, L"S", L"m"));
    const EventSearchScan scan = event_search_scan(events, L"10", -1, SEARCH_RECORD);
    EXPECT_EQ(scan.matches, 4);
    EXPECT_EQ(scan.hits, (std::vector<int64_t>{0, 2, 3, 4}));
    EXPECT_EQ(scan.type_counts[INFO], 4);
}

TEST_F(EventSearch, TypeFiltersNarrowTheHitsAndCountEveryType) {
    const std::vector<EventRecord> events = {
        event_of(6, 1, WARNING, L"Disk", L"disk slow"), event_of(5, 2, ERROR_TYPE, L"Disk", L"disk failed"),
        event_of(4, 3, INFO, L"Service", L"started"),   event_of(3, 4, WARNING, L"Time", L"clock off"),
        event_of(2, 5, INFO, L"Disk", L"disk ready"),   event_of(1, 6, 9, L"Odd", L"type out of range"),
    };
    struct Case {
        const char* what;
        const wchar_t* query;
        int filter;
        int matches;
        std::vector<int64_t> hits;
        std::array<int32_t, EVENT_TYPE_COUNT> counts;
        bool filter_reset;
    };
    const Case cases[] = {
        {"no query, no filter: no search", L"", -1, 0, {}, {}, false},
        {"warning filter alone: every event counts, the warnings are the hits",
         L"",
         WARNING,
         6,
         {0, 3},
         {1, 1, 2, 2, 0, 0},
         false},
        {"query with no filter", L"disk", -1, 3, {0, 1, 4}, {0, 1, 1, 1, 0, 0}, false},
        {"query with the error filter", L"disk", ERROR_TYPE, 3, {1}, {0, 1, 1, 1, 0, 0}, false},
        {"no warning matches: the filter is dropped", L"ready", WARNING, 0, {}, {0, 0, 0, 1, 0, 0}, true},
        {"nothing matches at all", L"absent", WARNING, 0, {}, {}, false},
        {"a filter beyond the types is no filter", L"disk", 6, 3, {0, 1, 4}, {0, 1, 1, 1, 0, 0}, false},
    };
    for (const Case& c : cases) {
        const EventSearchScan scan = event_search_scan(events, c.query, c.filter, SEARCH_ALL_FIELDS);
        EXPECT_EQ(scan.matches, c.matches) << c.what;
        EXPECT_EQ(scan.hits, c.hits) << c.what;
        EXPECT_EQ(scan.type_counts, c.counts) << c.what;
        EXPECT_EQ(scan.filter_reset, c.filter_reset) << c.what;
    }
}

TEST_F(EventSearch, ProgressIsToldEveryFortyNinthElement) {
    std::vector<EventRecord> events(120, event_of(1, 1, INFO, L"S", L"hit"));
    std::vector<std::size_t> told;
    event_search_scan(events, L"hit", -1, SEARCH_DESCRIPTION, [&](std::size_t i, int) { told.push_back(i); });
    EXPECT_EQ(told, (std::vector<std::size_t>{0, 49, 98}));
}

TEST_F(EventSearch, TypeComboItemsCountRightJustifiedWithEnSpaces) {
    // 1200 events, 7 of them errors.
    const EventTypeItems list = event_type_items(1200, L"Events", {0, 7, 0, 1193, 0, 0}, LABELS, -1);
    EXPECT_EQ(list.items,
              (std::vector<std::wstring>{L"1200 - Events", L"1193 - Info", L"\u2002\u2002\u20027 - Error"}));
    EXPECT_EQ(list.selected, 0);
    EXPECT_EQ(list.digits, 4);
    EXPECT_EQ(list.item_type[1], INFO);
    EXPECT_EQ(list.item_type[2], ERROR_TYPE);

    // A single type offers no choice: its item is the only one.
    const EventTypeItems only = event_type_items(40, L"Events", {0, 0, 0, 40, 0, 0}, LABELS, -1);
    EXPECT_EQ(only.items, (std::vector<std::wstring>{L"40 - Info"}));
    EXPECT_EQ(only.selected, 0);

    // The search combo selects the filter's item.
    const EventTypeItems search = event_type_items(6, L"No Filter", {1, 1, 2, 2, 0, 0}, LABELS, WARNING);
    EXPECT_EQ(search.items[0], L"6 - No Filter");
    EXPECT_EQ(search.items[search.selected], L"2 - Warning");
}

// With every type present the combos hold seven items, and item 6 is mapped too: the table has an entry
// for it (it used to end at entry 5, and the mapping wrote past its end).
TEST_F(EventSearch, EveryTypeItemIsMappedInTheTypeTable) {
    const EventTypeItems items = event_type_items(21, L"Events", {1, 2, 3, 4, 5, 6}, LABELS, -1);
    ASSERT_EQ(items.items.size(), 7u);
    event_type_table_map(items, false);
    event_type_table_map(event_type_items(21, L"No Filter", {1, 2, 3, 4, 5, 6}, LABELS, 0), true);
    for (int item = 1; item <= EVENT_TYPE_COUNT; ++item) {
        EXPECT_EQ(EventTypeTable.at(static_cast<std::size_t>(item)).list_item_type, EVENT_TYPE_COUNT - item) << item;
        EXPECT_EQ(EventTypeTable.at(static_cast<std::size_t>(item)).search_item_type, EVENT_TYPE_COUNT - item) << item;
    }
    EXPECT_EQ(EventTypeTable[0].digits, 2);
    EXPECT_EQ(EventTypeTable[1].digits, 2);
}

TEST_F(EventSearch, ResultTextsNameTheMatchesAndTheFilter) {
    struct Case {
        EventSearchReport report;
        const wchar_t* text;
    };
    const Case cases[] = {
        {{false, WARNING, 0, 0, L"Warning  ", 300, 0.25}, L"[0.25s] 0 Search Results in Warning Events"},
        {{false, -1, 12, 0, L"", 300, 1.5}, L"[1.50s] 12 Search Results in 300 Events"},
        {{true, ERROR_TYPE, 300, 7, L"Error", 300, 0}, L"[0.00s] 7 Error Events"},
        {{true, -1, 0, 0, L"", 300, 0}, L"[0.00s] 300 Events"},
    };
    for (const Case& c : cases) EXPECT_EQ(event_search_result_text(c.report), c.text);
}

TEST_F(EventSearch, LinesFollowTheEventListsColumns) {
    EventRecord event = event_of(4711, 7, ERROR_TYPE, L"Disk", L"bad block");
    event.time_generated = date_from_parts({2026, 3, 29, 1, 30, 5});
    EXPECT_EQ(event_search_line(event, L"Error    "),
              L"2026-03-29 01:30:05  4711      7      Error    Disk                           bad block");
}

TEST_F(EventSearch, ClosingEmptiesTheListsAndTheCounts) {
    EventList = {event_of(2, 1, INFO, L"S", L"a"), event_of(1, 1, ERROR_TYPE, L"S", L"b")};
    EventSearchList = {1};
    EventTypeTable[INFO].count = 1;
    EventTypeTable[ERROR_TYPE].count = 1;
    EventTypeTable[2].list_item_type = INFO;
    for (int list : {LIST_EVENTS, LIST_EVENT_SEARCH, LIST_EVENT_DETAILS}) list_rows_assign(list, {L"row"});
    SharedInts[EVENTLOG_DETAILS_INDEX] = 1;
    SharedInts[EVENTLOG_SEARCH_STATE] = 1;

    event_list_close();
    EXPECT_TRUE(EventList.empty());
    EXPECT_TRUE(EventSearchList.empty());
    for (const EventTypeInfo& type : EventTypeTable) {
        EXPECT_EQ(type.count, 0);
        EXPECT_EQ(type.list_item_type, 0);
    }
    for (int list : {LIST_EVENTS, LIST_EVENT_SEARCH, LIST_EVENT_DETAILS}) EXPECT_EQ(list_rows_count(list), 0) << list;
    EXPECT_EQ(SharedInts[EVENTLOG_DETAILS_INDEX].load(), -1);
    EXPECT_EQ(SharedInts[EVENTLOG_SEARCH_STATE].load(), 0);
}

}  // namespace
