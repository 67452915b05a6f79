// Ranks of the eight named locks and the only orders in which a thread may nest them.
#pragma once

#include "runtime/program_lock.h"

enum LockRank : int {
    RANK_CLIPBOARD = 1,
    RANK_HISTORY = 2,
    RANK_GPU_INFO = 3,
    RANK_PING_LIST = 4,
    RANK_GRAPH_DRAW = 5,
    RANK_GRAPH_SAMPLES = 6,
    RANK_CELL_DRAW = 7,  // never held together with another lock
    RANK_SAGA_LIST = 8   // never held together with another lock
};

// True when a thread holding a lock of rank `outer` may take one of rank `inner`: the clipboard copy
// before the histories before the GPU report lines; the clipboard copy or the histories before the ping
// list; the histories before graph drawing before a graph's samples; and the chains these make. A leaf lock
// (LOCK_RANK_LEAF) may be taken under any named lock but the cell drawing's and the session list's, which
// are never held together with another lock.
bool lock_order_allowed(int outer, int inner);
