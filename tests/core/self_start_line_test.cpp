// The restarted program's command line and the targets handed to the shell.
#include "core/self_start_line.h"

#include <gtest/gtest.h>

namespace {

TEST(SelfStartLine, PathsStayOneArgument) {
    const struct {
        const wchar_t* argument;
        const wchar_t* quoted;
    } cases[] = {
        {L"C:\\Sotrix\\Sotrix.exe", L"C:\\Sotrix\\Sotrix.exe"},
        {L"C:\\Program Files\\Sotrix\\Sotrix.exe", L"\"C:\\Program Files\\Sotrix\\Sotrix.exe\""},
        {L"C:\\A & B\\x.exe", L"\"C:\\A & B\\x.exe\""},  // no shell reads it: "&" needs nothing more
        {L"a\"b", L"\"a\\\"b\""},
        {L"C:\\my dir\\", L"\"C:\\my dir\\\\\""},  // a closing backslash does not escape the quote
        {L"a\\\\\" b", L"\"a\\\\\\\\\\\" b\""},
        {L"", L"\"\""},
    };
    for (const auto& c : cases) EXPECT_EQ(command_line_argument(c.argument), c.quoted) << c.argument;
    EXPECT_EQ(self_start_command_line(L"D:\\Tools Dir\\Sotrix.exe"), L"\"D:\\Tools Dir\\Sotrix.exe\" restart norepair");
}

TEST(SelfStartLine, TheShellOpensOnlyAddressesAndFolders) {
    const struct {
        const wchar_t* target;
        bool allowed;
    } cases[] = {
        {L"https://sotrix.example/", true},
        {L"HTTP://sotrix.example/donate", true},
        {L"C:\\Users\\me\\AppData\\Roaming\\Brindale\\", true},
        {L"\\\\server\\share\\Sotrix\\", true},
        {L"https://", false},
        {L"https://a b", false},
        {L"file:///C:/Windows/System32/cmd.exe", false},
        {L"cmd.exe", false},
        {L"calc", false},
        {L"C:\\x\" & calc & \"", false},
        {L"C:\\x\r\ncalc", false},
        {L"\\\\?\\C:\\x", false},
        {L"\\\\.\\PhysicalDrive0", false},
        {L"Brindale\\", false},
        {L"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(shell_target_allowed(c.target), c.allowed) << c.target;
}

}  // namespace
