// How workers wait between rounds: a periodic timer plus the one process-wide quit event.
#pragma once

#include <memory>

// The quit event: one per process, manual reset, not set at start. Any thread.
void quit_event_set();
void quit_event_clear();
bool quit_event_is_set();

// Waits up to timeout_ms (0 only looks, a negative value waits without limit) for the quit event. True when
// it is set, false when the time ran out. Any thread; for a single wait, not for a worker's rounds (those
// use a WorkerTimer so that their own work does not stretch the period).
bool quit_event_wait(int timeout_ms);

// A worker's round clock: rounds come every period_ms from the moment it was made, whatever the work between
// two waits takes. A round missed because the work ran longer than a period is not made up: the next wait
// returns at once and the rounds after it keep the original grid.
struct WorkerTimer;
struct WorkerTimerFree {
    void operator()(WorkerTimer* timer) const;
};
using WorkerTimerOwner = std::unique_ptr<WorkerTimer, WorkerTimerFree>;

enum WorkerWake : int {
    WORKER_ROUND = 0,  // the period has come: do the next round
    WORKER_QUIT = 1,   // the quit event is set: end the loop
};

// Makes the clock of the calling worker; period_ms below 1 counts as 1. Never fails: when Windows cannot
// make a timer, each wait falls back to a wait of one period on the quit event (rounds then drift by their
// work, but a quit still wakes the worker at once).
WorkerTimerOwner worker_timer_make(int period_ms);

// Waits for the next round (thread that owns the timer only). WORKER_QUIT at once when the quit event is set,
// also when it was set before the call.
WorkerWake worker_timer_wait(WorkerTimer* timer);
