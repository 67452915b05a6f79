// What the tests of the program's windows share: a fresh program state and an event loop turned until a
// condition holds.
#pragma once

#include <chrono>
#include <functional>

#include "app/event_loop.h"
#include "core/control_handlers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "ui/graph_descriptor.h"

// The state a test of a window starts from: shared state and tables as at start-up, the English texts, no
// graphs and no control handlers.
inline void program_state_fresh() {
    shared_state_init(SharedStateFacts{});
    shared_tables_init();
    text_maps_load(LANGUAGE_ENGLISH);
    graph_descriptors_clear();
    control_handlers_clear();
}

// Turns the event loop until the condition holds; false when it still does not after 10 s.
inline bool loop_until(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        event_loop_turn(20);
    }
    return true;
}
