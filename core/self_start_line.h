// Starting this program again with "restart norepair" (the Settings tab's Restart and the counter repair), and
// the texts that leave the program then or when it hands a target to the shell: the new instance's command
// line, quoted so that no path splits or runs anything, and the targets the shell may open.
#pragma once

#include <string>
#include <string_view>

// One argument as the C runtime of the started program splits it back out of a command line: in double
// quotes when it holds a blank, a tab or a quote (or is empty), inner quotes escaped with a backslash and
// the backslashes before them, and before the closing quote, doubled.
std::wstring command_line_argument(std::wstring_view argument);

// The command line of the restarted program: its path as one argument, then "restart norepair".
std::wstring self_start_command_line(std::wstring_view program);

// What a restart that could not start the new instance says (status title and system events).
std::wstring restart_failed_text();

// ---- Windows (self_start_line_win.cpp) ----

// The path of this program's executable; empty when it cannot be read.
std::wstring own_program_path();

// Starts `program` with "restart norepair" and no working folder, shown with `show_command`: through
// CreateProcess with self_start_command_line, or elevated through the shell's "RunAS" verb with the path and
// the words apart. True when the new process was started; the caller goes on when it was not.
bool program_start_again(std::wstring_view program, bool elevated, int show_command);

// The Settings tab's restart: this program, hidden.
bool self_start(bool elevated);

// Whether the shell may be given the target: an "http://" or "https://" address, or an absolute folder
// ("C:\..." or "\\server\..."), in either case without quotes, control characters or line breaks. Anything
// else (a relative name, a command, an address of another scheme) is refused.
bool shell_target_allowed(std::wstring_view target);
