// The event log reader and the event page thread on a fake log: the selector's logs, first and later reads,
// the age widening, and the thread's rounds (periodic read, reload, close, search, font) and its quit.
#include "eventlog/event_page.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

#include "core/control_numbers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "eventlog/event_details.h"
#include "eventlog/event_log_reader.h"
#include "eventlog/event_search.h"
#include "eventlog/fake_event_log.h"
#include "runtime/list_model.h"
#include "runtime/threads.h"
#include "runtime/wait_until.h"
#include "runtime/worker_timer.h"

namespace {

constexpr int64_t NOW = 1'800'000'000;
constexpr int64_t DAY = 86400;
constexpr int64_t OFFSET = -3600;  // UTC minus local time of a zone one hour east

// The fake log behind a lock, so that a test adds records while the page thread reads.
std::mutex fake_lock;
std::atomic<bool> quit_on_first_read{false};

EventLogHandle locked_open(const std::wstring& name) {
    std::lock_guard guard(fake_lock);
    return fake_event_log_api().open(name);
}
bool locked_count(EventLogHandle log, uint32_t& count) {
    std::lock_guard guard(fake_lock);
    return fake_event_log_api().record_count(log, count);
}
bool locked_oldest(EventLogHandle log, uint32_t& number) {
    std::lock_guard guard(fake_lock);
    return fake_event_log_api().oldest_record(log, number);
}
EventLogReadResult locked_read(EventLogHandle log, uint8_t* buffer, uint32_t size, uint32_t& bytes_read,
                               uint32_t& needed) {
    std::lock_guard guard(fake_lock);
    // The program is asked to end while the first block of a read is on its way.
    if (quit_on_first_read.exchange(false)) quit_flag_raise(1);
    return fake_event_log_api().read_backwards(log, buffer, size, bytes_read, needed);
}
void locked_close(EventLogHandle log) {
    std::lock_guard guard(fake_lock);
    fake_event_log_api().close(log);
}
std::wstring locked_account(const uint8_t* sid, uint32_t length) {
    return fake_event_log_api().account_name(sid, length);
}
std::vector<std::wstring> locked_names() {
    std::lock_guard guard(fake_lock);
    return fake_event_log_api().log_names();
}
const EventLogApi locked_api{.open = locked_open,
                             .record_count = locked_count,
                             .oldest_record = locked_oldest,
                             .read_backwards = locked_read,
                             .close = locked_close,
                             .account_name = locked_account,
                             .log_names = locked_names};

void fake_add(const FakeRecord& made) {
    std::lock_guard guard(fake_lock);
    fake_event_log().add(made);
}
int fake_reads() {
    std::lock_guard guard(fake_lock);
    return fake_event_log().reads;
}

FakeRecord event_at(uint32_t number, int64_t age_s, std::u16string source = u"Service Control Manager") {
    return {.number = number,
            .time_generated = static_cast<uint32_t>(NOW - age_s),
            .type = 4,
            .source = std::move(source),
            .strings = {u"started"}};
}

// What the reader did on the controls.
std::vector<int> days_selected;
std::vector<std::wstring> status_texts;

int days_count() { return 15; }  // the 14 ages of the default choices and "Forever"
void days_select(int item) { days_selected.push_back(item); }
void nothing_bool(bool) {}
void nothing() {}
void status_capture(std::wstring_view text) { status_texts.emplace_back(text); }
bool no_row_selected() { return false; }
void row_select(int) {}
int details_served(int) { return -1; }
int64_t fixed_now() { return NOW; }
Date one_hour_east(int64_t utc) { return utc - OFFSET; }
const EventReaderHooks reader_hooks{.days_count = days_count,
                                    .days_select = days_select,
                                    .controls_enable = nothing_bool,
                                    .search_view_hide = nothing,
                                    .status_text = status_capture,
                                    .row_selected = no_row_selected,
                                    .row_select = row_select,
                                    .details_show = details_served,
                                    .type_filter_fill = nothing,
                                    .utc_now = fixed_now,
                                    .local_from_utc = one_hour_east};

// The page thread's stand-ins: the reader on the locked fake, and the requests noted.
std::atomic<bool> tab_visible{true};
std::atomic<int> searches{0};
std::atomic<int> watch_starts{0};
std::atomic<int> fonts_applied{0};
std::atomic<std::thread::id> close_served_on{};

int list_fill(const std::wstring& wanted) {
    const EventLogChoice choice = event_log_choice(locked_api, wanted);
    shared_text_set(EVENTLOG_NAME,
                    choice.selected >= 0 ? choice.names[static_cast<std::size_t>(choice.selected)] : L"");
    if (choice.system_present) SharedInts[SYSTEM_LOG_PRESENT] = 1;
    return 0;
}
int read_new(const std::wstring& name) { return event_log_read_new_with(locked_api, name, reader_hooks); }
int search(const std::wstring&, int) {
    ++searches;
    return 1;
}
void status_line_draw(int32_t, std::wstring_view) {}
// As the tab serves it: the lists emptied by the thread that owns them.
bool close_request_serve() {
    if (SharedInts[EVENTLOG_CLOSE_REQUEST].load() == 0) return false;
    event_list_close();
    close_served_on = std::this_thread::get_id();
    SharedInts[EVENTLOG_CLOSE_REQUEST] = 0;
    return true;
}
bool tab_shown() { return tab_visible.load(); }
void font_apply(int, bool) { ++fonts_applied; }
void lists_clear() { list_rows_clear(LIST_EVENTS); }
void status_text(std::wstring_view, int) {}
std::atomic<int> events_copies{0};
void copy_tab() {
    ++events_copies;
    SharedInts[COPY_TAB_REQUEST] = -1;
}
void disk_watch_start() { ++watch_starts; }
const EventPageHooks page_hooks{.list_fill = list_fill,
                                .read_new = read_new,
                                .search = search,
                                .details_show = details_served,
                                .status_line_draw = status_line_draw,
                                .close_request_serve = close_request_serve,
                                .tab_shown = tab_shown,
                                .font_apply = font_apply,
                                .lists_clear = lists_clear,
                                .status_text = status_text,
                                .copy_tab = copy_tab,
                                .disk_watch_start = disk_watch_start};

std::vector<std::wstring> service_names;
std::vector<std::wstring> service_log_names() { return service_names; }

std::vector<int64_t> numbers_listed() {
    std::lock_guard guard(EventListLock);
    std::vector<int64_t> numbers;
    for (const EventRecord& event : EventList) numbers.push_back(event.record_number);
    return numbers;
}

class EventPage : public ::testing::Test {
protected:
    void SetUp() override {
        text_maps_load(LANGUAGE_ENGLISH);
        shared_state_init(SharedStateFacts{});
        {
            std::lock_guard guard(fake_lock);
            fake_event_log() = FakeEventLog{};
        }
        {
            std::lock_guard guard(EventListLock);
            EventList.clear();
            EventSearchList.clear();
        }
        event_type_table_clear();
        list_rows_clear(LIST_EVENTS);
        days_selected.clear();
        status_texts.clear();
        tab_visible = true;
        searches = 0;
        watch_starts = 0;
        fonts_applied = 0;
        close_served_on = std::thread::id{};
        quit_on_first_read = false;
        SharedQuads[EVENTLOG_UTC_OFFSET] = OFFSET;
        shared_text_set(EVENTLOG_NAME, L"System");
    }
    void TearDown() override { quit_flag_clear(); }

    // Runs the page thread and ends it on quit; the test fails when it does not end.
    struct PageThread {
        int64_t thread = thread_create([](int64_t) { event_page_run(page_hooks); }, 0);
        ~PageThread() {
            quit_flag_raise(1);
            EXPECT_TRUE(thread_wait(thread, 10000)) << "the event page thread did not end on quit";
        }
    };
};

TEST_F(EventPage, TheSelectorListsTheLogsWithRecordsAndFindsTheWantedOneByItsExactName) {
    struct Case {
        const char* name;
        std::vector<std::wstring> names;
        std::wstring wanted;
        std::vector<std::wstring> listed;
        int selected;
        bool system;
    };
    const Case cases[] = {
        {"wanted among several",
         {L"Application", L"System", L"Security"},
         L"Security",
         {L"Application", L"System", L"Security"},
         2,
         true},
        {"names compared exactly", {L"system", L"Application"}, L"System", {L"system", L"Application"}, -1, false},
        {"unknown names left out", {L"Application", L"Nowhere"}, L"Application", {L"Application"}, 0, false},
    };
    for (const Case& c : cases) {
        // The service knows every name of the case; "Nowhere" does not open.
        service_names = c.names;
        {
            std::lock_guard guard(fake_lock);
            fake_event_log() = FakeEventLog{};
            fake_event_log().names = c.names;
            std::erase(fake_event_log().names, L"Nowhere");
            fake_event_log().add(event_at(1, 60));
        }
        EventLogApi api = locked_api;
        api.log_names = service_log_names;
        const EventLogChoice choice = event_log_choice(api, c.wanted);
        EXPECT_EQ(choice.names, c.listed) << c.name;
        EXPECT_EQ(choice.selected, c.selected) << c.name;
        EXPECT_EQ(choice.system_present, c.system) << c.name;
    }

    // An empty log is left out; no names from the service: the three usual logs are tried.
    fake_event_log() = FakeEventLog{};
    fake_event_log().names = {L"Security", L"System"};
    EXPECT_TRUE(event_log_choice(locked_api, L"System").names.empty()) << "a log without records is listed";
    fake_event_log().add(event_at(1, 60));
    EventLogApi no_names = locked_api;
    no_names.log_names = [] { return std::vector<std::wstring>{}; };
    const EventLogChoice fallback = event_log_choice(no_names, L"System");
    EXPECT_EQ(fallback.names, (std::vector<std::wstring>{L"System", L"Security"}));
    EXPECT_EQ(fallback.selected, 0);
}

TEST_F(EventPage, AFirstReadAppendsNewestFirstAndALaterOneInsertsOnlyTheNewRecordsOnTop) {
    fake_add(event_at(1, 300));
    fake_add(event_at(2, 200, u"Microsoft-Windows-Kernel-General"));
    fake_add(event_at(3, 100, u""));  // no source: counted, not kept
    ASSERT_EQ(read_new(L"System"), 0) << "a first fill inserts nothing on top";
    EXPECT_EQ(numbers_listed(), (std::vector<int64_t>{2, 1}));
    EXPECT_EQ(list_rows_count(LIST_EVENTS), 2);
    EXPECT_EQ(SharedQuads[EVENTLOG_LAST_RECORD].load(), 3);
    EXPECT_EQ(EventTypeTable[3].count.load(), 2) << "information events counted";
    {
        std::lock_guard guard(EventListLock);
        EXPECT_EQ(EventList[0].source, L"Kernel-General");
        EXPECT_EQ(EventList[0].time_generated, NOW - 200 - OFFSET) << "times are kept in local time";
    }

    const int reads = fake_reads();
    EXPECT_EQ(read_new(L"System"), 0);
    EXPECT_EQ(fake_reads(), reads) << "a log whose count did not grow is read again";

    fake_add(event_at(4, 50));
    fake_add(event_at(5, 10));
    status_texts.clear();
    EXPECT_EQ(read_new(L"System"), 2);
    EXPECT_EQ(numbers_listed(), (std::vector<int64_t>{5, 4, 2, 1}));
    EXPECT_EQ(list_rows_count(LIST_EVENTS), 4);
    EXPECT_NE(list_row(LIST_EVENTS, 0).find(L"5         "), std::wstring::npos) << list_row(LIST_EVENTS, 0);
    ASSERT_FALSE(status_texts.empty());
    EXPECT_TRUE(status_texts.back().ends_with(L": 4 Events, 2 New")) << status_texts.back();
}

TEST_F(EventPage, TheAgeWidensUntilTheNewestRecordIsInsideItForThatReadOnly) {
    SharedInts[EVENTLOG_AGE_CHOICE] = 0;  // 1 day
    fake_add(event_at(1, 12 * DAY));
    fake_add(event_at(2, 9 * DAY + 100));
    fake_add(event_at(3, 9 * DAY));
    read_new(L"System");
    // 1 day, then 2, 3, 7 and 10 days: the records of the last 10 days.
    EXPECT_EQ(days_selected, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(numbers_listed(), (std::vector<int64_t>{3, 2}));

    days_selected.clear();
    SharedInts[EVENTLOG_AGE_CHOICE] = 14;  // "Forever"
    SharedQuads[EVENTLOG_RECORD_COUNT] = 0;
    SharedQuads[EVENTLOG_LAST_RECORD] = 0;
    SharedQuads[EVENTLOG_NEWEST_RECORD] = 0;
    {
        std::lock_guard guard(EventListLock);
        EventList.clear();
    }
    read_new(L"System");
    EXPECT_EQ(days_selected, (std::vector<int>{14})) << "the stored choice is selected again";
    EXPECT_EQ(numbers_listed(), (std::vector<int64_t>{3, 2, 1}));
}

TEST_F(EventPage, TheListsFillThePanelBelowTheStatusLineWithoutNegativeHeights) {
    struct Case {
        int status_y, status_height, panel, details;
        EventListsLayout expected;
    };
    const Case cases[] = {
        {30, 12, 500, 150, {42, 308, 350, 150}},
        {30, 12, 100, 150, {42, 0, 42, 58}},  // the details list gives way in a low panel
        {30, 12, 20, 150, {20, 0, 20, 0}},    // a panel lower than the status line
        {30, 12, 500, -5, {42, 458, 500, 0}},
    };
    for (const Case& c : cases) {
        const EventListsLayout got = event_lists_layout(c.status_y, c.status_height, c.panel, c.details);
        EXPECT_EQ(got.lists_y, c.expected.lists_y) << c.panel << "/" << c.details;
        EXPECT_EQ(got.lists_height, c.expected.lists_height) << c.panel << "/" << c.details;
        EXPECT_EQ(got.details_y, c.expected.details_y) << c.panel << "/" << c.details;
        EXPECT_EQ(got.details_height, c.expected.details_height) << c.panel << "/" << c.details;
    }
}

TEST_F(EventPage, RoundsReadWhenTheTabShowsAndServeReloadSearchAndFontRequests) {
    fake_add(event_at(1, 60));
    SharedInts[EVENTLOG_FONT_SIZE] = 40;  // from a settings file: more than the lists take
    event_page_start(page_hooks);
    EXPECT_EQ(SharedInts[EVENTLOG_FONT_APPLIED].load(), 28);
    EXPECT_EQ(watch_starts.load(), 1) << "a System log with records starts the disk-error watcher";
    EXPECT_EQ(EventTypeTable[1].label, L"Error");
    EventPageState state;

    tab_visible = false;
    EXPECT_TRUE(event_page_round(state, page_hooks));
    EXPECT_TRUE(numbers_listed().empty()) << "read while the tab is hidden";
    tab_visible = true;
    EXPECT_TRUE(event_page_round(state, page_hooks));
    EXPECT_EQ(numbers_listed(), (std::vector<int64_t>{1}));
    EXPECT_EQ(state.countdown, EVENT_PAGE_READ_ROUNDS);
    EXPECT_EQ(fonts_applied.load(), 1) << "a clamped size that is applied is applied again";

    // A reload with search results shown: emptied in one round, read and searched again in the next.
    fake_add(event_at(2, 30));
    SharedInts[EVENTLOG_SEARCH_STATE] = 1;
    SharedInts[EVENTLOG_RELOAD_STATE] = 1;
    event_page_round(state, page_hooks);
    EXPECT_EQ(SharedInts[EVENTLOG_RELOAD_STATE].load(), 2);
    EXPECT_TRUE(numbers_listed().empty());
    EXPECT_EQ(SharedQuads[EVENTLOG_LAST_RECORD].load(), 0);
    event_page_round(state, page_hooks);
    EXPECT_EQ(numbers_listed(), (std::vector<int64_t>{2, 1}));
    EXPECT_EQ(SharedInts[EVENTLOG_RELOAD_STATE].load(), 0);
    EXPECT_EQ(searches.load(), 0) << "the read left the search view, so nothing is searched";

    // A search text survives a reload.
    shared_text_set(EVENTLOG_SEARCH_TEXT, L"disk");
    SharedInts[EVENTLOG_RELOAD_STATE] = 1;
    event_page_round(state, page_hooks);
    event_page_round(state, page_hooks);
    EXPECT_EQ(searches.load(), 1);
    EXPECT_EQ(SharedInts[EVENTLOG_SEARCH_STATE].load(), 1);

    SharedInts[EVENTLOG_SEARCH_STATE] = -1;
    state.countdown = 3;
    event_page_round(state, page_hooks);
    EXPECT_EQ(searches.load(), 2);
    EXPECT_EQ(state.countdown, EVENT_PAGE_READ_ROUNDS) << "the periodic read comes 20 s after a search";

    SharedInts[EVENTLOG_FONT_SIZE] = 12;
    event_page_round(state, page_hooks);
    EXPECT_EQ(SharedInts[EVENTLOG_FONT_APPLIED].load(), 12);
    EXPECT_EQ(fonts_applied.load(), 2);
}

// F5 pressed while a read is on its way: the end of the read does not wipe the request.
TEST_F(EventPage, AReloadAskedForDuringAReadIsServedAfterIt) {
    fake_add(event_at(1, 60));
    EventPageHooks hooks = page_hooks;
    hooks.read_new = [](const std::wstring& name) {
        const int result = read_new(name);
        SharedInts[EVENTLOG_RELOAD_STATE] = 1;  // as the event loop would, meanwhile
        return result;
    };
    event_page_start(hooks);
    EventPageState state;
    event_page_round(state, hooks);
    EXPECT_EQ(SharedInts[EVENTLOG_RELOAD_STATE].load(), 2) << "the reload asked for during the read was lost";
    EXPECT_TRUE(numbers_listed().empty()) << "the reload empties the list before it reads again";
}

TEST_F(EventPage, TheThreadLoadsTheLogAndReloadsItWithTheRecordsWrittenMeanwhile) {
    fake_add(event_at(1, 300));
    fake_add(event_at(2, 200));
    PageThread page;
    ASSERT_TRUE(wait_until([] {
        return numbers_listed() == std::vector<int64_t>{2, 1};
    })) << "the records were not loaded; listed: "
        << numbers_listed().size();

    fake_add(event_at(3, 100));
    SharedInts[EVENTLOG_RELOAD_STATE] = 1;
    ASSERT_TRUE(wait_until([] {
        return SharedInts[EVENTLOG_RELOAD_STATE].load() == 0 && numbers_listed() == std::vector<int64_t>{3, 2, 1};
    })) << "the reload did not read the new record; listed: "
        << numbers_listed().size();
    EXPECT_EQ(list_rows_count(LIST_EVENTS), 3);
}

TEST_F(EventPage, ACloseRequestEmptiesTheListsOnThePageThread) {
    fake_add(event_at(1, 300));
    const std::thread::id test_thread = std::this_thread::get_id();
    PageThread page;
    ASSERT_TRUE(wait_until([] { return numbers_listed().size() == 1; })) << "the record was not loaded";
    SharedInts[EVENTLOG_CLOSE_REQUEST] = 1;
    ASSERT_TRUE(wait_until([] { return SharedInts[EVENTLOG_CLOSE_REQUEST].load() == 0; }))
        << "the close request was not served";
    EXPECT_TRUE(numbers_listed().empty());
    EXPECT_EQ(list_rows_count(LIST_EVENTS), 0);
    EXPECT_NE(close_served_on.load(), test_thread);
    EXPECT_NE(close_served_on.load(), std::thread::id{});
}

// The page thread copies the Events tab when asked and no other tab; a quit ends it at once: a quit raised
// before the start leaves a pending copy undone.
TEST_F(EventPage, TheLoopCopiesTheEventsTabAndAQuitEndsItAtOnce) {
    events_copies = 0;
    SharedInts[COPY_TAB_REQUEST] = TAB_EVENTS;
    quit_flag_raise(1);
    event_page_run(page_hooks);
    EXPECT_EQ(events_copies.load(), 0) << "a copy after the quit";
    quit_flag_clear();

    SharedInts[COPY_TAB_REQUEST] = TAB_PING;
    {
        PageThread page;
        quit_event_wait(4 * EVENT_PAGE_ROUND_MS);  // a few rounds
        EXPECT_EQ(SharedInts[COPY_TAB_REQUEST].load(), TAB_PING) << "another tab's request is left alone";
        SharedInts[COPY_TAB_REQUEST] = TAB_EVENTS;
        EXPECT_TRUE(wait_until([] { return SharedInts[COPY_TAB_REQUEST].load() == -1; })) << "no copy";
    }
    EXPECT_EQ(events_copies.load(), 1);
}

TEST_F(EventPage, AQuitDuringALoadEndsTheReadAtTheNextBlockAndTheThread) {
    // Records of about 24 KB: two to a block, so the whole log takes a thousand reads.
    for (uint32_t n = 1; n <= 2000; ++n) {
        FakeRecord made = event_at(n, 1000);
        made.data.assign(24000, 0xAB);
        fake_add(made);
    }
    quit_on_first_read = true;
    const int64_t thread = thread_create([](int64_t) { event_page_run(page_hooks); }, 0);
    ASSERT_TRUE(thread_wait(thread, 10000)) << "the event page thread did not end on a quit during a read";
    EXPECT_LE(fake_reads(), 2) << "the read went on after the quit";
    EXPECT_LE(numbers_listed().size(), 2u);
}

// The log as the reader meets it between two reads: records written, the oldest overwritten by a full log,
// the log cleared (its numbers start again), and the 32-bit numbers wrapped. Each case lists what the log
// holds at each read and what the event list shows after it; a clear is seen as a reload and read anew.
TEST_F(EventPage, LaterReadsFollowAFullAClearedAndAWrappedLog) {
    struct Step {
        std::vector<uint32_t> log;    // record numbers in the log, oldest first
        std::vector<int64_t> listed;  // the event list afterwards, top first
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"unchanged", {{{1, 2, 3}, {3, 2, 1}}, {{1, 2, 3}, {3, 2, 1}}}},
        {"grown", {{{1, 2, 3}, {3, 2, 1}}, {{1, 2, 3, 4, 5}, {5, 4, 3, 2, 1}}}},
        {"full: the oldest overwritten at the same count",
         {{{1, 2, 3}, {3, 2, 1}}, {{2, 3, 4}, {4, 3, 2, 1}}, {{4, 5, 6}, {6, 5, 4, 3, 2, 1}}}},
        {"cleared, numbers start below the old oldest", {{{100, 101, 102}, {102, 101, 100}}, {{1, 2}, {2, 1}}}},
        {"cleared, a log that never wrapped",
         {{{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {10, 9, 8, 7, 6, 5, 4, 3, 2, 1}}, {{1, 2, 3}, {3, 2, 1}}}},
        {"cleared and empty", {{{1, 2, 3}, {3, 2, 1}}, {{}, {}}, {{1}, {1}}}},
        {"numbers wrap",
         {{{0xFFFFFFFE, 0xFFFFFFFF}, {0xFFFFFFFF, 0xFFFFFFFE}},
          {{0xFFFFFFFE, 0xFFFFFFFF, 0, 1}, {1, 0, 0xFFFFFFFF, 0xFFFFFFFE}},
          {{0, 1, 2, 3}, {3, 2, 1, 0, 0xFFFFFFFF, 0xFFFFFFFE}}}},
        {"first fill just below the wrap",
         {{{0xFFFFFFF0}, {0xFFFFFFF0}}, {{0xFFFFFFF0, 0xFFFFFFF1}, {0xFFFFFFF1, 0xFFFFFFF0}}}},
    };
    for (const Case& c : cases) {
        SetUp();
        EventPageState state;
        int step_number = 0;
        for (const Step& step : c.steps) {
            {
                std::lock_guard guard(fake_lock);
                fake_event_log().clear();
                int64_t age = 1000;
                for (uint32_t number : step.log) fake_event_log().add(event_at(number, age--));
            }
            // A periodic read, and when it asks for a reload, the reload and the read after it.
            for (int round = 0; round < 3; ++round) {
                state.countdown = 0;
                event_page_round(state, page_hooks);
                if (SharedInts[EVENTLOG_RELOAD_STATE].load() == 0) break;
            }
            EXPECT_EQ(SharedInts[EVENTLOG_RELOAD_STATE].load(), 0) << c.name << ", read " << step_number;
            EXPECT_EQ(numbers_listed(), step.listed) << c.name << ", read " << step_number;
            EXPECT_EQ(list_rows_count(LIST_EVENTS), static_cast<int>(step.listed.size()))
                << c.name << ", read " << step_number;
            ++step_number;
        }
    }
}

// A first fill asks the main thread (the list's selection, the status text, the controls) a number of times
// that does not grow with the records.
std::atomic<int> main_thread_calls{0};
bool row_chosen = false;
TEST_F(EventPage, AFirstFillOfTenThousandRecordsAsksTheMainThreadABoundedNumberOfTimes) {
    for (uint32_t n = 1; n <= 10000; ++n) fake_add(event_at(n, 20000 - n));
    main_thread_calls = 0;
    row_chosen = false;
    EventReaderHooks counted = reader_hooks;
    counted.days_select = [](int) { ++main_thread_calls; };
    counted.controls_enable = [](bool) { ++main_thread_calls; };
    counted.search_view_hide = [] { ++main_thread_calls; };
    counted.status_text = [](std::wstring_view) { ++main_thread_calls; };
    counted.row_selected = [] {
        ++main_thread_calls;
        return row_chosen;
    };
    counted.row_select = [](int) {
        ++main_thread_calls;
        row_chosen = true;
    };
    SharedInts[EVENTLOG_DETAILS_INDEX] = -2;
    EXPECT_EQ(event_log_read_new_with(locked_api, L"System", counted), 0);
    EXPECT_EQ(numbers_listed().size(), 10000u);
    const int blocks = fake_reads();
    EXPECT_LE(main_thread_calls.load(), blocks + 10) << "over " << blocks << " blocks";
    EXPECT_EQ(SharedInts[EVENTLOG_DETAILS_INDEX].load(), -1) << "the first row's details were shown";
}

// A zone at UTC+1 in winter and UTC+2 from 2026-03-29 01:00 UTC to 2026-10-25 01:00 UTC.
Date central_european(int64_t utc) {
    const Date summer_from = date_from_parts({2026, 3, 29, 1, 0, 0});
    const Date summer_to = date_from_parts({2026, 10, 25, 1, 0, 0});
    return utc + (utc >= summer_from && utc < summer_to ? 7200 : 3600);
}

// The thread started in winter; the records lie on both sides of the spring change. The row and the details
// of each show the clock time of the event's own date.
TEST_F(EventPage, RowsAndDetailsShowEachEventAtTheClockTimeOfItsOwnDate) {
    struct Case {
        DateParts utc;
        const wchar_t* shown;
    };
    const Case cases[] = {
        {{2026, 1, 15, 10, 0, 0}, L"2026-01-15 11:00:00"},
        {{2026, 3, 29, 0, 59, 59}, L"2026-03-29 01:59:59"},
        {{2026, 3, 29, 1, 0, 0}, L"2026-03-29 03:00:00"},
        {{2026, 7, 1, 10, 0, 0}, L"2026-07-01 12:00:00"},
    };
    SharedQuads[EVENTLOG_UTC_OFFSET] = -3600;  // winter, when the thread started
    uint32_t number = 1;
    for (const Case& c : cases) {
        FakeRecord made = event_at(number++, 0);
        made.time_generated = static_cast<uint32_t>(date_from_parts(c.utc));
        fake_add(made);
    }
    SharedInts[EVENTLOG_AGE_CHOICE] = 14;  // no age limit
    EventReaderHooks hooks = reader_hooks;
    hooks.local_from_utc = central_european;
    event_log_read_new_with(locked_api, L"System", hooks);
    ASSERT_EQ(list_rows_count(LIST_EVENTS), 4);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const int row = static_cast<int>(std::size(cases) - 1 - i);  // newest on top
        const std::wstring expected = cases[i].shown;
        EXPECT_TRUE(list_row(LIST_EVENTS, row).starts_with(expected)) << list_row(LIST_EVENTS, row);
        EventRecord event;
        {
            std::lock_guard guard(EventListLock);
            event = EventList[static_cast<std::size_t>(row)];
        }
        const EventDetailsText details = event_details_text(event, EventDetailsInput{});
        EXPECT_NE(details.lines[0].find(L": " + expected), std::wstring::npos) << details.lines[0];
        EXPECT_NE(details.lines[1].find(L": " + expected), std::wstring::npos) << details.lines[1];
    }
}

// The user selects row 7 while the page thread shows another row's details (an account lookup can take a
// while): the new request outlives the end of the old one and is served next.
std::vector<int> rows_shown;
int details_slow(int row) {
    rows_shown.push_back(row);
    if (rows_shown.size() == 1) SharedInts[EVENTLOG_DETAILS_INDEX] = 7;  // the main thread, meanwhile
    return -1;
}
TEST_F(EventPage, ARowSelectedWhileDetailsAreShownIsServedNext) {
    struct Case {
        const char* name;
        std::function<void(EventPageState&, EventPageHooks&)> first;
    };
    const Case cases[] = {
        {"a details request",
         [](EventPageState& state, EventPageHooks& hooks) {
             SharedInts[EVENTLOG_DETAILS_INDEX] = 2;
             event_page_round(state, hooks);
         }},
        {"a font change",
         [](EventPageState& state, EventPageHooks& hooks) {
             SharedInts[EVENTLOG_DETAILS_SHOWN] = 2;
             SharedInts[EVENTLOG_FONT_SIZE] = 12;
             event_page_round(state, hooks);
         }},
        {"a read",
         [](EventPageState&, EventPageHooks&) {
             fake_add(event_at(1, 60));
             SharedInts[EVENTLOG_DETAILS_INDEX] = 2;
             EventReaderHooks reader = reader_hooks;
             reader.details_show = details_slow;
             event_log_read_new_with(locked_api, L"System", reader);
         }},
    };
    for (const Case& c : cases) {
        SetUp();
        rows_shown.clear();
        EventPageHooks hooks = page_hooks;
        hooks.details_show = details_slow;
        EventPageState state;
        state.countdown = 1000;  // no periodic read
        c.first(state, hooks);
        EXPECT_EQ(SharedInts[EVENTLOG_DETAILS_INDEX].load(), 7) << c.name << ": the selection was overwritten";
        event_page_round(state, hooks);
        EXPECT_EQ(rows_shown, (std::vector<int>{2, 7})) << c.name;
        EXPECT_EQ(SharedInts[EVENTLOG_DETAILS_INDEX].load(), -1) << c.name;
    }
}

}  // namespace
