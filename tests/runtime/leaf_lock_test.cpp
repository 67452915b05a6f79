// Leaf locks: the bounded wait gives up on a lock another thread keeps, and the lock-order check keeps them innermost.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <thread>

#include "runtime/leaf_lock.h"
#include "runtime/program_lock.h"

namespace {

using Clock = std::chrono::steady_clock;

// A holder on another thread that keeps the lock until it is told to let go.
struct OtherHolder {
    explicit OtherHolder(LeafLock& lock) {
        thread = std::thread([this, &lock] {
            std::lock_guard guard(lock);
            held.set_value();
            release.get_future().wait();
        });
        held_signal.wait();
    }
    ~OtherHolder() {
        let_go();
        thread.join();
    }
    void let_go() {
        if (!released.exchange(true)) release.set_value();
    }
    std::promise<void> held;
    std::future<void> held_signal = held.get_future();
    std::promise<void> release;
    std::atomic<bool> released{false};
    std::thread thread;
};

TEST(LeafLock, TheBoundedWaitGivesUpOnALockKeptElsewhereAndTakesAFreeOne) {
    LeafLock lock("Kept");
    {
        OtherHolder other(lock);
        const auto start = Clock::now();
        EXPECT_FALSE(lock.try_lock_for(200));
        EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(190)) << "it did not wait";
        EXPECT_FALSE(lock.try_lock());
        EXPECT_FALSE(leaf_lock_free_within(lock, 0));
        other.let_go();
        // Let go while we wait: the wait ends with the lock, long before its limit.
        ASSERT_TRUE(lock.try_lock_for(60000)) << "a lock let go was not taken";
        lock.unlock();
    }
    EXPECT_TRUE(leaf_lock_free_within(lock, 0));
    EXPECT_TRUE(lock.try_lock());  // free again: leaf_lock_free_within let it go
    lock.unlock();
}

// Inside a leaf lock nothing else is taken: another leaf lock, a named lock, or the same lock again stops the
// program with a message naming both; a leaf lock inside a named one passes.
TEST(LeafLock, NestingInsideALeafLockIsReported) {
    ASSERT_TRUE(lock_order_check_enabled()) << "every build with tests has the lock-order check";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    LeafLock rows("Rows");
    LeafLock texts("Texts");
    ProgramLock history("History", 1);
    {
        std::lock_guard named(history);
        std::lock_guard leaf(rows);
    }
    for (LeafLock* lock : {&rows, &texts}) {
        std::lock_guard one_after_the_other(*lock);
    }

    struct Case {
        const char* name;
        void (*nest)(LeafLock& rows, LeafLock& texts, ProgramLock& history);
        const char* message;
    };
    const Case cases[] = {
        {"a second leaf lock",
         [](LeafLock& r, LeafLock& t, ProgramLock&) {
             std::lock_guard outer(r);
             std::lock_guard inner(t);
         },
         "lock order violated: Texts taken while Rows is held"},
        {"a second leaf lock, tried with a bound",
         [](LeafLock& r, LeafLock& t, ProgramLock&) {
             std::lock_guard outer(r);
             if (t.try_lock_for(10)) t.unlock();
         },
         "lock order violated: Texts taken while Rows is held"},
        {"a named lock",
         [](LeafLock& r, LeafLock&, ProgramLock& h) {
             std::lock_guard outer(r);
             std::lock_guard inner(h);
         },
         "lock order violated: History taken while Rows is held"},
        {"the same leaf lock again",
         [](LeafLock& r, LeafLock&, ProgramLock&) {
             std::lock_guard outer(r);
             if (r.try_lock()) r.unlock();
         },
         "lock order violated: Rows taken while Rows is held"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_DEATH_IF_SUPPORTED(c.nest(rows, texts, history), c.message);
    }
}

}  // namespace
