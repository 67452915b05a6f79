// Tests of the event lists: stamps, the length limit, logging by list, and the Storage Monitor separators.
#include "core/event_lists.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <thread>

#include "files_test_support.h"

namespace {

class EventLists : public FilesTest {};

bool matches(const std::wstring& text, const wchar_t* pattern) { return std::regex_match(text, std::wregex(pattern)); }

TEST_F(EventLists, RowsCarryTheirStampsAndGoWhereTheCallerSays) {
    event_line_add(LIST_SYSTEM_EVENTS, L"started");
    EXPECT_TRUE(matches(list_row(LIST_SYSTEM_EVENTS, 0), LR"(\d\d-\d\d  \d\d:\d\d:\d\d - started)"));

    list_rows_assign(LIST_PHYSICAL_MEMORY, {L"top", L"second", L"old"});
    event_line_add_plain(LIST_PHYSICAL_MEMORY, 2, L"16 GB");
    const std::vector<std::wstring> rows = list_rows_copy(LIST_PHYSICAL_MEMORY);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], L"top");
    EXPECT_EQ(rows[1], L"second");
    EXPECT_TRUE(matches(rows[2], LR"(\d\d-\d\d  \d\d:\d\d:\d\d\n16 GB)"));

    event_line_add_quiet(LIST_GPU_ID, 0, L"GPU 0");
    EXPECT_TRUE(matches(list_row(LIST_GPU_ID, 0), LR"(\d\d-\d\d  \d\d:\d\d:\d\d - GPU 0)"));
}

TEST_F(EventLists, ListsStayWithinTheLimitAndShrinkAtTheNextInsert) {
    for (int i = 0; i < 501; ++i) event_line_add_quiet(LIST_NETWORK_ID, 0, std::to_wstring(i));
    EXPECT_EQ(list_rows_count(LIST_NETWORK_ID), 500);
    EXPECT_TRUE(list_row(LIST_NETWORK_ID, 0).ends_with(L" - 500"));
    EXPECT_TRUE(list_row(LIST_NETWORK_ID, 499).ends_with(L" - 1"));  // the oldest went first

    SharedInts[MAX_EVENT_LINES] = 9998;
    list_rows_assign(LIST_SYSTEM_EVENTS, std::vector<std::wstring>(9999, L"row"));
    event_line_add(LIST_SYSTEM_EVENTS, L"one more");
    EXPECT_EQ(list_rows_count(LIST_SYSTEM_EVENTS), 9999);
    SharedInts[MAX_EVENT_LINES] = 499;
    EXPECT_EQ(list_rows_count(LIST_SYSTEM_EVENTS), 9999);  // switching the option alone shortens nothing
    event_line_add(LIST_SYSTEM_EVENTS, L"after");
    EXPECT_EQ(list_rows_count(LIST_SYSTEM_EVENTS), 500);

    // Inserts at position 2 trim from the limit as well.
    list_rows_assign(LIST_PAGEFILE_MEMORY, std::vector<std::wstring>(600, L"row"));
    event_line_add_plain(LIST_PAGEFILE_MEMORY, 2, L"new");
    EXPECT_EQ(list_rows_count(LIST_PAGEFILE_MEMORY), 500);
}

TEST_F(EventLists, OnlyTheSystemAndNetworkListsLogAndOnlyWithTheirOptions) {
    struct Case {
        int list;
        int32_t log_file;
        int32_t log_system;
        int32_t log_network;
        int logged;
    };
    const Case cases[] = {
        {LIST_SYSTEM_EVENTS, 1, 1, 0, 1},  {LIST_SYSTEM_EVENTS, 1, 0, 1, 0},  {LIST_SYSTEM_EVENTS, 0, 1, 1, 0},
        {LIST_NETWORK_EVENTS, 1, 0, 1, 1}, {LIST_NETWORK_EVENTS, 1, 1, 0, 0}, {LIST_DRIVE_ID, 1, 1, 1, 0},
    };
    for (const Case& c : cases) {
        log_buffer_reset();
        SharedInts[OPT_LOG_FILE] = c.log_file;
        SharedInts[OPT_LOG_SYSTEM_EVENTS] = c.log_system;
        SharedInts[OPT_LOG_NETWORK_EVENTS] = c.log_network;
        event_line_add(c.list, L"Adapter up");
        EXPECT_EQ(SharedInts[LOG_LINE_COUNT].load(), c.logged) << c.list;
        if (c.logged) {
            EXPECT_TRUE(matches(LogBuffer[1], LR"(\d{8} Adapter up)")) << "no list stamp in the log";
        }
    }
}

TEST_F(EventLists, StorageMonitorSeparatorsAreNumberedWithAnEmptyRowAbove) {
    SharedQuads[SAGA_SEPARATOR_COUNT] = 6;
    saga_line_add(L"C: found", 0);
    DateParts parts;
    parts.year = 2024;
    parts.month = 2;
    parts.day = 29;
    parts.hour = 23;
    parts.minute = 5;
    parts.second = 9;
    saga_line_add(L"--", date_from_parts(parts));
    saga_line_add(L"--", 0);
    const std::vector<std::wstring> rows = list_rows_copy(LIST_STORAGE_MONITOR);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0], L"");
    EXPECT_TRUE(matches(rows[1], LR"(-- #0008 \d{4}-\d\d-\d\d \d\d:\d\d:\d\d)"));
    EXPECT_EQ(rows[2], L"");
    EXPECT_EQ(rows[3], L"-- #0007 2024-02-29 23:05:09");
    EXPECT_EQ(rows[4], L"C: found");

    SharedQuads[SAGA_SEPARATOR_COUNT] = 123455;
    saga_line_add(L"--", date_from_parts(parts));
    EXPECT_EQ(list_row(LIST_STORAGE_MONITOR, 1), L"-- #1234 2024-02-29 23:05:09");
}

TEST_F(EventLists, SeparatorsFromSeveralThreadsStayWithTheirEmptyRows) {
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < 50; ++i) saga_line_add(i % 2 ? L"--" : L"drive " + std::to_wstring(t), 0);
        });
    }
    for (std::thread& thread : threads) thread.join();
    const std::vector<std::wstring> rows = list_rows_copy(LIST_STORAGE_MONITOR);
    ASSERT_EQ(rows.size(), 300u);
    std::set<std::wstring> numbers;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].starts_with(L"-- #")) {
            ASSERT_GT(i, 0u);
            EXPECT_EQ(rows[i - 1], L"");
            numbers.insert(rows[i].substr(4, 4));
        }
    }
    EXPECT_EQ(numbers.size(), 100u);
    EXPECT_EQ(SharedQuads[SAGA_SEPARATOR_COUNT].load(), 100);
}

}  // namespace
