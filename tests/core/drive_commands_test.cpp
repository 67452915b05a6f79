// The command prompt and PowerShell on a drive: their parameters, which drives get one, and the escaping of
// texts from outside for each shell.
#include "core/drive_commands.h"

#include <gtest/gtest.h>

#include "core/language.h"
#include "core/shared_tables.h"

namespace {

DriveCommandFacts fixed_c(std::wstring device = L"") {
    DriveCommandFacts drive;
    drive.drive_name = L"C:";
    drive.letter = L"C";
    drive.drive_type = TYPE_FIXED;
    drive.device_text = std::move(device);
    drive.free_bytes = 4000000;
    drive.total_bytes = 5000000;
    return drive;
}

class DriveCommands : public ::testing::Test {
protected:
    void SetUp() override { text_maps_load(LANGUAGE_ENGLISH); }
};

TEST_F(DriveCommands, ConsoleOnAFixedDriveStartsElevatedWithTheSizesAligned) {
    const DriveCommand command = drive_console_command(fixed_c());
    EXPECT_TRUE(command.start);
    EXPECT_TRUE(command.elevated);
    EXPECT_EQ(command.program, L"CMD");
    const std::wstring head = L"/K C: && CD\\ && VER && ECHO. && VOL && ECHO. && ECHO  ";
    ASSERT_EQ(command.parameters.rfind(head, 0), 0u)
        << std::string(command.parameters.begin(), command.parameters.end());
    EXPECT_EQ(command.parameters.substr(head.size() - 7),
              L" ECHO   Used: 1,000,000 (977K) && ECHO   Free: 4,000,000 (3906K) && ECHO  Total: 5,000,000 (4883K)");
    DriveCommandFacts half = fixed_c();
    half.free_bytes = 4500000;  // used 500,000, right-aligned under the total
    EXPECT_NE(drive_console_command(half).parameters.find(L"Used:   500,000 ("), std::wstring::npos);
    EXPECT_EQ(command.parameters.find(L"Mfg"), std::wstring::npos) << "no device line without a device text";
}

TEST_F(DriveCommands, OnlyLocalDrivesAndNetworkDrivesWithASizeGetAShell) {
    const struct {
        int type;
        int64_t total;
        bool start;
        bool elevated;
    } cases[] = {
        {TYPE_FIXED, 5000000, true, true},     {TYPE_REMOVABLE, 5000000, true, true},
        {TYPE_REMOTE, 5000000, true, false},   {TYPE_REMOTE, 0, false, false},
        {TYPE_CDROM, 5000000, false, false},   {TYPE_RAMDISK, 5000000, false, false},
        {TYPE_UNKNOWN, 5000000, false, false}, {TYPE_NO_ROOT, 5000000, false, false},
    };
    for (const auto& c : cases) {
        DriveCommandFacts drive = fixed_c();
        drive.drive_type = c.type;
        drive.total_bytes = c.total;
        for (const DriveCommand& command : {drive_console_command(drive), drive_powershell_command(drive)}) {
            EXPECT_EQ(command.start, c.start) << c.type << " " << c.total;
            EXPECT_EQ(command.elevated, c.elevated) << c.type << " " << c.total;
        }
    }
}

TEST_F(DriveCommands, PowerShellGetsTheVolumeFilterQuotedForItsCommandLine) {
    DriveCommandFacts drive = fixed_c();
    drive.drive_type = TYPE_REMOTE;
    drive.device_text = L"\\\\server\\share";
    const DriveCommand command = drive_powershell_command(drive);
    EXPECT_EQ(command.program, L"PowerShell");
    EXPECT_FALSE(command.elevated);
    EXPECT_EQ(command.parameters.rfind(L"-NoExit -Command C:;CD\\;Write-Host '';", 0), 0u);
    EXPECT_NE(command.parameters.find(L"-Filter \\\"DriveLetter='C:'\\\"; ' Volume in drive C is ' + $vol.Label; "
                                      L"' Volume Serial Number is ' + $vol.SerialNumber\";"),
              std::wstring::npos);
    EXPECT_NE(command.parameters.find(L";Write-Host '   Dir: \\\\server\\share';Write-Host ''"), std::wstring::npos);
}

// Every nasty character either reaches the shell as plain text or is left out; none ends the echo early.
TEST_F(DriveCommands, TextsFromOutsideAreEscapedForTheShellThatReceivesThem) {
    const struct {
        const wchar_t* text;
        const wchar_t* cmd;
        const wchar_t* powershell;
    } cases[] = {
        {L"A&B", L"A^&B", L"A&B"},
        {L"A|B", L"A^|B", L"A|B"},
        {L"A^B", L"A^^B", L"A^B"},
        {L"100%", L"100", L"100%"},
        {L"%PATH%", L"PATH", L"%PATH%"},
        {L"say \"hi\"", L"say hi", L"say hi"},
        {L"it's", L"it's", L"it''s"},
        {L"`whoami`", L"`whoami`", L"`whoami`"},
        {L"$env:PATH", L"$env:PATH", L"$env:PATH"},
        {L"(x)", L"^(x^)", L"(x)"},
        {L"a;b", L"a;b", L"a;b"},
        {L"<in >out", L"^<in ^>out", L"<in >out"},
        {L"line\r\ncalc", L"linecalc", L"linecalc"},
        {L"bang!", L"bang", L"bang!"},
        {L"\x2018quoted\x2019", L"\x2018quoted\x2019", L"''quoted''"},
        {L"\x201C"
         L"double\x201D",
         L"\x201C"
         L"double\x201D",
         L"double"},
        {L"'; calc; '", L"'; calc; '", L"''; calc; ''"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cmd_echo_text(c.text), c.cmd) << static_cast<int>(c.text[0]);
        EXPECT_EQ(powershell_quoted_text(c.text), c.powershell) << static_cast<int>(c.text[0]);
    }

    // The device text reaches both command lines escaped, never as given.
    const std::wstring vendor = L"ACME\" & calc & \"'; calc; '";
    const DriveCommand console = drive_console_command(fixed_c(vendor));
    EXPECT_NE(console.parameters.find(L"&& ECHO    Mfg: ACME ^& calc ^& '; calc; ' && ECHO."), std::wstring::npos)
        << std::string(console.parameters.begin(), console.parameters.end());
    const DriveCommand powershell = drive_powershell_command(fixed_c(vendor));
    EXPECT_NE(powershell.parameters.find(L";Write-Host '   Mfg: ACME & calc & ''; calc; ''';"), std::wstring::npos);
    EXPECT_EQ(powershell.parameters.find(L"calc; '';"), std::wstring::npos);
}

}  // namespace
