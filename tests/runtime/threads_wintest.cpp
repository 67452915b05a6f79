// The last resort at exit: a thread that never stops is killed and its number released.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>

#include "runtime/threads.h"
#include "runtime/wait_until.h"

namespace {

std::atomic<DWORD> spinner_id{0};

void spin_forever(int64_t) {
    spinner_id = GetCurrentThreadId();
    for (;;) Sleep(10);
}

TEST(ThreadsWindows, KillEndsAThreadThatNeverStops) {
    spinner_id = 0;
    const int64_t thread = thread_create(spin_forever, 0);
    ASSERT_GT(thread, 0);
    ASSERT_TRUE(wait_until([] { return spinner_id.load() != 0; })) << "the thread did not start";
    // Our own handle to the same thread: the runtime closes its handle when it releases the number.
    HANDLE own = OpenThread(SYNCHRONIZE | THREAD_QUERY_LIMITED_INFORMATION, FALSE, spinner_id.load());
    ASSERT_NE(own, nullptr);
    EXPECT_TRUE(thread_is_running(thread));

    EXPECT_TRUE(thread_kill(thread));
    EXPECT_EQ(WaitForSingleObject(own, 5000), WAIT_OBJECT_0) << "the thread still runs after the kill";
    DWORD exit_code = 0;
    EXPECT_TRUE(GetExitCodeThread(own, &exit_code));
    EXPECT_NE(exit_code, STILL_ACTIVE);
    EXPECT_FALSE(thread_is_running(thread));
    CloseHandle(own);
}

}  // namespace
