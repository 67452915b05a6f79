// The system's colour chooser, owned by the foreground window.
#pragma once

#include <cstdint>

// Shows the chooser with an initial colour (0x00BBGGRR) and waits for the user; the chosen colour, or -1
// when the chooser was cancelled. Main thread.
int32_t color_choose(int32_t initial);
