// The exit's wait for the workers: quick when they cooperate, serving what they send meanwhile, bounded when
// one never stops.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "core/control_numbers.h"
#include "core/exit_sequence.h"
#include "core/shared_state.h"
#include "runtime/gui/gui.h"
#include "runtime/gui/window/window.h"
#include "runtime/threads.h"

namespace {

using Clock = std::chrono::steady_clock;

void cooperative_worker(int64_t) {
    while (SharedInts[QUIT_FLAG].load() == 0) Sleep(25);
}

// Updates the compact window's title the way a worker would, by a message the main thread must serve.
void window_talking_worker(int64_t) {
    HWND hwnd = reinterpret_cast<HWND>(window_handle(WIN_COMPACT));
    while (SharedInts[QUIT_FLAG].load() == 0) Sleep(5);
    wchar_t title[32];
    SendMessageW(hwnd, WM_GETTEXT, 32, reinterpret_cast<LPARAM>(title));
}

std::atomic<bool> release_stubborn{false};
void stubborn_worker(int64_t) {
    while (!release_stubborn.load()) Sleep(10);
}

class ExitWait : public ::testing::Test {
protected:
    void SetUp() override {
        HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        if (!probe) GTEST_SKIP() << "no display for windows (start Xvfb and set DISPLAY)";
        DestroyWindow(probe);
        ASSERT_TRUE(gui_init());
        shared_state_init(SharedStateFacts{});
        ASSERT_TRUE(window_open(WIN_COMPACT, 0, 0, 100, 50, L"exit test", WINDOW_CAPTION | WINDOW_INVISIBLE));
    }
    void TearDown() override {
        for (int slot = NVIDIA_SAMPLER_THREAD; slot <= AMD_SAMPLER_THREAD; ++slot) {
            thread_wait(SharedQuads[slot].load(), 5000);
            SharedQuads[slot] = 0;
        }
        window_close(WIN_COMPACT);
        shared_state_init(SharedStateFacts{});
    }
};

TEST_F(ExitWait, CooperativeWorkersEndWellUnderASecond) {
    SharedQuads[SYSTEM_SAMPLER_THREAD] = thread_create(cooperative_worker, 0);
    SharedQuads[DRIVE_WATCHER_THREAD] = thread_create(cooperative_worker, 0);
    SharedQuads[PING_MONITOR_THREAD] = thread_create(window_talking_worker, 0);
    Sleep(50);
    const auto begin = Clock::now();
    EXPECT_TRUE(exit_workers_stop());
    EXPECT_LT(Clock::now() - begin, std::chrono::milliseconds(500));
    EXPECT_GE(SharedInts[QUIT_FLAG].load(), 1);
    EXPECT_FALSE(thread_is_running(SharedQuads[PING_MONITOR_THREAD].load()));
}

TEST_F(ExitWait, AWorkerThatNeverStopsIsWaitedForAboutTwoSeconds) {
    release_stubborn = false;
    SharedQuads[NETWORK_THREAD] = thread_create(stubborn_worker, 0);
    const auto begin = Clock::now();
    EXPECT_FALSE(exit_workers_stop());
    const auto waited = Clock::now() - begin;
    EXPECT_GE(waited, std::chrono::milliseconds(1900));
    EXPECT_LT(waited, std::chrono::milliseconds(3500));
    EXPECT_EQ(SharedInts[QUIT_FLAG].load(), 50);
    EXPECT_EQ(window_title(WIN_COMPACT), L"50");
    release_stubborn = true;
}

TEST_F(ExitWait, AWatchedShortLivedWorkerCountsToo) {
    release_stubborn = false;
    const int64_t lookup = thread_create(stubborn_worker, 0);
    exit_watch_thread(lookup);
    std::thread releaser([] {
        Sleep(300);
        release_stubborn = true;
    });
    const auto begin = Clock::now();
    EXPECT_TRUE(exit_workers_stop());
    EXPECT_GE(Clock::now() - begin, std::chrono::milliseconds(250));
    releaser.join();
    thread_wait(lookup, 1000);
}

}  // namespace
