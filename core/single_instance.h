// One instance per session: the command words, the named mutex "SotRix", the two broadcast messages and the
// restart hand-over.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// ---- Decisions (no Windows) ----

// COMMAND_LINE: every parameter (already lower-cased) followed by one space.
std::wstring command_line_join(const std::vector<std::wstring>& lowered_parameters);

struct CommandWords {
    bool shutdown = false;  // tell a running instance to quit, then end at once
    bool restart = false;   // tell it to quit, wait until it has, then start normally
};
// The words count anywhere in the line (a parameter that contains them counts too); shutdown wins.
CommandWords command_words(std::wstring_view command_line);

// One round of the restart hand-over's wait for the running instance's mutex.
enum TakeoverWait : int { TAKEOVER_OWNED = 0, TAKEOVER_TIMED_OUT = 1, TAKEOVER_FAILED = 2 };
enum TakeoverStep : int { TAKEOVER_DONE = 0, TAKEOVER_WAIT_AGAIN = 1, TAKEOVER_GIVE_UP = 2 };
constexpr int TAKEOVER_ROUNDS = 15;
constexpr int TAKEOVER_ROUND_MS = 1000;
// rounds_done counts the rounds that timed out before this one.
TakeoverStep takeover_step(TakeoverWait result, int rounds_done);

// ---- Windows ----

// Registers "WM_ACTIVATEOLDINST_SX" and "WM_DEACTIVATEOLDINST_SX" (start-up, before any window).
void single_instance_messages_register();
unsigned single_instance_activate_message();
unsigned single_instance_quit_message();

// Posts the quit message to every top-level window.
void single_instance_quit_broadcast();

// The restart hand-over: creates or waits for the mutex for up to TAKEOVER_ROUNDS rounds of TAKEOVER_ROUND_MS. True
// when this process owns the mutex afterwards.
bool single_instance_takeover();

// Creates the mutex with initial ownership. False when another instance holds it and this process did not
// take it over; a mutex that cannot be made at all is no reason to stop (true).
bool single_instance_claim(bool taken_over);

// Posts the activate message to every top-level window: the running instance comes forward.
void single_instance_activate_broadcast();

// Lets the mutex go (exit sequence).
void single_instance_release();
