// Worker threads on the native build (tests): std::thread kept by number until waited for.
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <vector>

#include "runtime/threads.h"

namespace {

struct Worker {
    std::thread thread;
    bool done = false;  // under registry_lock
};

// Guards the registry and every worker's done flag; ended_change is notified when a worker's procedure returns.
std::mutex registry_lock;
std::condition_variable ended_change;
// Never destroyed: a worker still running when the process ends is left to end with it, as on Windows (a
// joinable thread destroyed at exit would abort the process).
std::unordered_map<int64_t, std::shared_ptr<Worker>>& registry =
    *new std::unordered_map<int64_t, std::shared_ptr<Worker>>;
int64_t last_number = 0;

std::shared_ptr<Worker> worker_of(int64_t thread) {
    std::lock_guard guard(registry_lock);
    const auto found = registry.find(thread);
    return found == registry.end() ? nullptr : found->second;
}

// Joins the ended workers of the set and releases their numbers.
void release_ended(std::span<const int64_t> threads) {
    std::vector<std::shared_ptr<Worker>> ended;
    {
        std::lock_guard guard(registry_lock);
        for (const int64_t thread : threads) {
            const auto found = registry.find(thread);
            if (found == registry.end() || !found->second->done) continue;
            ended.push_back(found->second);
            registry.erase(found);
        }
    }
    for (const auto& worker : ended) worker->thread.join();
}

}  // namespace

int64_t thread_create(ThreadProc proc, int64_t argument) {
    if (!proc) return 0;
    auto worker = std::make_shared<Worker>();
    std::lock_guard guard(registry_lock);
    const int64_t number = ++last_number;
    try {
        worker->thread = std::thread([proc, argument, state = worker.get()] {
            proc(argument);
            {
                std::lock_guard done_guard(registry_lock);
                state->done = true;
            }
            ended_change.notify_all();
        });
    } catch (const std::system_error&) {
        return 0;  // no thread could be made (the process's limit of threads or memory)
    }
    registry.emplace(number, worker);
    return number;
}

int64_t thread_create_small(ThreadProc proc, int64_t argument, size_t) { return thread_create(proc, argument); }

bool thread_set_priority(int64_t thread, int priority) {
    return worker_of(thread) != nullptr && priority >= 1 && priority <= 32;
}

bool thread_is_running(int64_t thread) {
    std::lock_guard guard(registry_lock);
    const auto found = registry.find(thread);
    return found != registry.end() && !found->second->done;
}

bool thread_wait(int64_t thread, int timeout_ms) { return thread_wait_all(std::span(&thread, 1), timeout_ms); }

bool thread_wait_all(std::span<const int64_t> threads, int timeout_ms) {
    const auto all_ended = [threads] {
        for (const int64_t thread : threads) {
            const auto found = registry.find(thread);
            if (found != registry.end() && !found->second->done) return false;
        }
        return true;
    };
    bool ended = true;
    {
        std::unique_lock guard(registry_lock);
        if (timeout_ms < 0) {
            ended_change.wait(guard, all_ended);
        } else {
            ended = ended_change.wait_for(guard, std::chrono::milliseconds(timeout_ms), all_ended);
        }
    }
    release_ended(threads);
    return ended;
}

bool thread_kill(int64_t thread) {
    if (thread_is_running(thread)) return false;
    return thread_wait(thread, -1);
}
