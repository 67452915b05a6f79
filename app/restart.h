// The program's restart (the Settings tab's Restart button): the settings saved, a new instance started
// with "restart norepair", and this one ended, but only when the new one could be started. Main thread.
#pragma once

#include <string_view>

// Hides the main window, saves changed settings, goes back to the start-up folder and starts `program`
// (elevated on request). When it started, EXIT_LOOP_FLAG and QUIT_FLAG become 1 and true is returned;
// otherwise this instance goes on, shows the main window again with the failure in its status title.
bool program_restart(std::wstring_view program, bool elevated);
