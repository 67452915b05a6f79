// The decisions of the exit sequence.
#include "app/exit_sequence.h"

int exit_wait_count(int64_t waited_ms) {
    if (waited_ms < 0) waited_ms = 0;
    const int64_t count = 1 + waited_ms / EXIT_WAIT_STEP_MS;
    return count > EXIT_WAIT_LAST_COUNT ? EXIT_WAIT_LAST_COUNT : static_cast<int>(count);
}
