// The round loop both GPU samplers run: a sample once a second while the vendor has GPUs, the Graphics tab's
// copy when asked for and this sampler serves it, and a prompt end on a quit.
#pragma once

#include <windows.h>

#include <atomic>

#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "runtime/worker_timer.h"

// Runs until QUIT_FLAG is raised. `gpu_count` is the vendor's GPU count; `sample()` takes the second's
// sample; `serves_copy()` tells whether this sampler answers the Graphics tab's copy request.
template <typename Sample, typename ServesCopy>
void gpu_sampler_rounds(int round_ms, SharedIntIndex gpu_count, Sample sample, ServesCopy serves_copy,
                        const std::atomic<void (*)(int)>& copy_hook) {
    const WorkerTimerOwner rounds = worker_timer_make(round_ms);
    int last_second = 0;
    while (SharedInts[QUIT_FLAG].load() < 1) {
        SYSTEMTIME now{};
        GetLocalTime(&now);
        if (now.wSecond != last_second) {
            if (SharedInts[gpu_count].load() > 0) sample();
            last_second = now.wSecond;
        }
        if (SharedInts[QUIT_FLAG].load() != 0) break;
        // A quit during the wait ends the loop at once, as in every worker: a copy then would only hold up
        // the exit, which waits for the workers for a bounded time.
        if (worker_timer_wait(rounds.get()) == WORKER_QUIT) break;
        if (SharedInts[COPY_TAB_REQUEST].load() == TAB_GRAPHICS && serves_copy())
            if (const auto copy = copy_hook.load()) copy(TAB_GRAPHICS);
    }
}
