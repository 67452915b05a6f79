// The last resort at exit: a thread that never stops is killed and its number released.
#include <windows.h>

#include <gtest/gtest.h>

#include "runtime/threads.h"

namespace {

void spin_forever(int64_t) {
    for (;;) Sleep(10);
}

TEST(ThreadsWindows, KillEndsAThreadThatNeverStops) {
    const int64_t thread = thread_create(spin_forever, 0);
    ASSERT_GT(thread, 0);
    EXPECT_TRUE(thread_is_running(thread));
    EXPECT_TRUE(thread_kill(thread));
    EXPECT_FALSE(thread_is_running(thread));
}

}  // namespace
