// The program's locks on the native build: a plain recursive mutex (no message queue to serve).
#include "runtime/program_lock.h"

ProgramLock::ProgramLock(const char* name, int rank) : name_(name), rank_(rank) {}

ProgramLock::~ProgramLock() = default;

void ProgramLock::lock() {
    note_taking();
    if (!mutex_.try_lock()) {
        waiting_.fetch_add(1, std::memory_order_relaxed);
        mutex_.lock();
        waiting_.fetch_sub(1, std::memory_order_relaxed);
    }
    note_acquired();
}

int ProgramLock::waiting() const { return waiting_.load(std::memory_order_relaxed); }

bool ProgramLock::try_lock() {
    note_taking();
    if (!mutex_.try_lock()) return false;
    note_acquired();
    return true;
}

void ProgramLock::unlock() {
    note_released();
    mutex_.unlock();
}

void program_lock_set_main_thread() {}
