// The program's locks on Windows. A count of the threads that want the lock decides who waits: the first
// one takes it without a kernel call, the others sleep on a semaphore that the holder releases once for
// each of them as it lets go; the semaphore is made when a thread first has to wait. On the main thread the
// wait serves sent messages meanwhile.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "runtime/program_lock.h"

namespace {

// The thread that runs static initialisation is the program's main thread.
std::atomic<DWORD> main_thread_id{GetCurrentThreadId()};

// Waits for the semaphore while letting other threads' SendMessage calls to this thread's windows through.
void wait_serving_sent_messages(HANDLE handle) {
    for (;;) {
        // MWMO_INPUTAVAILABLE: a message sent before the wait began is served too, even when an earlier look
        // at the queue marked it as seen.
        const DWORD result = MsgWaitForMultipleObjectsEx(1, &handle, INFINITE, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
        if (result == WAIT_OBJECT_0) return;
        if (result == WAIT_OBJECT_0 + 1) {
            MSG message;
            PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
            continue;
        }
        // WAIT_FAILED: fall back to a plain wait rather than spin.
        WaitForSingleObject(handle, INFINITE);
        return;
    }
}

}  // namespace

ProgramLock::ProgramLock(const char* name, int rank) : name_(name), rank_(rank) {}

ProgramLock::~ProgramLock() {
    if (void* handle = waiters_.load(std::memory_order_acquire)) CloseHandle(static_cast<HANDLE>(handle));
}

// The waiters' semaphore, made by the first thread that needs it: a waiter before its wait, or a holder that
// lets go for a waiter that counted itself in but has not made it yet. Two threads may make one at once; the
// first one stored is kept.
void* ProgramLock::waiters() {
    if (void* handle = waiters_.load(std::memory_order_acquire)) return handle;
    HANDLE made = CreateSemaphoreW(nullptr, 0, MAXLONG, nullptr);
    if (!made) {
        // Without it a thread could not wait: no lock is better than a lock that does not exclude.
        std::fprintf(stderr, "the lock %s cannot wait (error %lu)\n", name_, GetLastError());
        std::abort();
    }
    void* stored = nullptr;
    if (waiters_.compare_exchange_strong(stored, made, std::memory_order_acq_rel)) return made;
    CloseHandle(made);
    return stored;
}

void ProgramLock::lock() {
    note_taking();
    const DWORD me = GetCurrentThreadId();
    if (owner_.load(std::memory_order_relaxed) == me) {
        ++depth_;
        note_acquired();
        return;
    }
    if (wanting_.fetch_add(1, std::memory_order_acquire) > 0) {
        HANDLE handle = static_cast<HANDLE>(waiters());
        if (me == main_thread_id.load(std::memory_order_relaxed)) {
            wait_serving_sent_messages(handle);
        } else {
            WaitForSingleObject(handle, INFINITE);
        }
    }
    owner_.store(me, std::memory_order_relaxed);
    depth_ = 1;
    note_acquired();
}

bool ProgramLock::try_lock() {
    note_taking();
    const DWORD me = GetCurrentThreadId();
    if (owner_.load(std::memory_order_relaxed) == me) {
        ++depth_;
        note_acquired();
        return true;
    }
    int32_t free = 0;
    if (!wanting_.compare_exchange_strong(free, 1, std::memory_order_acquire)) return false;
    owner_.store(me, std::memory_order_relaxed);
    depth_ = 1;
    note_acquired();
    return true;
}

void ProgramLock::unlock() {
    note_released();
    if (--depth_ > 0) return;
    owner_.store(0, std::memory_order_relaxed);
    // Another thread counted itself in: it waits, or is about to, and this release hands the lock over.
    if (wanting_.fetch_sub(1, std::memory_order_release) > 1)
        ReleaseSemaphore(static_cast<HANDLE>(waiters()), 1, nullptr);
}

int ProgramLock::waiting() const {
    // Every thread that counted itself in but the holder waits, or is about to.
    const int32_t wanting = wanting_.load(std::memory_order_relaxed);
    return wanting > 1 ? wanting - 1 : 0;
}

void program_lock_set_main_thread() { main_thread_id = GetCurrentThreadId(); }
