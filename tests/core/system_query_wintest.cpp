// The wait for the next wall-clock second (and its end at a quit) and the process check.
#include <windows.h>

#include <gtest/gtest.h>

#include "core/shared_tables.h"
#include "core/system_query.h"
#include "runtime/date.h"
#include "runtime/worker_timer.h"

namespace {

TEST(SystemQuery, WaitNextSecondEndsAtTheNextSecond) {
    for (int round = 0; round < 2; ++round) {
        const Date before = date_now();
        const int64_t started = millisecond_clock();
        wait_next_second();
        const int64_t waited = millisecond_clock() - started;
        EXPECT_GT(date_now(), before);
        // At most a second, with room for a loaded machine.
        EXPECT_LT(waited, 1900);
        const int64_t phase = SecondPhaseMs.load();
        EXPECT_GE(phase, 0);
        EXPECT_LE(phase, 999);
    }
}

int64_t wall_ms() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return static_cast<int64_t>(((static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime) / 10000);
}

TEST(SystemQuery, AWaitStartedJustBeforeTheTurnEndsInThatTurn) {
    quit_event_clear();
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        // Close to the next turn, with room before it so the call itself still begins in this second.
        const int64_t deadline = wall_ms() + 3000;
        for (int64_t phase = wall_ms() % 1000; phase < 900 || phase >= 950; phase = wall_ms() % 1000)
            ASSERT_LT(wall_ms(), deadline) << "the wall clock never got near a turn";
        const int64_t called = wall_ms();
        wait_next_second();
        const int64_t returned = wall_ms();
        // The wait ends in the second after the one it began in, not a whole second later.
        EXPECT_EQ(returned / 1000, called / 1000 + 1)
            << "began at " << called % 1000 << " ms, ended " << returned - called << " ms later";
    }
}

TEST(SystemQuery, AQuitEndsTheWaitForTheNextSecondAtOnce) {
    quit_event_clear();
    wait_next_second();  // just past a boundary now: the next one is almost a whole second away
    SecondPhaseMs = -1;
    quit_event_set();
    const int64_t started = millisecond_clock();
    wait_next_second();
    const int64_t waited = millisecond_clock() - started;
    quit_event_clear();
    EXPECT_LT(waited, 500) << "the wait went on to the second's end";
    EXPECT_EQ(SecondPhaseMs.load(), -1) << "a quit wait set the phase";
}

TEST(SystemQuery, OnlyARunningProgramIsFound) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name(path);
    name = name.substr(name.find_last_of(L"\\/") + 1);
    EXPECT_EQ(is_process_running(name), 1);
    EXPECT_EQ(is_process_running(L"no-such-program-here.exe"), 0);
}

}  // namespace
