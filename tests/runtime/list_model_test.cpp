// Rows of the list controls: trimmed inserts from several threads at once.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "runtime/list_model.h"

namespace {

TEST(ListModel, TrimInsertKeepsTheNewestRowsOnTop) {
    const int list = 9001;
    list_rows_clear(list);
    for (int i = 0; i < 600; ++i) list_rows_trim_insert(list, 0, {std::to_wstring(i)}, 499);
    EXPECT_EQ(list_rows_count(list), 500);
    EXPECT_EQ(list_row(list, 0), L"599");
    EXPECT_EQ(list_row(list, 499), L"100");
    // A lower limit takes effect at the next insert, in one go.
    EXPECT_EQ(list_rows_trim_insert(list, 0, {L"new"}, 9), 10);
    EXPECT_EQ(list_row(list, 9), L"591");
    // Two rows in one step: the first given is on top; a position past the end appends.
    list_rows_trim_insert(list, 0, {L"top", L"below"}, 100);
    EXPECT_EQ(list_row(list, 0), L"top");
    EXPECT_EQ(list_row(list, 1), L"below");
    list_rows_trim_insert(list, 1000, {L"last"}, 100);
    EXPECT_EQ(list_row(list, list_rows_count(list) - 1), L"last");
    EXPECT_TRUE(list_row(list, -1).empty());
    EXPECT_FALSE(list_rows_remove(list, 500));
    EXPECT_FALSE(list_rows_set(list, -1, L"x"));
}

std::atomic<int> changes_told{0};
void count_change(int control) {
    if (control == 9003) ++changes_told;
}

// A row set to what it holds already changes nothing on screen, so the view is not told: a row rewritten
// every round with the same text must not wake the main thread every round.
TEST(ListModel, TheViewIsToldOfChangesOnly) {
    const int list = 9003;
    list_rows_assign(list, {L"a", L"b"});
    const ListChangedCallback previous = list_rows_set_observer(count_change);
    changes_told = 0;
    EXPECT_TRUE(list_rows_set(list, 1, L"b"));
    EXPECT_EQ(changes_told.load(), 0);
    EXPECT_TRUE(list_rows_set(list, 1, L"c"));
    EXPECT_EQ(changes_told.load(), 1);
    EXPECT_EQ(list_row(list, 1), L"c");
    list_rows_insert(list, 0, L"top");
    EXPECT_EQ(changes_told.load(), 2);
    EXPECT_EQ(list_rows_set_observer(previous), count_change);
}

TEST(ListModel, ConcurrentWritersNeverExceedTheLimit) {
    const int list = 9002;
    list_rows_clear(list);
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t) {
        writers.emplace_back([t] {
            for (int i = 0; i < 2000; ++i) {
                const int count = list_rows_trim_insert(list, 0, {std::to_wstring(t)}, 499);
                ASSERT_LE(count, 500);
            }
        });
    }
    for (int i = 0; i < 2000; ++i) ASSERT_LE(list_rows_copy(list).size(), 500u);
    for (auto& writer : writers) writer.join();
    EXPECT_EQ(list_rows_count(list), 500);
}

}  // namespace
