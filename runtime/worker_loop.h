// The loop every worker thread runs: its rounds on a WorkerTimer, the quit test, and the copy of its tab when asked.
#pragma once

#include <atomic>
#include <cstdint>

#include "runtime/worker_timer.h"

// What a worker still does once it sees the quit. The workers differ on purpose: a copy or a round begun after
// the quit only holds up the exit, which waits a bounded time for the workers; but some rounds close things
// that must be closed once more, or serve requests somebody waits for.
enum WorkerQuitOrder : int {
    // A quit seen before a round, after it or during the wait ends the loop at once: no round end, no copy.
    WORKER_QUIT_AT_ONCE = 0,
    // The round that sees the quit still has its round end (copy included), without a wait; then the loop ends.
    // The first round runs even when the quit came before the loop began.
    WORKER_QUIT_AFTER_ROUND_END = 1,
    // Once the quit is seen (before a round, after it or during the wait), one last round follows, told that it
    // is the last, with its round end; the rounds after the quit do not wait. The first round runs even when the
    // quit came before the loop began.
    WORKER_QUIT_AFTER_LAST_ROUND = 2,
};

// A worker's loop. The quit flag and the copy request are the program's shared integers; this layer only
// reads them. Made once per thread (no allocation per round).
struct WorkerLoop {
    int period_ms = 1000;  // the round period (worker_timer_make)
    WorkerQuitOrder quit_order = WORKER_QUIT_AT_ONCE;
    const std::atomic<int32_t>* quit_flag = nullptr;     // above 0: the worker ends (per quit_order)
    const std::atomic<int32_t>* copy_request = nullptr;  // the tab whose copy is asked for; null: no copy
    int copy_tab = -1;                                   // the tab this worker copies (-1: none)
    int second_copy_tab = -1;                            // a second one, for a worker that copies two
};

// Nothing, for a worker without a copy or without a round end of its own.
struct WorkerNothing {
    void operator()(int) const {}
    void operator()() const {}
};

// Runs the worker's rounds until the quit (or until a round returns false), on the calling thread:
//   bool round(bool last)  one round; `last` is true only in WORKER_QUIT_AFTER_LAST_ROUND's last round; false
//                          ends the loop at once
//   void copy(int tab)     when the copy request names copy_tab or second_copy_tab, after the wait; the copy sets the
//                          request back itself
//   void round_end()       after the copy, before the next round
template <typename Round, typename Copy = WorkerNothing, typename RoundEnd = WorkerNothing>
void worker_loop_run(const WorkerLoop& loop, Round&& round, Copy&& copy = {}, RoundEnd&& round_end = {}) {
    const WorkerTimerOwner timer = worker_timer_make(loop.period_ms);
    const auto quitting = [&loop] { return loop.quit_flag && loop.quit_flag->load() > 0; };
    const WorkerQuitOrder order = loop.quit_order;
    for (;;) {
        if (order == WORKER_QUIT_AT_ONCE && quitting()) return;
        const bool last = order == WORKER_QUIT_AFTER_LAST_ROUND && quitting();
        if (!round(last)) return;
        // No wait once the quit is seen; a wait the quit ends counts as seeing it.
        const bool quit_seen = last || quitting() || worker_timer_wait(timer.get()) == WORKER_QUIT;
        if (quit_seen && order == WORKER_QUIT_AT_ONCE) return;
        if (loop.copy_request) {
            const int tab = loop.copy_request->load();
            if (tab >= 0 && (tab == loop.copy_tab || tab == loop.second_copy_tab)) copy(tab);
        }
        round_end();
        if (last || (order == WORKER_QUIT_AFTER_ROUND_END && quitting())) return;
    }
}
