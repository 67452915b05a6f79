// The program's named locks: re-entrant, and waiting on the main thread still serves sent messages.
#pragma once

#include <atomic>
#include <cstdint>

#if !defined(_WIN32)
#include <mutex>
#endif

// A re-entrant lock. On Windows the main thread waits with MsgWaitForMultipleObjectsEx and dispatches
// sent messages meanwhile, so a worker that updates a window while it holds the lock cannot hang the
// program. Taking a free lock and letting go of one nobody waits for stay inside the process: only a thread
// that has to wait touches a kernel object, which the lock makes when a thread first has to wait, so a lock
// that is never contended holds none. Each lock has a rank; builds with the lock-order check (every build with
// tests) check that locks nest only as lock_order_allowed() says.
class ProgramLock {
public:
    ProgramLock(const char* name, int rank);
    ~ProgramLock();
    ProgramLock(const ProgramLock&) = delete;
    ProgramLock& operator=(const ProgramLock&) = delete;

    void lock();
    void unlock();
    bool try_lock();

    const char* name() const { return name_; }
    int rank() const { return rank_; }
    // The threads that wait for the lock at this moment (held by another thread), without the holder.
    int waiting() const;

private:
    void note_taking();
    void note_acquired();
    void note_released();

    const char* name_;
    int rank_;
#if defined(_WIN32)
    std::atomic<int32_t> wanting_{0};  // threads that hold the lock or wait for it
    std::atomic<uint32_t> owner_{0};   // the holder's thread id, 0 when free
    int depth_ = 0;                    // the holder's entries; only the holder touches it
    // A semaphore, made at the first wait: each release for a waiter hands the lock to one of them.
    std::atomic<void*> waiters_{nullptr};
    void* waiters();
#else
    std::recursive_mutex mutex_;
    std::atomic<int32_t> waiting_{0};
#endif
};

// The rank of every leaf lock (runtime/leaf_lock.h): innermost, so nothing is taken while one is held.
constexpr int LOCK_RANK_LEAF = 1000;

// The nesting rule: may a thread holding a lock of rank `outer` take a lock of rank `inner`?
// The program installs its rule once at start-up; without one every nesting of named locks is allowed.
// Whatever the rule, a thread that holds a leaf lock takes no other lock (and not the same leaf lock again).
using LockOrderRule = bool (*)(int outer, int inner);
void lock_order_set_rule(LockOrderRule rule);
// With the check compiled in (SOTRIX_LOCK_ORDER_CHECK), a wrong nesting ends the program with a message that names
// both locks. True when it is compiled in.
bool lock_order_check_enabled();

// The check's record of the calling thread's locks, for the lock types (no-ops without the check):
// `taking` checks the nesting before the wait, `acquired` and `released` keep the record.
void lock_order_note_taking(const void* lock, const char* name, int rank);
void lock_order_note_acquired(const void* lock, const char* name, int rank);
void lock_order_note_released(const void* lock);

// Marks the calling thread as the one whose waits must keep serving sent messages (the UI thread).
// The thread that starts the program is marked already.
void program_lock_set_main_thread();
