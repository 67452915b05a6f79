// Leaf locks over a timed mutex, reported to the lock-order check.
#include "runtime/leaf_lock.h"

#include <chrono>

#include "runtime/program_lock.h"

#if defined(__SANITIZE_THREAD__)
#include <sanitizer/tsan_interface.h>
#endif

void LeafLock::lock() {
    // Checked before the wait: a leaf lock taken again by its holder would otherwise simply hang.
    lock_order_note_taking(this, name_, LOCK_RANK_LEAF);
    mutex_.lock();
    lock_order_note_acquired(this, name_, LOCK_RANK_LEAF);
}

void LeafLock::unlock() {
    lock_order_note_released(this);
    mutex_.unlock();
}

bool LeafLock::try_lock() {
    lock_order_note_taking(this, name_, LOCK_RANK_LEAF);
    if (!mutex_.try_lock()) return false;
    lock_order_note_acquired(this, name_, LOCK_RANK_LEAF);
    return true;
}

bool LeafLock::try_lock_for(int milliseconds) {
    lock_order_note_taking(this, name_, LOCK_RANK_LEAF);
#if defined(__SANITIZE_THREAD__)
    // The bounded wait is a pthread_mutex_clocklock, which ThreadSanitizer does not intercept (GCC 12): it is told
    // of the lock here, so that it sees the unlock that follows as the holder's and what the lock guards as guarded.
    __tsan_mutex_pre_lock(&mutex_, __tsan_mutex_try_lock);
#endif
    const bool taken = mutex_.try_lock_for(std::chrono::milliseconds(milliseconds < 0 ? 0 : milliseconds));
#if defined(__SANITIZE_THREAD__)
    __tsan_mutex_post_lock(&mutex_, taken ? __tsan_mutex_try_lock : __tsan_mutex_try_lock_failed, 0);
#endif
    if (!taken) return false;
    lock_order_note_acquired(this, name_, LOCK_RANK_LEAF);
    return true;
}

bool leaf_lock_free_within(LeafLock& lock, int milliseconds) {
    if (!lock.try_lock_for(milliseconds)) return false;
    lock.unlock();
    return true;
}
