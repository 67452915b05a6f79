// The round loop both GPU samplers run: a sample once a second while the vendor has GPUs, the Graphics tab's
// copy when asked for and this sampler serves it, and a prompt end on a quit.
#pragma once

#include <windows.h>

#include <atomic>

#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "runtime/worker_loop.h"

// Runs until QUIT_FLAG is raised. `gpu_count` is the vendor's GPU count; `sample()` takes the second's
// sample; `serves_copy()` tells whether this sampler answers the Graphics tab's copy request.
template <typename Sample, typename ServesCopy>
void gpu_sampler_rounds(int round_ms, SharedIntIndex gpu_count, Sample sample, ServesCopy serves_copy,
                        const std::atomic<void (*)(int)>& copy_hook) {
    // A quit, also one during the wait, ends the loop at once, as in every worker: a copy then would only hold
    // up the exit, which waits for the workers for a bounded time.
    const WorkerLoop loop{.period_ms = round_ms,
                          .quit_order = WORKER_QUIT_AT_ONCE,
                          .quit_flag = &SharedInts[QUIT_FLAG],
                          .copy_request = &SharedInts[COPY_TAB_REQUEST],
                          .copy_tab = TAB_GRAPHICS};
    int last_second = 0;
    worker_loop_run(
        loop,
        [&](bool) {
            SYSTEMTIME now{};
            GetLocalTime(&now);
            if (now.wSecond != last_second) {
                if (SharedInts[gpu_count].load() > 0) sample();
                last_second = now.wSecond;
            }
            return true;
        },
        [&](int tab) {
            if (!serves_copy()) return;
            if (const auto copy = copy_hook.load()) copy(tab);
        });
}
