// Waiting in tests for a state that another thread or process reaches, with a deadline instead of a hang.
#pragma once

#include <chrono>
#include <thread>

// Generous for a machine that runs several Wine test programs at once; a state that is reached at all is
// reached long before.
inline constexpr std::chrono::milliseconds WAIT_LIMIT{10000};

// Looks at `reached` every few milliseconds until it gives true or `limit` has passed. True when reached
// (it is asked once more at the deadline).
template <typename Condition>
bool wait_until(Condition reached, std::chrono::milliseconds limit = WAIT_LIMIT) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!reached()) {
        if (std::chrono::steady_clock::now() >= deadline) return reached();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}
