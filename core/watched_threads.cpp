// The threads the exit waits for: worker slots and the watched short-lived workers.
#include "core/watched_threads.h"

#include <array>
#include <atomic>

#include "core/shared_state.h"
#include "runtime/threads.h"

namespace {

constexpr int EXTRA_THREADS = 8;
std::array<std::atomic<int64_t>, EXTRA_THREADS> extra_threads{};

}  // namespace

void exit_watch_thread(int64_t thread) {
    for (auto& extra : extra_threads) {
        int64_t empty = 0;
        if (extra.load() == thread || extra.compare_exchange_strong(empty, thread)) return;
    }
    // All places taken: one whose thread has ended gives way.
    for (auto& extra : extra_threads) {
        if (!thread_is_running(extra.load())) {
            extra = thread;
            return;
        }
    }
    extra_threads[0] = thread;
}

std::vector<int64_t> exit_watched_threads() {
    std::vector<int64_t> threads;
    for (int slot = NVIDIA_SAMPLER_THREAD; slot <= AMD_SAMPLER_THREAD; ++slot) {
        if (const int64_t thread = SharedQuads[slot].load()) threads.push_back(thread);
    }
    for (const auto& extra : extra_threads) {
        if (const int64_t thread = extra.load()) threads.push_back(thread);
    }
    return threads;
}
