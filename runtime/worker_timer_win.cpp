// Workers' round waits on Windows: a periodic waitable timer and a manual-reset quit event, waited for together.
#include <windows.h>

#include "runtime/worker_timer.h"

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

struct WorkerTimer {
    HANDLE timer = nullptr;  // null: the fallback, a wait of one period on the quit event
    DWORD period_ms = 1;
};

namespace {

// Made on first use; lives as long as the process.
HANDLE quit_event() {
    static const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    return event;
}

// A synchronization (auto-reset) timer: a wait consumes one expiry, and expiries missed meanwhile are not
// counted up. The high-resolution kind (Windows 10 1803 and later) keeps short periods closer to their
// length; older systems refuse the flag and get the ordinary one.
HANDLE periodic_timer_make(DWORD period_ms) {
    HANDLE timer = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
    if (!timer) timer = CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
    if (!timer) return nullptr;
    LARGE_INTEGER due;
    due.QuadPart = -static_cast<LONGLONG>(period_ms) * 10000;  // relative, in 100 ns units
    if (!SetWaitableTimer(timer, &due, static_cast<LONG>(period_ms), nullptr, nullptr, FALSE)) {
        CloseHandle(timer);
        return nullptr;
    }
    return timer;
}

}  // namespace

void quit_event_set() {
    if (HANDLE event = quit_event()) SetEvent(event);
}

void quit_event_clear() {
    if (HANDLE event = quit_event()) ResetEvent(event);
}

bool quit_event_is_set() { return quit_event_wait(0); }

bool quit_event_wait(int timeout_ms) {
    HANDLE event = quit_event();
    const DWORD timeout = timeout_ms < 0 ? INFINITE : static_cast<DWORD>(timeout_ms);
    if (!event) {
        if (timeout_ms != 0) Sleep(timeout);
        return false;
    }
    return WaitForSingleObject(event, timeout) == WAIT_OBJECT_0;
}

void WorkerTimerFree::operator()(WorkerTimer* timer) const {
    if (!timer) return;
    if (timer->timer) {
        CancelWaitableTimer(timer->timer);
        CloseHandle(timer->timer);
    }
    delete timer;
}

WorkerTimerOwner worker_timer_make(int period_ms) {
    auto* timer = new WorkerTimer;
    timer->period_ms = static_cast<DWORD>(period_ms < 1 ? 1 : period_ms);
    timer->timer = periodic_timer_make(timer->period_ms);
    return WorkerTimerOwner(timer);
}

WorkerWake worker_timer_wait(WorkerTimer* timer) {
    HANDLE event = quit_event();
    if (!timer) return quit_event_wait(1) ? WORKER_QUIT : WORKER_ROUND;
    if (timer->timer && event) {
        // The quit event first: when both are signalled the lower index wins.
        const HANDLE handles[2] = {event, timer->timer};
        const DWORD result = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
        if (result == WAIT_OBJECT_0) return WORKER_QUIT;
        if (result == WAIT_OBJECT_0 + 1) return WORKER_ROUND;
        // WAIT_FAILED: one period on the quit event below rather than a spin.
    }
    return quit_event_wait(static_cast<int>(timer->period_ms)) ? WORKER_QUIT : WORKER_ROUND;
}
