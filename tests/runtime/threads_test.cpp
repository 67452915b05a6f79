// Worker threads by number and the priority scale.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "runtime/threads.h"

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
