// What the Settings and About tabs start outside the program: this program again, and the shell on a web
// address or a folder.
#pragma once

#include <string_view>

// Starts this program's executable with "restart norepair", no working folder, hidden; through the shell's
// "RunAS" verb when elevated. True when the new process was started.
bool self_start(bool elevated);

// Opens a web address or a folder with the shell ("open"). True when the shell took it.
bool shell_target_open(std::wstring_view target);
