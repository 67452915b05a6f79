// The platform-independent part of the program's locks: the lock-order check of debug builds.
#include "runtime/program_lock.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {

std::atomic<LockOrderRule> order_rule{nullptr};

#if !defined(NDEBUG)
// A wrong nesting is a programming fault: a debug build stops at once, naming both locks.
void order_report(const char* held, const char* taken) {
    std::fprintf(stderr, "lock order violated: %s taken while %s is held\n", taken, held);
    std::abort();
}

// The locks this thread holds, innermost last; a re-entered lock appears once per entry.
constexpr int MAX_HELD = 32;
thread_local const ProgramLock* held_locks[MAX_HELD];
thread_local int held_count = 0;
#endif

}  // namespace

void lock_order_set_rule(LockOrderRule rule) { order_rule = rule; }

bool lock_order_check_enabled() {
#if defined(NDEBUG)
    return false;
#else
    return true;
#endif
}

void ProgramLock::note_acquired() {
#if !defined(NDEBUG)
    bool reentered = false;
    for (int i = 0; i < held_count; ++i) reentered = reentered || held_locks[i] == this;
    const LockOrderRule rule = order_rule.load();
    if (!reentered && rule) {
        for (int i = 0; i < held_count; ++i) {
            if (held_locks[i] != this && !rule(held_locks[i]->rank(), rank_))
                order_report(held_locks[i]->name(), name_);
        }
    }
    if (held_count < MAX_HELD) held_locks[held_count++] = this;
#endif
}

void ProgramLock::note_released() {
#if !defined(NDEBUG)
    for (int i = held_count - 1; i >= 0; --i) {
        if (held_locks[i] == this) {
            for (int j = i; j + 1 < held_count; ++j) held_locks[j] = held_locks[j + 1];
            --held_count;
            return;
        }
    }
#endif
}
