// Worker threads on Windows: _beginthreadex handles kept by number until the thread is waited for.
#include <process.h>
#include <windows.h>

#include <algorithm>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "runtime/threads.h"

static_assert(PRIORITY_LEVEL_IDLE == THREAD_PRIORITY_IDLE && PRIORITY_LEVEL_LOWEST == THREAD_PRIORITY_LOWEST &&
              PRIORITY_LEVEL_BELOW_NORMAL == THREAD_PRIORITY_BELOW_NORMAL &&
              PRIORITY_LEVEL_NORMAL == THREAD_PRIORITY_NORMAL &&
              PRIORITY_LEVEL_ABOVE_NORMAL == THREAD_PRIORITY_ABOVE_NORMAL &&
              PRIORITY_LEVEL_HIGHEST == THREAD_PRIORITY_HIGHEST &&
              PRIORITY_LEVEL_TIME_CRITICAL == THREAD_PRIORITY_TIME_CRITICAL);

namespace {

struct StartBlock {
    ThreadProc proc;
    int64_t argument;
};

std::mutex registry_lock;  // leaf lock of the registry
std::unordered_map<int64_t, HANDLE> registry;
int64_t last_number = 0;

unsigned __stdcall thread_entry(void* parameter) {
    const StartBlock start = *static_cast<StartBlock*>(parameter);
    delete static_cast<StartBlock*>(parameter);
    start.proc(start.argument);
    return 0;
}

HANDLE handle_of(int64_t thread) {
    std::lock_guard guard(registry_lock);
    const auto found = registry.find(thread);
    return found == registry.end() ? nullptr : found->second;
}

void release(int64_t thread) {
    HANDLE handle = nullptr;
    {
        std::lock_guard guard(registry_lock);
        const auto found = registry.find(thread);
        if (found == registry.end()) return;
        handle = found->second;
        registry.erase(found);
    }
    CloseHandle(handle);
}

}  // namespace

namespace {

int64_t thread_start(ThreadProc proc, int64_t argument, size_t stack_bytes) {
    if (!proc) return 0;
    auto* start = new StartBlock{proc, argument};
    // The size is the stack's reservation, not its first commit, so a small stack stays small: without the flag
    // Windows would commit that much and reserve the program's default around it.
    const unsigned flags = CREATE_SUSPENDED | (stack_bytes > 0 ? STACK_SIZE_PARAM_IS_A_RESERVATION : 0);
    // Registered before it runs, so a thread that ends at once is still found by its number.
    std::lock_guard guard(registry_lock);
    const uintptr_t handle =
        _beginthreadex(nullptr, static_cast<unsigned>(stack_bytes), thread_entry, start, flags, nullptr);
    if (handle == 0) {
        delete start;
        return 0;
    }
    const int64_t number = ++last_number;
    registry.emplace(number, reinterpret_cast<HANDLE>(handle));
    ResumeThread(reinterpret_cast<HANDLE>(handle));
    return number;
}

}  // namespace

int64_t thread_create(ThreadProc proc, int64_t argument) { return thread_start(proc, argument, 0); }

int64_t thread_create_small(ThreadProc proc, int64_t argument, size_t stack_bytes) {
    return thread_start(proc, argument, stack_bytes);
}

bool thread_set_priority(int64_t thread, int priority) {
    HANDLE handle = handle_of(thread);
    return handle && SetThreadPriority(handle, thread_priority_level(priority));
}

bool thread_is_running(int64_t thread) {
    HANDLE handle = handle_of(thread);
    return handle && WaitForSingleObject(handle, 0) == WAIT_TIMEOUT;
}

bool thread_wait(int64_t thread, int timeout_ms) {
    HANDLE handle = handle_of(thread);
    if (!handle) return true;
    const DWORD wait = timeout_ms < 0 ? INFINITE : static_cast<DWORD>(timeout_ms);
    if (WaitForSingleObject(handle, wait) != WAIT_OBJECT_0) return false;
    release(thread);
    return true;
}

bool thread_wait_all(std::span<const int64_t> threads, int timeout_ms) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeout_ms < 0 ? 0 : timeout_ms);
    std::vector<int64_t> pending(threads.begin(), threads.end());
    std::vector<HANDLE> handles;
    for (;;) {
        // Ended ones leave the set; the rest are waited for together.
        handles.clear();
        std::erase_if(pending, [&handles](int64_t thread) {
            HANDLE handle = handle_of(thread);
            if (handle && WaitForSingleObject(handle, 0) == WAIT_TIMEOUT) {
                handles.push_back(handle);
                return false;
            }
            release(thread);
            return true;
        });
        if (pending.empty()) return true;
        DWORD wait = INFINITE;
        if (timeout_ms >= 0) {
            const ULONGLONG now = GetTickCount64();
            if (now >= deadline) return false;
            wait = static_cast<DWORD>(deadline - now);
        }
        // One slot stays for the message queue; a larger set is waited for in parts, each part's end waking us.
        const DWORD count = static_cast<DWORD>(std::min<std::size_t>(handles.size(), MAXIMUM_WAIT_OBJECTS - 1));
        // MWMO_INPUTAVAILABLE: a message sent before the wait began is served too, even when an earlier look at
        // the queue marked it as seen.
        const DWORD result =
            MsgWaitForMultipleObjectsEx(count, handles.data(), wait, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
        if (result == WAIT_OBJECT_0 + count) {
            // Peeking for sent messages delivers them; posted input stays queued for its owner.
            MSG message;
            PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        } else if (result == WAIT_FAILED) {
            WaitForSingleObject(handles.front(), std::min<DWORD>(wait, 10));
        }
    }
}

bool thread_kill(int64_t thread) {
    HANDLE handle = handle_of(thread);
    if (!handle) return true;
    if (WaitForSingleObject(handle, 0) == WAIT_TIMEOUT) {
        // Nothing after this may wait on a lock the killed thread could hold.
        TerminateThread(handle, 1);
        WaitForSingleObject(handle, 1000);
    }
    release(thread);
    return true;
}
