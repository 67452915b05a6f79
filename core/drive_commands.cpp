// The command prompt and PowerShell on a drive: parameters, escaping and the start decision.
#include "core/drive_commands.h"

#include "core/format_bytes.h"
#include "core/format_number.h"
#include "core/language.h"
#include "core/shared_tables.h"

namespace {

bool control_character(wchar_t c) { return c < 0x20 || c == 0x7F || c == 0x2028 || c == 0x2029; }

// Which drives get a shell, and how.
DriveCommand command_for(const DriveCommandFacts& drive, std::wstring program, std::wstring parameters) {
    DriveCommand command;
    command.program = std::move(program);
    command.parameters = std::move(parameters);
    if (drive.drive_type == TYPE_REMOTE) {
        command.start = drive.total_bytes > 0;
    } else if (drive.drive_type == TYPE_REMOVABLE || drive.drive_type == TYPE_FIXED) {
        command.start = true;
        command.elevated = true;
    }
    return command;
}

// The device line's label: the network path of a network drive, the disk's maker otherwise; empty when
// there is no device text for a local drive.
std::wstring device_label(const DriveCommandFacts& drive) {
    if (drive.drive_type == TYPE_REMOTE) return right_justify(tr(L"Dir"), 6);
    if (!drive.device_text.empty()) return right_justify(tr(L"Mfg"), 6);
    return {};
}

struct SizeTexts {
    std::wstring used;
    std::wstring free;
    std::wstring total;
};

SizeTexts size_texts(const DriveCommandFacts& drive) {
    const int64_t used = drive.total_bytes - drive.free_bytes;
    const std::wstring total = grouped_number(drive.total_bytes);
    const int width = static_cast<int>(total.size());
    SizeTexts texts;
    texts.used =
        tr_padded(L" Used") + L": " + right_justify(grouped_number(used), width) + L" (" + format_bytes(used, 2) + L")";
    texts.free = tr_padded(L" Free") + L": " + right_justify(grouped_number(drive.free_bytes), width) + L" (" +
                 format_bytes(drive.free_bytes, 2) + L")";
    texts.total = tr_padded(L"Total") + L": " + total + L" (" + format_bytes(drive.total_bytes, 2) + L")";
    return texts;
}

}  // namespace

std::wstring cmd_echo_text(std::wstring_view text) {
    std::wstring out;
    for (const wchar_t c : text) {
        if (c == L'"' || c == L'%' || c == L'!' || control_character(c)) continue;
        if (c == L'&' || c == L'|' || c == L'<' || c == L'>' || c == L'(' || c == L')' || c == L'^') out += L'^';
        out += c;
    }
    return out;
}

std::wstring powershell_quoted_text(std::wstring_view text) {
    std::wstring out;
    for (const wchar_t c : text) {
        if (c == L'"' || c == 0x201C || c == 0x201D || c == 0x201E || control_character(c)) continue;
        if (c == L'\'' || c == 0x2018 || c == 0x2019 || c == 0x201A || c == 0x201B) {
            out += L"''";
            continue;
        }
        out += c;
    }
    return out;
}

DriveCommand drive_console_command(const DriveCommandFacts& drive) {
    std::wstring echoes = L" && ECHO.";
    const std::wstring label = device_label(drive);
    if (!label.empty()) echoes += L" && ECHO " + label + L": " + cmd_echo_text(drive.device_text) + L" && ECHO.";
    const SizeTexts sizes = size_texts(drive);
    // The sizes are the program's own texts: digits, commas, units and parentheses, which ECHO shows as
    // they are outside a block.
    echoes += L" && ECHO  " + sizes.used;
    echoes += L" && ECHO  " + sizes.free;
    echoes += L" && ECHO  " + sizes.total;
    return command_for(drive, L"CMD", L"/K " + drive.drive_name + L" && CD\\ && VER && ECHO. && VOL" + echoes);
}

DriveCommand drive_powershell_command(const DriveCommandFacts& drive) {
    std::wstring lines = L";Write-Host '';[System.Environment]::OSVersion.VersionString;Write-Host ''";
    lines += L";$vol = Get-CimInstance Win32_Volume -Filter \\\"DriveLetter='" + drive.drive_name +
             L"'\\\"; ' Volume in drive " + drive.letter +
             L" is ' + $vol.Label; ' Volume Serial Number is ' + $vol.SerialNumber\"";
    lines += L";Write-Host ''";
    const std::wstring label = device_label(drive);
    if (!label.empty()) {
        lines += L";Write-Host '" + label + L": " + powershell_quoted_text(drive.device_text) + L"';Write-Host ''";
    }
    const SizeTexts sizes = size_texts(drive);
    lines += L";Write-Host ' " + sizes.used + L"'";
    lines += L";Write-Host ' " + sizes.free + L"'";
    lines += L";Write-Host ' " + sizes.total + L"'";
    lines += L";Write-Host ''";
    return command_for(drive, L"PowerShell", L"-NoExit -Command " + drive.drive_name + L";CD\\" + lines);
}
