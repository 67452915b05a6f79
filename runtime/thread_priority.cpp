// The program's priority scale of 1 to 32 mapped onto the seven Windows thread priorities.
#include "runtime/threads.h"

ThreadPriorityLevel thread_priority_level(int priority) {
    if (priority <= 1) return PRIORITY_LEVEL_IDLE;
    if (priority <= 7) return PRIORITY_LEVEL_LOWEST;
    if (priority <= 15) return PRIORITY_LEVEL_BELOW_NORMAL;
    if (priority == 16) return PRIORITY_LEVEL_NORMAL;
    if (priority <= 30) return PRIORITY_LEVEL_ABOVE_NORMAL;
    if (priority == 31) return PRIORITY_LEVEL_HIGHEST;
    return PRIORITY_LEVEL_TIME_CRITICAL;
}
