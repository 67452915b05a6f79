// The platform-independent part of the program's locks: the lock-order check (SOTRIX_LOCK_ORDER_CHECK).
#include "runtime/program_lock.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {

std::atomic<LockOrderRule> order_rule{nullptr};

#if defined(SOTRIX_LOCK_ORDER_CHECK)
// A wrong nesting is a programming fault: the program stops at once, naming both locks. The message goes to the
// error output, which a program that the tests start shares with the test (Wine gives it the test's).
void order_report(const char* held, const char* taken) {
    std::fprintf(stderr, "lock order violated: %s taken while %s is held\n", taken, held);
    std::abort();
}

struct HeldLock {
    const void* lock;
    const char* name;
    int rank;
};

// The locks this thread holds, innermost last; a re-entered lock appears once per entry.
constexpr int MAX_HELD = 32;
thread_local HeldLock held_locks[MAX_HELD];
thread_local int held_count = 0;
#endif

}  // namespace

void lock_order_set_rule(LockOrderRule rule) { order_rule = rule; }

bool lock_order_check_enabled() {
#if !defined(SOTRIX_LOCK_ORDER_CHECK)
    return false;
#else
    return true;
#endif
}

void lock_order_note_taking(const void* lock, const char* name, int rank) {
#if defined(SOTRIX_LOCK_ORDER_CHECK)
    bool reentered = false;
    for (int i = 0; i < held_count; ++i) reentered = reentered || held_locks[i].lock == lock;
    // A leaf lock is not re-entrant: its holder taking it again would wait for itself.
    if (reentered && rank == LOCK_RANK_LEAF) order_report(name, name);
    const LockOrderRule rule = order_rule.load();
    for (int i = 0; i < held_count; ++i) {
        const HeldLock& held = held_locks[i];
        if (held.lock == lock) continue;
        // Taking a held named lock again is not a nesting, unless a leaf lock was taken since.
        if (held.rank == LOCK_RANK_LEAF || (!reentered && rule && !rule(held.rank, rank)))
            order_report(held.name, name);
    }
#else
    (void)lock;
    (void)name;
    (void)rank;
#endif
}

void lock_order_note_acquired(const void* lock, const char* name, int rank) {
#if defined(SOTRIX_LOCK_ORDER_CHECK)
    if (held_count < MAX_HELD) held_locks[held_count++] = HeldLock{lock, name, rank};
#else
    (void)lock;
    (void)name;
    (void)rank;
#endif
}

void lock_order_note_released(const void* lock) {
#if defined(SOTRIX_LOCK_ORDER_CHECK)
    for (int i = held_count - 1; i >= 0; --i) {
        if (held_locks[i].lock == lock) {
            for (int j = i; j + 1 < held_count; ++j) held_locks[j] = held_locks[j + 1];
            --held_count;
            return;
        }
    }
#else
    (void)lock;
#endif
}

void ProgramLock::note_taking() { lock_order_note_taking(this, name_, rank_); }

void ProgramLock::note_acquired() { lock_order_note_acquired(this, name_, rank_); }

void ProgramLock::note_released() { lock_order_note_released(this); }
