// Shift-, Ctrl- and Alt-clicks on a drive line of the compact window: the drive's root folder in the
// shell, a command prompt or PowerShell on it (core/drive_commands.h builds their parameters). Main thread.
#pragma once

// `kind` is a CompactClickKind of the drive clicks; `drive_row` the clicked drive line, from 1. A row
// without a drive does nothing.
void drive_shell_start(int kind, int drive_row);
