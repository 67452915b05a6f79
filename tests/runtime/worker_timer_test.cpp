// Workers' round waits: rounds keep their period under their own work, a quit wakes a waiting worker at once.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "runtime/wait_until.h"
#include "runtime/worker_timer.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

class WorkerTimerTest : public ::testing::Test {
protected:
    void SetUp() override { quit_event_clear(); }
    void TearDown() override { quit_event_clear(); }
};

TEST_F(WorkerTimerTest, RoundsKeepTheirPeriodWhateverTheirWorkTakes) {
    constexpr int PERIOD_MS = 100;
    constexpr int ROUNDS = 10;
    const auto begin = Clock::now();
    const WorkerTimerOwner timer = worker_timer_make(PERIOD_MS);
    for (int round = 0; round < ROUNDS; ++round) {
        // The round's own work: 60% of the period. A wait of one period after it would make every round 160 ms.
        std::this_thread::sleep_for(milliseconds(PERIOD_MS * 6 / 10));
        ASSERT_EQ(worker_timer_wait(timer.get()), WORKER_ROUND) << "round " << round;
    }
    const auto took = std::chrono::duration_cast<milliseconds>(Clock::now() - begin);
    // A round never comes early; on a loaded machine the last one may come late, the grid stays.
    EXPECT_GE(took.count(), ROUNDS * PERIOD_MS - PERIOD_MS / 2);
    EXPECT_LT(took.count(), ROUNDS * PERIOD_MS * 13 / 10) << "the rounds drifted by their work";
}

TEST_F(WorkerTimerTest, RoundsMissedByLongWorkAreNotMadeUp) {
    constexpr int PERIOD_MS = 200;
    const WorkerTimerOwner timer = worker_timer_make(PERIOD_MS);
    // Work through three and a half periods: the next wait returns at once, the two after it come on the grid
    // (at 4 and 5 periods), not at once for the rounds that were missed.
    std::this_thread::sleep_for(milliseconds(PERIOD_MS * 7 / 2));
    EXPECT_EQ(worker_timer_wait(timer.get()), WORKER_ROUND);
    const auto begin = Clock::now();
    EXPECT_EQ(worker_timer_wait(timer.get()), WORKER_ROUND);
    EXPECT_EQ(worker_timer_wait(timer.get()), WORKER_ROUND);
    EXPECT_GE(std::chrono::duration_cast<milliseconds>(Clock::now() - begin).count(), PERIOD_MS)
        << "the missed rounds were made up";
}

TEST_F(WorkerTimerTest, AQuitWakesAWaitingWorkerAtOnce) {
    constexpr int PERIOD_MS = 20000;
    static std::atomic<bool> waiting;
    static std::atomic<int> woken_by;
    static std::atomic<int64_t> woken_at_ms;
    waiting = false;
    woken_by = -1;
    std::thread worker([] {
        const WorkerTimerOwner timer = worker_timer_make(PERIOD_MS);
        waiting = true;
        woken_by = worker_timer_wait(timer.get());
        woken_at_ms = std::chrono::duration_cast<milliseconds>(Clock::now().time_since_epoch()).count();
    });
    ASSERT_TRUE(wait_until([] { return waiting.load(); })) << "the worker did not start";
    const int64_t set_at_ms = std::chrono::duration_cast<milliseconds>(Clock::now().time_since_epoch()).count();
    quit_event_set();
    const bool woke = wait_until([] { return woken_by.load() != -1; }, milliseconds(PERIOD_MS / 2));
    if (!woke) quit_event_clear();  // not reached: the worker then ends with its round
    worker.join();
    ASSERT_TRUE(woke) << "the quit did not wake the worker";
    EXPECT_EQ(woken_by.load(), WORKER_QUIT);
    EXPECT_LT(woken_at_ms.load() - set_at_ms, 3000) << "well under one period, with room for a loaded machine";
}

TEST_F(WorkerTimerTest, AQuitSetBeforeTheWaitEndsItAndAClearedOneNoLonger) {
    const WorkerTimerOwner timer = worker_timer_make(20);
    quit_event_set();
    EXPECT_TRUE(quit_event_is_set());
    EXPECT_EQ(worker_timer_wait(timer.get()), WORKER_QUIT);
    EXPECT_EQ(worker_timer_wait(timer.get()), WORKER_QUIT) << "the quit event is manual-reset";
    EXPECT_TRUE(quit_event_wait(0));
    quit_event_clear();
    EXPECT_FALSE(quit_event_is_set());
    EXPECT_EQ(worker_timer_wait(timer.get()), WORKER_ROUND);
}

TEST_F(WorkerTimerTest, AQuitEventWaitEndsAtItsTimeoutOrAtTheQuit) {
    const auto begin = Clock::now();
    EXPECT_FALSE(quit_event_wait(50));
    EXPECT_GE(std::chrono::duration_cast<milliseconds>(Clock::now() - begin).count(), 40);

    static std::atomic<int> result;
    result = -1;
    std::thread waiter([] { result = quit_event_wait(-1) ? 1 : 0; });
    quit_event_set();
    const bool ended = wait_until([] { return result.load() != -1; });
    if (!ended) quit_event_set();
    waiter.join();
    EXPECT_TRUE(ended) << "a wait without limit did not end at the quit";
    EXPECT_EQ(result.load(), 1);
}

}  // namespace
