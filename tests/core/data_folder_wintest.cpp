// The data-folder choice on real Windows drives: a program on another drive than the roaming folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <cwctype>

#include "files_test_support.h"

namespace {

class DataFolderDrives : public FilesTest {};

// Wine maps the Linux root to Z:, while the temporary folder lies on C:.
TEST_F(DataFolderDrives, ProgramOnAnotherDriveWithoutSettingsRunsPortable) {
    ASSERT_EQ(std::towupper(AppDataFolder[0]), L'C') << utf8_from_wide(AppDataFolder);
    const std::wstring other = L"Z:\\tmp\\sotrix-drive-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    ASSERT_TRUE(std::filesystem::create_directories(file_path(other)));
    {
        std::lock_guard guard(DataFilesLock);
        DataFiles[DATA_FILE_PROGRAM].folder = other;
    }
    const DataFolderChoice choice = data_folder_choose();
    EXPECT_TRUE(choice.portable);
    EXPECT_EQ(data_folder_path(), other);
    {
        std::lock_guard guard(DataFilesLock);
        EXPECT_EQ(DataFiles[DATA_FILE_LOG].folder, other);
    }
    // The same drive letter in lower case is the same drive.
    {
        std::lock_guard guard(DataFilesLock);
        DataFiles[DATA_FILE_PROGRAM].folder = L"c" + AppDataFolder.substr(1);
    }
    shared_text_set(APPDATA_FOLDER, AppDataFolder);
    shared_text_set(DATA_SUBFOLDER, L"Brindale");
    EXPECT_FALSE(data_folder_choose().portable);
    std::error_code ignored;
    std::filesystem::remove_all(file_path(other), ignored);
}

}  // namespace
