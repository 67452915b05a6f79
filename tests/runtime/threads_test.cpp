// Worker threads by number, the wait for a set of them and the priority scale.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "runtime/threads.h"
#include "runtime/wait_until.h"

namespace {

std::atomic<int> stop_flag{0};
std::atomic<int64_t> seen_argument{0};

void wait_for_stop(int64_t argument) {
    seen_argument = argument;
    while (stop_flag.load() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

TEST(Threads, StartRunWaitAndRelease) {
    stop_flag = 0;
    const int64_t thread = thread_create(wait_for_stop, 77);
    ASSERT_GT(thread, 0);
    EXPECT_TRUE(thread_set_priority(thread, 24));
    EXPECT_TRUE(thread_is_running(thread));
    EXPECT_FALSE(thread_wait(thread, 20));
    stop_flag = 1;
    EXPECT_TRUE(thread_wait(thread, 5000));
    EXPECT_EQ(seen_argument.load(), 77);
    EXPECT_FALSE(thread_is_running(thread));  // released: the number is unknown now
    EXPECT_TRUE(thread_wait(thread, 0));
    EXPECT_FALSE(thread_set_priority(thread, 16));

    const int64_t next = thread_create(wait_for_stop, 1);
    EXPECT_GT(next, thread);  // numbers are not reused
    EXPECT_TRUE(thread_wait(next, 5000));
    EXPECT_EQ(thread_create(nullptr, 0), 0);
}

// Each ends when its own flag is set (argument: the flag's index).
std::array<std::atomic<bool>, 3> release_flags{};
void wait_for_release(int64_t index) {
    while (!release_flags[static_cast<std::size_t>(index)].load())
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

TEST(Threads, AWaitForASetEndsWhenItsLastThreadEndsNotAtItsDeadline) {
    for (auto& flag : release_flags) flag = false;
    const std::vector<int64_t> threads = {thread_create(wait_for_release, 0), thread_create(wait_for_release, 1),
                                          thread_create(wait_for_release, 2), 0};  // 0: unknown, counts as ended
    for (int i = 0; i < 3; ++i) ASSERT_GT(threads[static_cast<std::size_t>(i)], 0);
    // Let go one by one once the wait has begun; the last one is let go last.
    static std::atomic<bool> waiting;
    static std::atomic<int64_t> last_released_ms;
    waiting = false;
    std::thread releaser([] {
        wait_until([] { return waiting.load(); });
        for (auto& flag : release_flags) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            last_released_ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count();
            flag = true;
        }
    });
    waiting = true;
    const bool all_ended = thread_wait_all(threads, 30000);
    const int64_t returned_ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    releaser.join();
    EXPECT_TRUE(all_ended);
    EXPECT_LT(returned_ms - last_released_ms.load(), 3000) << "the wait went on after the last thread ended";
    for (const int64_t thread : threads) {
        EXPECT_FALSE(thread_is_running(thread));
        EXPECT_FALSE(thread_set_priority(thread, 16)) << "the number of an ended thread was not released";
    }
}

TEST(Threads, AWaitForASetEndsAtItsDeadlineWhileOneRuns) {
    for (auto& flag : release_flags) flag = false;
    release_flags[0] = true;
    const std::vector<int64_t> threads = {thread_create(wait_for_release, 0), thread_create(wait_for_release, 1)};
    ASSERT_GT(threads[0], 0);
    ASSERT_GT(threads[1], 0);
    const auto begin = std::chrono::steady_clock::now();
    const bool all_ended = thread_wait_all(threads, 300);
    const auto waited = std::chrono::steady_clock::now() - begin;
    EXPECT_FALSE(all_ended);
    EXPECT_TRUE(thread_is_running(threads[1]));
    EXPECT_GE(waited, std::chrono::milliseconds(290));
    EXPECT_LT(waited, std::chrono::milliseconds(5000)) << "the deadline did not hold";
    release_flags[1] = true;
    EXPECT_TRUE(thread_wait_all(threads, 10000));
    EXPECT_FALSE(thread_is_running(threads[1]));
}

TEST(Threads, PriorityScale) {
    struct Case {
        int priority;
        ThreadPriorityLevel level;
    };
    const Case cases[] = {
        {0, PRIORITY_LEVEL_IDLE},           {1, PRIORITY_LEVEL_IDLE},           {2, PRIORITY_LEVEL_LOWEST},
        {7, PRIORITY_LEVEL_LOWEST},         {8, PRIORITY_LEVEL_BELOW_NORMAL},   {15, PRIORITY_LEVEL_BELOW_NORMAL},
        {16, PRIORITY_LEVEL_NORMAL},        {17, PRIORITY_LEVEL_ABOVE_NORMAL},  {18, PRIORITY_LEVEL_ABOVE_NORMAL},
        {24, PRIORITY_LEVEL_ABOVE_NORMAL},  {30, PRIORITY_LEVEL_ABOVE_NORMAL},  {31, PRIORITY_LEVEL_HIGHEST},
        {32, PRIORITY_LEVEL_TIME_CRITICAL}, {99, PRIORITY_LEVEL_TIME_CRITICAL},
    };
    for (const auto& c : cases) EXPECT_EQ(thread_priority_level(c.priority), c.level) << c.priority;
}

}  // namespace
