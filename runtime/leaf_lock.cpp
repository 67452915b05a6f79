// Leaf locks over a timed mutex, reported to the lock-order check of debug builds.
#include "runtime/leaf_lock.h"

#include <chrono>

#include "runtime/program_lock.h"

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
    if (!mutex_.try_lock_for(std::chrono::milliseconds(milliseconds < 0 ? 0 : milliseconds))) return false;
    lock_order_note_acquired(this, name_, LOCK_RANK_LEAF);
    return true;
}

bool leaf_lock_free_within(LeafLock& lock, int milliseconds) {
    if (!lock.try_lock_for(milliseconds)) return false;
    lock.unlock();
    return true;
}
