// A lock the main thread waits for does not hang when its holder sends a message to a main-thread window.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <thread>

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

// The workers take their locks several times a round. A free lock is taken and let go inside the process:
// with a kernel object each pair would be two trips to the kernel (under Wine, to its server), and 200000
// pairs would take seconds instead of milliseconds.
TEST(ProgramLockWindows, AFreeLockIsTakenWithoutTheKernel) {
    ProgramLock lock("Round", 1);
    constexpr int PAIRS = 200000;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < PAIRS; ++i) {
        lock.lock();
        lock.unlock();
    }
    const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    EXPECT_LT(spent.count(), 400) << PAIRS << " pairs of lock and unlock";
}

}  // namespace
