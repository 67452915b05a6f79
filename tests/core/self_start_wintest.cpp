// Starting the program again: a program that cannot be started is reported, never taken for a new instance.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "core/self_start_line.h"

namespace {

TEST(SelfStart, AProgramThatCannotStartIsReportedAsNotStarted) {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring missing = std::wstring(folder) + L"sotrix no such folder\\Sotrix.exe";
    EXPECT_FALSE(program_start_again(missing, false, SW_HIDE)) << "a missing program counts as started";
    EXPECT_FALSE(program_start_again(L"", false, SW_HIDE)) << "no path counts as started";
}

TEST(SelfStart, TheOwnProgramIsTheRunningExecutable) {
    const std::wstring path = own_program_path();
    ASSERT_FALSE(path.empty());
    EXPECT_NE(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES) << "no such file";
    EXPECT_EQ(path.substr(path.size() - 4), L".exe");
}

}  // namespace
