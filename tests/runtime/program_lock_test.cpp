// The program's locks: re-entrance, mutual exclusion and the check of the nesting order.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "runtime/program_lock.h"
#include "runtime/wait_until.h"

namespace {

TEST(ProgramLock, IsReentrantForItsOwner) {
    ProgramLock lock("Test", 1);
    lock.lock();
    lock.lock();
    EXPECT_TRUE(lock.try_lock());
    lock.unlock();
    lock.unlock();
    std::atomic<bool> other_got_it{true};
    std::thread([&] { other_got_it = lock.try_lock(); }).join();
    EXPECT_FALSE(other_got_it.load());
    lock.unlock();
    std::thread([&] {
        other_got_it = lock.try_lock();
        if (other_got_it) lock.unlock();
    }).join();
    EXPECT_TRUE(other_got_it.load());
}

TEST(ProgramLock, ExcludesOtherThreads) {
    ProgramLock lock("Counter", 1);
    int64_t counter = 0;  // plain on purpose: the lock alone keeps it consistent
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 5000; ++i) {
                lock.lock();
                ++counter;
                lock.unlock();
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(counter, 20000);
}

// What a test of a lock's user watches for: a thread blocked on the lock counts as waiting until it has it.
TEST(ProgramLock, CountsTheThreadsThatWaitForIt) {
    ProgramLock lock("Waited", 1);
    EXPECT_EQ(lock.waiting(), 0);
    lock.lock();
    lock.lock();  // the holder's own entries are no waits
    EXPECT_EQ(lock.waiting(), 0);
    std::atomic<int> entered{0};
    std::vector<std::thread> waiters;
    for (int t = 0; t < 2; ++t) {
        waiters.emplace_back([&] {
            lock.lock();
            ++entered;
            lock.unlock();
        });
    }
    EXPECT_TRUE(wait_until([&] { return lock.waiting() == 2; })) << "waiting: " << lock.waiting();
    EXPECT_EQ(entered.load(), 0);
    lock.unlock();
    EXPECT_EQ(entered.load(), 0) << "a waiter entered while the lock was still held";
    lock.unlock();
    for (auto& waiter : waiters) waiter.join();
    EXPECT_EQ(entered.load(), 2);
    EXPECT_EQ(lock.waiting(), 0);
}

bool outer_first(int outer, int inner) { return outer < inner; }

// A wrong nesting ends the program with a message that names both locks; right ones and a re-entry pass.
TEST(ProgramLock, WrongNestingIsReported) {
    ASSERT_TRUE(lock_order_check_enabled()) << "every build with tests has the lock-order check";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ProgramLock first("First", 1);
    ProgramLock second("Second", 2);
    lock_order_set_rule(outer_first);

    first.lock();
    second.lock();
    first.lock();  // taking a held lock again is not a nesting
    first.unlock();
    second.unlock();
    first.unlock();

    EXPECT_DEATH_IF_SUPPORTED(
        {
            second.lock();
            first.lock();
        },
        "lock order violated: First taken while Second is held");
    lock_order_set_rule(nullptr);
}

}  // namespace
