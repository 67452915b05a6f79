// The end of the program: the exit sequence and the compact window's message callback, which also hears the
// end of the Windows session, the single-instance messages and volume changes.
#pragma once

#include <cstdint>

// ---- Decisions (no Windows) ----

enum SessionAction : int {
    SESSION_PASS = 0,          // the runtime handles the message as usual
    SESSION_ANSWER,            // answer Windows with `answer`, nothing else
    SESSION_EXIT_END_SESSION,  // the session ends: show the window, block the shutdown with a reason, exit
    SESSION_EXIT_QUIT,         // another start asked this instance to quit: exit
    SESSION_ACTIVATE,          // another start wants this instance in front
    SESSION_VOLUME_ARRIVED,
    SESSION_VOLUME_REMOVED,
};

struct SessionRoute {
    SessionAction action = SESSION_PASS;
    intptr_t answer = 0;
};

// What the callback knows of one message.
struct SessionMessage {
    uint32_t message = 0;
    uintptr_t wparam = 0;
    bool quitting = false;          // QUIT_FLAG is not 0
    uint32_t activate_message = 0;  // the registered messages (0 when not registered)
    uint32_t quit_message = 0;
    bool device_header_valid = false;  // WM_DEVICECHANGE: lParam points at a readable, plausible device header
    uint32_t device_type = 0;          // its device type when valid
};

// The decision for one message of the compact window. Once the program is quitting it starts nothing: a
// query whether the session may end is answered yes (the program is ending anyway), the single-instance and
// device messages are answered and dropped, everything else is handled as usual (so windows still paint and
// close). A session end that Windows reports as cancelled (WM_ENDSESSION with wParam 0) changes nothing.
SessionRoute compact_message_route(const SessionMessage& message);

// The exit's wait for the workers: QUIT_FLAG counts one up per 40 ms waited, from 1 up to 50, and the wait
// ends at 50 (about two seconds) when a worker has still not stopped.
constexpr int EXIT_WAIT_STEP_MS = 40;
constexpr int EXIT_WAIT_LAST_COUNT = 50;
int exit_wait_count(int64_t waited_ms);

// ---- Windows ----

// The exit sequence (main thread): hides the windows, notes the end in the event lists, saves the settings,
// stops the workers (waiting at most about two seconds, serving other threads' messages meanwhile, killing
// only what did not stop), removes the tray icons, frees the libraries, writes the log, the ping list and
// the session history, lets the single-instance mutex go and ends the process. It does not return; called
// again while it runs (from a message it serves) it returns at once.
void program_exit();

// The exit's wait for the workers (main thread): raises the quit (QUIT_FLAG 1 and the quit event), then waits
// on the threads' handles while any worker slot or watched thread runs, counting QUIT_FLAG up per 40 ms and
// serving the messages other threads send to our windows. True as soon as all stopped; false after about two
// seconds (QUIT_FLAG 50) with one still running.
bool exit_workers_stop();

// The compact window's message callback (bound at start-up).
intptr_t compact_window_callback(intptr_t window_handle, uint32_t message, uintptr_t wparam, intptr_t lparam);

// A short-lived worker whose thread number lives outside the shared slots (the host-name lookup worker): the
// exit also waits for it and, last, kills it.
void exit_watch_thread(int64_t thread);

// The shutdown-block functions of user32, looked up by name at start-up (either may be missing).
void shutdown_block_functions_find();
