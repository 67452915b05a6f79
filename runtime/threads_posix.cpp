// Worker threads on the native build (tests): std::thread kept by number until waited for.
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "runtime/threads.h"

namespace {

struct Worker {
    std::thread thread;
    std::atomic<bool> done{false};
};

std::mutex registry_lock;
std::unordered_map<int64_t, std::shared_ptr<Worker>> registry;
int64_t last_number = 0;

std::shared_ptr<Worker> worker_of(int64_t thread) {
    std::lock_guard guard(registry_lock);
    const auto found = registry.find(thread);
    return found == registry.end() ? nullptr : found->second;
}

}  // namespace

int64_t thread_create(ThreadProc proc, int64_t argument) {
    if (!proc) return 0;
    auto worker = std::make_shared<Worker>();
    std::lock_guard guard(registry_lock);
    const int64_t number = ++last_number;
    registry.emplace(number, worker);
    worker->thread = std::thread([proc, argument, state = worker.get()] {
        proc(argument);
        state->done = true;
    });
    return number;
}

bool thread_set_priority(int64_t thread, int priority) {
    return worker_of(thread) != nullptr && priority >= 1 && priority <= 32;
}

bool thread_is_running(int64_t thread) {
    const auto worker = worker_of(thread);
    return worker && !worker->done;
}

bool thread_wait(int64_t thread, int timeout_ms) {
    const auto worker = worker_of(thread);
    if (!worker) return true;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms < 0 ? 0 : timeout_ms);
    while (!worker->done) {
        if (timeout_ms >= 0 && std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    worker->thread.join();
    std::lock_guard guard(registry_lock);
    registry.erase(thread);
    return true;
}

bool thread_kill(int64_t thread) {
    const auto worker = worker_of(thread);
    if (!worker) return true;
    if (!worker->done) return false;
    return thread_wait(thread, -1);
}
