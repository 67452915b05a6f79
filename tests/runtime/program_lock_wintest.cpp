// A lock the main thread waits for does not hang when its holder sends a message to a main-thread window.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "runtime/program_lock.h"

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
    std::atomic<bool> holding{false};
    LRESULT answer = 0;
    std::thread worker([&] {
        lock.lock();
        holding = true;
        Sleep(50);  // let the main thread start waiting
        answer = SendMessageW(window, WM_APP, 0, 0);
        lock.unlock();
    });
    while (!holding) Sleep(1);
    lock.lock();  // would deadlock if the wait did not serve the worker's SendMessage
    lock.unlock();
    worker.join();
    EXPECT_EQ(answer, 42);
    EXPECT_EQ(messages_served.load(), 1);
    DestroyWindow(window);
}

}  // namespace
