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

// A timer's due times are its own: one every period from the moment it was made. Rounds are counted against
// them rather than timed: a round never comes before its due time, and one that comes late still serves the
// due time that has passed, so a loaded machine, which only makes rounds late, costs a round only by stalling
// a worker for more than a period.
class DueTimes {
public:
    explicit DueTimes(int period_ms) : period_(period_ms) {}
    WorkerTimerOwner timer_make() {
        before_ = Clock::now();
        WorkerTimerOwner timer = worker_timer_make(static_cast<int>(period_.count()));
        after_ = Clock::now();
        return timer;
    }
    // The due times that have surely passed: counted from after the timer was made.
    int64_t passed() const { return (Clock::now() - after_) / period_; }
    // Whether the n-th due time may have come, give or take the timer's granularity: counted from before.
    bool come(int64_t n) const { return Clock::now() - before_ >= n * period_ - period_ / 10; }

private:
    milliseconds period_;
    Clock::time_point before_;
    Clock::time_point after_;
};

TEST_F(WorkerTimerTest, RoundsKeepTheirPeriodWhateverTheirWorkTakes) {
    constexpr int PERIOD_MS = 200;
    constexpr int ROUNDS = 10;
    DueTimes due(PERIOD_MS);
    const WorkerTimerOwner timer = due.timer_make();
    for (int round = 1; round <= ROUNDS; ++round) {
        // The round's own work: 60% of the period. A wait of one period after it would leave 0.6 of a due time
        // unserved every round: 16 due times for 10 rounds.
        std::this_thread::sleep_for(milliseconds(PERIOD_MS * 6 / 10));
        ASSERT_EQ(worker_timer_wait(timer.get()), WORKER_ROUND) << "round " << round;
        EXPECT_TRUE(due.come(round)) << "round " << round << " came before its due time";
    }
    // On the grid each wait serves the next due time; a round is lost only to a stall of 1.4 periods.
    EXPECT_LE(due.passed(), ROUNDS + 2) << "the rounds drifted by their work: " << due.passed() << " due times for "
                                        << ROUNDS << " rounds";
}

TEST_F(WorkerTimerTest, RoundsMissedByLongWorkAreNotMadeUp) {
    constexpr int PERIOD_MS = 200;
    DueTimes due(PERIOD_MS);
    const WorkerTimerOwner timer = due.timer_make();
    // Work through three and a half periods: the next wait returns at once, the two after it come on the grid
    // (at 4 and 5 periods), not at once for the rounds that were missed.
    std::this_thread::sleep_for(milliseconds(PERIOD_MS * 7 / 2));
    const int64_t first = due.passed();
    EXPECT_EQ(worker_timer_wait(timer.get()), WORKER_ROUND);
    for (int64_t next = first + 1; next <= first + 2; ++next) {
        EXPECT_EQ(worker_timer_wait(timer.get()), WORKER_ROUND);
        EXPECT_TRUE(due.come(next)) << "a missed round was made up instead of due time " << next;
    }
}

TEST_F(WorkerTimerTest, AQuitWakesAWaitingWorkerAtOnce) {
    constexpr int PERIOD_MS = 20000;
    static std::atomic<bool> waiting;
    static std::atomic<int> woken_by;
    waiting = false;
    woken_by = -1;
    std::thread worker([] {
        const WorkerTimerOwner timer = worker_timer_make(PERIOD_MS);
        waiting = true;
        woken_by = worker_timer_wait(timer.get());
    });
    ASSERT_TRUE(wait_until([] { return waiting.load(); })) << "the worker did not start";
    quit_event_set();
    // Woken by the quit, not by its round, which comes only after a period.
    const bool woke = wait_until([] { return woken_by.load() != -1; }, milliseconds(PERIOD_MS / 2));
    if (!woke) quit_event_clear();  // not reached: the worker then ends with its round
    worker.join();
    ASSERT_TRUE(woke) << "the quit did not wake the worker";
    EXPECT_EQ(woken_by.load(), WORKER_QUIT);
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
