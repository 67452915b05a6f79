// Opening a drive of the compact window in the shell, a command prompt or PowerShell.
#include <windows.h>

#include <shellapi.h>

#include <mutex>
#include <string>

#include "app/drive_shell.h"
#include "core/drive_commands.h"
#include "core/shared_tables.h"
#include "ui/compact_layout.h"

namespace {

// The drive whose cell shows on the row: 1 (A) to 26 (Z); 0 when none does.
int drive_on_row(int drive_row) {
    std::lock_guard guard(CellDrawMutex);
    for (int cell = CELL_DRIVE_FIRST; cell <= CELL_DRIVE_LAST; ++cell) {
        if (CompactCells[cell].drive_row == drive_row) return cell;
    }
    return 0;
}

void command_start(const DriveCommand& command) {
    if (!command.start) return;
    // A refused elevation or a missing program is not reported.
    ShellExecuteW(nullptr, command.elevated ? L"RunAS" : nullptr, command.program.c_str(), command.parameters.c_str(),
                  nullptr, SW_SHOWNORMAL);
}

}  // namespace

void drive_shell_start(int kind, int drive_row) {
    if (drive_row < 1) return;
    const int drive = drive_on_row(drive_row);
    if (drive == 0) return;
    DriveCommandFacts facts;
    {
        std::lock_guard guard(DriveTableLock);
        const DriveEntry& entry = DriveTable[drive];
        facts.drive_name = entry.drive_name.str();
        facts.letter = entry.letter.str();
        facts.drive_type = entry.drive_type;
        facts.device_text = entry.device_text.str();
        facts.free_bytes = entry.free_bytes;
        facts.total_bytes = entry.total_bytes;
    }
    switch (kind) {
        case COMPACT_CLICK_DRIVE_OPEN:
            ShellExecuteW(nullptr, nullptr, facts.drive_name.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
            break;
        case COMPACT_CLICK_DRIVE_CONSOLE: command_start(drive_console_command(facts)); break;
        case COMPACT_CLICK_DRIVE_POWERSHELL: command_start(drive_powershell_command(facts)); break;
        default: break;
    }
}
