// The notice a second start shows while the running instance comes forward.
#pragma once

#include <string>

// ---- Decisions (no Windows) ----

// The notice's fixed text for the user's primary language (7 German, else English).
std::wstring already_running_text(int primary_language);

// ---- Windows ----

// Shows the notice for NOTICE_SHOWN_MS (five seconds) while the running instance comes forward, then ends the process.
[[noreturn]] void already_running_notice_and_end();
