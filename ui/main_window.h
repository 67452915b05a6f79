// The main window: its build, once per run, with the tab panel and every control of its tabs.
#pragma once

// Opens WIN_MAIN hidden and centred (x and y have no effect), sized by the command words or the two size
// settings; adds the nine tabs and their controls, graphs included; stores the layout values, fonts and
// texts that the workers and the other pages use afterwards. A tab caption
// word on the command line selects that tab and shows the window. Main thread, before the workers start;
// nothing happens when WIN_MAIN exists already.
//
// It reads SETTINGS_FILE_PRESENT: when it is 1 the ping interval and long-idle choices that the settings
// code gave are kept (while they name an item); otherwise they become the defaults.
void main_window_build(int x, int y);
