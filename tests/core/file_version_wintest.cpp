// Tests of the version resource reader and the special folders against the Windows (Wine) system files.
#include <gtest/gtest.h>

#include <regex>

#include "core/file_version.h"
#include "core/shell_folders.h"
#include "files_test_support.h"

namespace {

TEST(FileVersionWindows, SystemLibraryHasAProductVersionAndALanguage) {
    const std::wstring system = shell_folder_path(CSIDL_SYSTEM_FOLDER);
    ASSERT_FALSE(system.empty());
    const std::wstring version = file_version_field(system + L"kernel32.dll", 64);
    EXPECT_TRUE(std::regex_match(version, std::wregex(LR"(\d+(\.\d+)+.*)"))) << utf8_from_wide(version);
    EXPECT_FALSE(file_version_field(system + L"kernel32.dll", 4096).empty());
    EXPECT_EQ(file_version_field(system + L"kernel32.dll", 3), L"");
}

TEST(FileVersionWindows, FilesWithoutAVersionGiveTheEmptyText) {
    TempFolder temp;
    const std::wstring text = folder_text(temp.Path) + L"plain.txt";
    ASSERT_TRUE(file_write_bytes(text, "no resource here"));
    EXPECT_EQ(file_version_field(text, 64), L"");
    EXPECT_EQ(file_version_field(folder_text(temp.Path), 64), L"");
    EXPECT_EQ(file_version_field(folder_text(temp.Path) + L"missing.dll", 64), L"");
}

TEST(SpecialFolders, KnownFoldersEndWithABackslashAndUnknownOnesAreEmpty) {
    for (const int64_t csidl : {CSIDL_WINDOWS_FOLDER, CSIDL_SYSTEM_FOLDER, CSIDL_APPDATA_FOLDER}) {
        const std::wstring folder = shell_folder_path(csidl);
        ASSERT_FALSE(folder.empty()) << csidl;
        EXPECT_EQ(folder.back(), L'\\');
        EXPECT_TRUE(folder_exists(folder)) << utf8_from_wide(folder);
    }
    EXPECT_EQ(shell_folder_path(0x7F), L"");
    EXPECT_EQ(shell_folder_path(-1), L"");
}

}  // namespace
