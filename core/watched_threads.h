// The threads the exit waits for: the worker slots of the shared state and short-lived workers that
// register themselves (the host-name lookup worker), so a monitor can be watched without knowing the exit.
#pragma once

#include <cstdint>
#include <vector>

// Adds a thread that lives outside the shared worker slots: the exit waits for it and, last, kills it. Any
// thread. Eight such threads are kept; when all places are taken, one whose thread has ended gives way.
void exit_watch_thread(int64_t thread);

// The thread numbers the exit waits for: the running worker slots, then the watched threads. Any thread.
std::vector<int64_t> exit_watched_threads();
