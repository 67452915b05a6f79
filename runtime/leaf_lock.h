// Leaf locks: small locks held only while data is copied in or out, never across another lock or call.
#pragma once

#include <mutex>

// A plain (not re-entrant) lock with a name. While a thread holds a leaf lock it takes no other lock, leaf or
// named: builds with the lock-order check stop the program, naming both locks, when it does. Usable with
// std::lock_guard and std::unique_lock; try_lock_for serves the callers that must not wait for ever (the exit, after a
// worker that could hold the lock was killed).
class LeafLock {
public:
    explicit LeafLock(const char* name) : name_(name) {}
    LeafLock(const LeafLock&) = delete;
    LeafLock& operator=(const LeafLock&) = delete;

    void lock();
    void unlock();
    bool try_lock();
    // True when the lock was taken within `milliseconds` (0: only when it is free now).
    bool try_lock_for(int milliseconds);

    const char* name() const { return name_; }

private:
    std::timed_mutex mutex_;
    const char* name_;
};

// True when the lock could be taken within `milliseconds`; it is let go again at once. For a caller that
// knows no other thread can still take it for long (the exit, once the workers have ended or were killed)
// and would otherwise wait for ever on one a killed thread held.
bool leaf_lock_free_within(LeafLock& lock, int milliseconds);
