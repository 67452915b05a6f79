// The compact window's message callback: the end of the Windows session, the single-instance messages and
// volume changes, which it turns into the exit, the activation of this instance or the drive watcher's
// requests.
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

// ---- Windows ----

// The compact window's message callback (bound at start-up).
intptr_t compact_window_callback(intptr_t window_handle, uint32_t message, uintptr_t wparam, intptr_t lparam);
