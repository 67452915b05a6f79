// The program's locks on Windows: a mutex object, waited for with the message queue served on the UI thread.
#include <windows.h>

#include <atomic>

#include "runtime/program_lock.h"

namespace {

// The thread that runs static initialisation is the program's main thread.
std::atomic<DWORD> main_thread_id{GetCurrentThreadId()};

// Waits for the mutex while letting other threads' SendMessage calls to this thread's windows through.
void wait_serving_sent_messages(HANDLE handle) {
    for (;;) {
        // MWMO_INPUTAVAILABLE: a message sent before the wait began is served too, even when an earlier look
        // at the queue marked it as seen.
        const DWORD result = MsgWaitForMultipleObjectsEx(1, &handle, INFINITE, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
        if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED_0) return;
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

ProgramLock::ProgramLock(const char* name, int rank) : name_(name), rank_(rank) {
    handle_ = CreateMutexW(nullptr, FALSE, nullptr);
}

ProgramLock::~ProgramLock() {
    if (handle_) CloseHandle(static_cast<HANDLE>(handle_));
}

void ProgramLock::lock() {
    note_taking();
    HANDLE handle = static_cast<HANDLE>(handle_);
    if (GetCurrentThreadId() == main_thread_id.load(std::memory_order_relaxed)) {
        wait_serving_sent_messages(handle);
    } else {
        WaitForSingleObject(handle, INFINITE);  // WAIT_ABANDONED also hands over ownership
    }
    note_acquired();
}

bool ProgramLock::try_lock() {
    note_taking();
    const DWORD result = WaitForSingleObject(static_cast<HANDLE>(handle_), 0);
    if (result != WAIT_OBJECT_0 && result != WAIT_ABANDONED) return false;
    note_acquired();
    return true;
}

void ProgramLock::unlock() {
    note_released();
    ReleaseMutex(static_cast<HANDLE>(handle_));
}

void program_lock_set_main_thread() { main_thread_id = GetCurrentThreadId(); }
