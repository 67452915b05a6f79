// The end of the program: the exit sequence, with the wait for the workers and the shutdown-block reason.
#pragma once

#include <cstdint>

// ---- Decisions (no Windows) ----

// The exit's wait for the workers: QUIT_FLAG counts one up per 40 ms waited, from 1 up to 50, and the wait
// ends at 50 (about two seconds) when a worker has still not stopped.
constexpr int EXIT_WAIT_STEP_MS = 40;
constexpr int EXIT_WAIT_LAST_COUNT = 50;
int exit_wait_count(int64_t waited_ms);

// ---- Windows ----

// The exit sequence (main thread): hides the windows, notes the end in the event lists, saves the settings,
// stops the workers (waiting at most about two seconds, serving other threads' messages meanwhile, killing
// only what did not stop), writes the log, the ping list and the session history, then removes the tray
// icons and frees the libraries (all of this within about eight seconds, each step skipped with a note when a
// lock it needs stays held by a killed worker), lets the single-instance mutex go and ends the process. It
// does not return; called again while it runs (from a message it serves) it returns at once.
void program_exit();

// The exit's wait for the workers (main thread): raises the quit (QUIT_FLAG 1 and the quit event), then waits
// on the threads' handles while any worker slot or watched thread runs, counting QUIT_FLAG up per EXIT_WAIT_STEP_MS and
// serving the messages other threads send to our windows. True as soon as all stopped; false after about two
// seconds (QUIT_FLAG EXIT_WAIT_LAST_COUNT) with one still running.
bool exit_workers_stop();

// The shutdown-block functions of user32, looked up by name at start-up (either may be missing).
void shutdown_block_functions_find();
// Tells Windows why the end of the session waits: "Shutting Down Sotrix v<version>" on the compact window,
// when the function was found. Main thread, as the session ends.
void shutdown_block_reason_set();
