// What a Ctrl-click or Alt-click on a drive line of the compact window starts: a command prompt or
// PowerShell on the drive, with the drive's facts echoed. Texts from outside (the disk's vendor and
// product, a network path) are escaped for the shell that receives them. No Windows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct DriveCommandFacts {
    std::wstring drive_name;  // "C:"
    std::wstring letter;      // "C"
    int drive_type = 0;       // a DriveType
    std::wstring device_text;
    int64_t free_bytes = 0;
    int64_t total_bytes = 0;
};

struct DriveCommand {
    bool start = false;     // false: nothing is started for this drive
    bool elevated = false;  // local drives ask Windows to run the shell elevated
    std::wstring program;   // "CMD" or "PowerShell"
    std::wstring parameters;
};

// "CMD" with "/K ..." (Ctrl-click) and "PowerShell" with "-NoExit -Command ..." (Alt-click). Removable and
// fixed drives start elevated, network drives with a size normally; other drives start nothing.
DriveCommand drive_console_command(const DriveCommandFacts& drive);
DriveCommand drive_powershell_command(const DriveCommandFacts& drive);

// Text for an ECHO on CMD's command line: the characters CMD acts on (& | < > ( ) ^) carry a caret; the
// ones no caret protects there (", %, !) and control characters (line breaks among them) are left out.
std::wstring cmd_echo_text(std::wstring_view text);

// Text for the inside of a single-quoted PowerShell string that reaches PowerShell on its command line:
// a quote is doubled; double quotes (which the command line's own parsing would take) and control
// characters are left out, and PowerShell's typographic quotes become plain ones, doubled.
std::wstring powershell_quoted_text(std::wstring_view text);
