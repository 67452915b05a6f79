// The exit's wait for the workers: quick when they cooperate, serving what they send meanwhile, bounded when
// one never stops.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "app/exit_sequence.h"
#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "core/watched_threads.h"
#include "runtime/display_probe_win.h"
#include "runtime/gui/gui.h"
#include "runtime/gui/window/window.h"
#include "runtime/threads.h"
#include "runtime/wait_until.h"
#include "runtime/worker_timer.h"

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<int> workers_started{0};
std::atomic<int> workers_ended{0};  // ended by themselves after seeing QUIT_FLAG

// Like the real workers, it waits for its rounds on a worker timer; its period is longer than the exit's whole
// wait, so only the quit event ends it in time.
constexpr int LONG_ROUND_MS = 20000;

void cooperative_worker(int64_t) {
    const WorkerTimerOwner rounds = worker_timer_make(LONG_ROUND_MS);
    ++workers_started;
    while (SharedInts[QUIT_FLAG].load() == 0) worker_timer_wait(rounds.get());
    ++workers_ended;
}

// Updates the compact window's title the way a worker would, by a message the main thread must serve.
std::atomic<bool> title_answered{false};
void window_talking_worker(int64_t) {
    HWND hwnd = reinterpret_cast<HWND>(window_handle(WIN_COMPACT));
    const WorkerTimerOwner rounds = worker_timer_make(LONG_ROUND_MS);
    ++workers_started;
    while (SharedInts[QUIT_FLAG].load() == 0) worker_timer_wait(rounds.get());
    wchar_t title[32] = {};
    SendMessageW(hwnd, WM_GETTEXT, 32, reinterpret_cast<LPARAM>(title));
    title_answered = title[0] != L'\0';
    ++workers_ended;
}

// Runs until released; a watched one ends by itself once the exit's wait has counted past its first step.
std::atomic<bool> release_stubborn{false};
void stubborn_worker(int64_t) {
    while (!release_stubborn.load()) Sleep(10);
}
void watched_worker(int64_t) {
    while (!release_stubborn.load() && SharedInts[QUIT_FLAG].load() < 2) Sleep(5);
    ++workers_ended;
}

class ExitWait : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(display_available()) << NO_DISPLAY_TEXT;
        ASSERT_TRUE(gui_init());
        shared_state_init(SharedStateFacts{});
        ASSERT_TRUE(window_open(WIN_COMPACT, 0, 0, 100, 50, L"exit test", WINDOW_CAPTION | WINDOW_INVISIBLE));
        workers_started = 0;
        workers_ended = 0;
        title_answered = false;
        release_stubborn = false;
    }
    void TearDown() override {
        release_stubborn = true;
        for (int slot = NVIDIA_SAMPLER_THREAD; slot <= AMD_SAMPLER_THREAD; ++slot) {
            thread_wait(SharedQuads[slot].load(), 5000);
            SharedQuads[slot] = 0;
        }
        window_close(WIN_COMPACT);
        shared_state_init(SharedStateFacts{});
    }
};

TEST_F(ExitWait, CooperativeWorkersEndTheWaitLongBeforeItsLimit) {
    SharedQuads[SYSTEM_SAMPLER_THREAD] = thread_create(cooperative_worker, 0);
    SharedQuads[DRIVE_WATCHER_THREAD] = thread_create(cooperative_worker, 0);
    SharedQuads[PING_MONITOR_THREAD] = thread_create(window_talking_worker, 0);
    ASSERT_TRUE(wait_until([] { return workers_started.load() == 3; })) << "the workers did not start";
    // Within the limit: the workers' rounds are longer than the whole wait, so only the quit ended them.
    EXPECT_TRUE(exit_workers_stop());
    // The wait returns when the last worker has ended, not before.
    EXPECT_EQ(workers_ended.load(), 3);
    EXPECT_TRUE(title_answered.load()) << "the worker's message to the window was not served";
    EXPECT_GE(SharedInts[QUIT_FLAG].load(), 1);
    EXPECT_LT(SharedInts[QUIT_FLAG].load(), EXIT_WAIT_LAST_COUNT);
}

TEST_F(ExitWait, AWorkerThatNeverStopsIsWaitedForAboutTwoSeconds) {
    SharedQuads[NETWORK_THREAD] = thread_create(stubborn_worker, 0);
    // Should the limit not hold, the worker is let go after a while and the wait ends with a failure
    // instead of hanging.
    std::thread watchdog([] {
        wait_until([] { return release_stubborn.load(); }, std::chrono::seconds(20));
        release_stubborn = true;
    });
    const auto begin = Clock::now();
    EXPECT_FALSE(exit_workers_stop()) << "the wait ended only when the worker was let go";
    const auto waited = Clock::now() - begin;
    release_stubborn = true;
    watchdog.join();
    // Its steps of 40 ms, counted in QUIT_FLAG, all waited out: never less than the two seconds.
    EXPECT_GE(waited, std::chrono::milliseconds(1900));
    EXPECT_EQ(SharedInts[QUIT_FLAG].load(), EXIT_WAIT_LAST_COUNT);
    EXPECT_EQ(window_title(WIN_COMPACT), L"50");
}

TEST_F(ExitWait, AWatchedShortLivedWorkerCountsToo) {
    const int64_t lookup = thread_create(watched_worker, 0);
    ASSERT_GT(lookup, 0);
    exit_watch_thread(lookup);
    EXPECT_TRUE(exit_workers_stop());
    // It ends only once the wait has counted a step: a wait that overlooked it would have ended before.
    EXPECT_EQ(workers_ended.load(), 1) << "the wait ended while the watched worker still ran";
    EXPECT_GE(SharedInts[QUIT_FLAG].load(), 2);
    release_stubborn = true;
    EXPECT_TRUE(thread_wait(lookup, 5000));
}

}  // namespace
