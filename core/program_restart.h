// Starting the program again with "restart norepair": the start itself and what is said when it fails.
#pragma once

#include <string>
#include <string_view>

// Starts `program` with "restart norepair" and no working folder, shown with `show_command`; elevated
// through the shell's "RunAS" verb on request. True when the new process was started (Windows).
bool program_start_again(std::wstring_view program, bool elevated, int show_command);

// The status title after a restart that could not start the new instance.
std::wstring restart_failed_text();
