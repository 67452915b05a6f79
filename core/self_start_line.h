// The texts that leave the program when it starts itself again or hands a target to the shell: the new
// instance's command line, quoted so that no path splits or runs anything, and the targets the shell may
// open.
#pragma once

#include <string>
#include <string_view>

// One argument as the C runtime of the started program splits it back out of a command line: in double
// quotes when it holds a blank, a tab or a quote (or is empty), inner quotes escaped with a backslash and
// the backslashes before them, and before the closing quote, doubled.
std::wstring command_line_argument(std::wstring_view argument);

// The command line of the restarted program: its path as one argument, then "restart norepair".
std::wstring self_start_command_line(std::wstring_view program);

// Whether the shell may be given the target: an "http://" or "https://" address, or an absolute folder
// ("C:\..." or "\\server\..."), in either case without quotes, control characters or line breaks. Anything
// else (a relative name, a command, an address of another scheme) is refused.
bool shell_target_allowed(std::wstring_view target);
