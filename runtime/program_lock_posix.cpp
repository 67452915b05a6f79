// The program's locks on the native build: a plain recursive mutex (no message queue to serve).
#include "runtime/program_lock.h"

ProgramLock::ProgramLock(const char* name, int rank) : name_(name), rank_(rank) {}

ProgramLock::~ProgramLock() = default;

void ProgramLock::lock() {
    note_taking();
    mutex_.lock();
    note_acquired();
}

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
