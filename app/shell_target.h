// What the Settings and About tabs hand to the shell: a web address or a folder.
#pragma once

#include <string_view>

// Opens a web address or a folder with the shell ("open"). True when the shell took it.
bool shell_target_open(std::wstring_view target);
