// The benchmark's floor for waking up: the idle message loop of a hidden window, plus one thread for each
// worker that the program runs at default settings, each woken on that worker's period by the program's own
// worker timer and doing nothing else. What the program costs beyond this is the work of its rounds.
#include <windows.h>

#include <cstdint>

#include "eventlog/disk_error_watch.h"
#include "eventlog/event_page.h"
#include "network/adapter_thread.h"
#include "network/ping_monitor.h"
#include "runtime/worker_timer_win.cpp"
#include "system/drive_watcher_round.h"
#include "system/sampler_schedule.h"
#include "tests/fakes/hidden_window.h"

namespace {

constexpr int PERIODS_MS[] = {SAMPLER_ROUND_MS, DRIVE_WATCHER_ROUND_MS, ADAPTER_ROUND_MS,
                              PING_PASS_MS,     EVENT_PAGE_ROUND_MS,    DISK_ERROR_ROUND_MS};

DWORD WINAPI waker(void* period) {
    const WorkerTimerOwner timer = worker_timer_make(static_cast<int>(reinterpret_cast<intptr_t>(period)));
    while (worker_timer_wait(timer.get()) == WORKER_ROUND) {
    }
    return 0;
}

}  // namespace

int wmain() {
    for (const int period : PERIODS_MS) {
        const HANDLE thread =
            CreateThread(nullptr, 0, waker, reinterpret_cast<void*>(static_cast<intptr_t>(period)), 0, nullptr);
        if (!thread) return 3;
        CloseHandle(thread);
    }
    return hidden_window::run(L"WakeFloor", L"Wake floor");
}
