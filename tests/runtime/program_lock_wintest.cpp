// The program's locks on Windows: a lock the main thread waits for does not hang when its holder sends a message
// to a main-thread window, and a free lock is taken and let go without a kernel object.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <thread>

#include "runtime/process_counts_win.h"
#include "runtime/program_lock.h"
#include "runtime/wait_until.h"

namespace {

std::atomic<int> messages_served{0};

LRESULT CALLBACK test_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_APP) {
        ++messages_served;
        return 42;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

TEST(ProgramLockWindows, MainThreadServesSentMessagesWhileItWaits) {
    program_lock_set_main_thread();
    messages_served = 0;
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = test_window_proc;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"SotrixLockTest";
    RegisterClassW(&window_class);
    HWND window = CreateWindowExW(0, L"SotrixLockTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  window_class.hInstance, nullptr);
    ASSERT_NE(window, nullptr);

    ProgramLock lock("Drawing", 1);
    // A message not served within the limit ends the worker's wait, so a wait that does not serve fails the
    // test instead of hanging it.
    constexpr UINT SEND_LIMIT_MS = 10000;
    std::array<DWORD_PTR, 2> answers{};
    std::array<bool, 2> delivered{};
    std::thread worker([&] {
        lock.lock();
        // The first message is waiting before the main thread asks for the lock; the second one is sent
        // once the first was served, so while the main thread waits for the lock.
        for (int i = 0; i < 2; ++i)
            delivered[i] = SendMessageTimeoutW(window, WM_APP, 0, 0, SMTO_NORMAL, SEND_LIMIT_MS, &answers[i]) != 0;
        lock.unlock();
    });
    const bool pending = wait_until([] { return (HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) != 0; });
    EXPECT_TRUE(pending) << "the worker's message did not arrive";
    lock.lock();  // a wait that did not serve them would last until the messages gave up
    lock.unlock();
    worker.join();
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(delivered[i]) << "message " << i << " was not served while the main thread waited";
        EXPECT_EQ(answers[i], 42u) << i;
    }
    EXPECT_EQ(messages_served.load(), 2);
    DestroyWindow(window);
}

DWORD handle_count() { return process_handle_count(GetCurrentProcessId()); }

// The workers take their locks several times a round. A free lock is taken and let go inside the process:
// with a kernel object each pair would be two trips to the kernel (under Wine, to its server). Waiting and
// waking need the lock's semaphore, which the lock makes at the first wait: while the process's handles do
// not grow, no pair waited on or signalled a kernel object. The second half shows that the count sees it: a
// thread that has to wait makes the semaphore, once.
TEST(ProgramLockWindows, AFreeLockIsTakenWithoutTheKernel) {
    const DWORD before = handle_count();
    ASSERT_GT(before, 0u);
    ProgramLock lock("Round", 1);
    for (int i = 0; i < 1000; ++i) {
        lock.lock();
        lock.lock();  // re-entered
        lock.unlock();
        lock.unlock();
        ASSERT_TRUE(lock.try_lock());
        lock.unlock();
    }
    EXPECT_EQ(handle_count(), before) << "a free lock made or used a kernel object";

    // Only the waiter may make a handle from here on: its thread is running before the count is taken.
    std::atomic<int> step{0};
    lock.lock();
    std::thread waiter([&] {
        step = 1;
        while (step.load() != 2) std::this_thread::yield();
        lock.lock();
        lock.unlock();
        step = 3;
    });
    ASSERT_TRUE(wait_until([&] { return step.load() == 1; })) << "the waiter did not start";
    const DWORD free_lock = handle_count();
    step = 2;
    const bool waits = wait_until([&] { return handle_count() > free_lock; });
    const DWORD waiting = handle_count();
    lock.unlock();
    waiter.join();
    EXPECT_TRUE(waits) << "a thread waits for the lock without a kernel object";
    EXPECT_EQ(waiting, free_lock + 1) << "one semaphore for the lock's waiters";
    EXPECT_EQ(step.load(), 3);
    lock.lock();
    lock.unlock();
}

}  // namespace
