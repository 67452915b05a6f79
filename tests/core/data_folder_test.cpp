// Tests of the data folder: the portable-mode decision, the start-up choice on real folders, and its checks.
#include "core/data_folder.h"

#include <gtest/gtest.h>

#include "files_test_support.h"

namespace {

TEST(DataFolderDecision, FollowsTheFactsInOrder) {
    struct Case {
        const char* name;
        std::wstring program;
        std::wstring appdata;
        bool program_read;
        bool appdata_read;
        bool portable;
        SettingsSource source;
        bool log_in_program_folder;
        bool appdata_asked;
    };
    const Case cases[] = {
        {"settings beside the program", L"C:\\P\\", L"C:\\U\\Roaming\\", true, true, true, SETTINGS_SOURCE_PROGRAM,
         false, false},
        {"no roaming folder", L"C:\\P\\", L"", false, true, true, SETTINGS_SOURCE_NONE, true, false},
        {"per-user settings", L"D:\\P\\", L"C:\\U\\Roaming\\", false, true, false, SETTINGS_SOURCE_APPDATA, false,
         true},
        {"none, another drive", L"D:\\P\\", L"C:\\U\\Roaming\\", false, false, true, SETTINGS_SOURCE_NONE, true, true},
        {"none, same drive", L"C:\\P\\", L"C:\\U\\Roaming\\", false, false, false, SETTINGS_SOURCE_NONE, false, true},
        {"none, same drive in other case", L"c:\\P\\", L"C:\\U\\Roaming\\", false, false, false, SETTINGS_SOURCE_NONE,
         false, true},
        {"none, network path", L"\\\\server\\share\\P\\", L"C:\\U\\Roaming\\", false, false, true, SETTINGS_SOURCE_NONE,
         true, true},
        {"none, network roaming folder", L"C:\\P\\", L"\\\\server\\home\\Roaming\\", false, false, true,
         SETTINGS_SOURCE_NONE, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool asked = false;
        const DataFolderChoice choice = data_folder_decide(c.program, c.appdata, c.program_read, [&] {
            asked = true;
            return c.appdata_read;
        });
        EXPECT_EQ(choice.portable, c.portable);
        EXPECT_EQ(choice.settings_source, c.source);
        EXPECT_EQ(choice.log_folder_is_program_folder, c.log_in_program_folder);
        EXPECT_EQ(asked, c.appdata_asked);
        if (c.portable) {
            EXPECT_EQ(choice.appdata_folder, c.program.substr(0, c.program.size() - 1));
            EXPECT_EQ(choice.data_subfolder, L"");
            EXPECT_EQ(choice.data_folder, folder_with_separator(c.program));
        } else {
            EXPECT_EQ(choice.appdata_folder, c.appdata);
            EXPECT_EQ(choice.data_subfolder, L"Brindale");
            EXPECT_EQ(choice.data_folder, folder_with_separator(c.appdata + L"Brindale"));
        }
    }
}

TEST(DataFolderDecision, SeparatorsAndDrives) {
    EXPECT_EQ(folder_with_separator(L"C:\\A\\\\//"), std::wstring(L"C:\\A") + FOLDER_SEPARATOR);
    EXPECT_EQ(folder_with_separator(L""), L"");
    EXPECT_TRUE(same_drive(L"d:\\x", L"D:\\y"));
    EXPECT_FALSE(same_drive(L"D:\\x", L"C:\\y"));
    EXPECT_FALSE(same_drive(L"C", L"C"));
}

class DataFolderChoose : public FilesTest {
protected:
    void settings_write(const std::wstring& folder, const std::string& extra = {}) {
        std::filesystem::create_directories(file_path(folder));
        ASSERT_TRUE(file_write_bytes(folder + L"Sotrix.ini", "[Sotrix]\r\n" + extra));
    }

    static std::wstring folder_of(int entry) {
        std::lock_guard guard(DataFilesLock);
        return DataFiles[entry].folder;
    }
};

TEST_F(DataFolderChoose, SettingsBesideTheProgramWinAndMakeTheRunPortable) {
    settings_write(ProgramFolder, "EventLog = Beside\r\n");
    settings_write(DataFolder, "EventLog = PerUser\r\n");
    const DataFolderChoice choice = data_folder_choose();
    EXPECT_TRUE(choice.portable);
    EXPECT_EQ(SharedInts[PORTABLE_MODE].load(), 1);
    EXPECT_EQ(SharedInts[SETTINGS_FILE_PRESENT].load(), 1);
    EXPECT_EQ(shared_text(EVENTLOG_NAME), L"Beside");
    EXPECT_EQ(shared_text(APPDATA_FOLDER), ProgramFolder.substr(0, ProgramFolder.size() - 1));
    EXPECT_EQ(shared_text(DATA_SUBFOLDER), L"");
    EXPECT_EQ(data_folder_path(), ProgramFolder);
    for (const int entry : {DATA_FILE_SETTINGS, DATA_FILE_PING, DATA_FILE_SAGA})
        EXPECT_EQ(folder_of(entry), ProgramFolder);
    // Without a Logpath the portable run logs beside the program.
    EXPECT_EQ(folder_of(DATA_FILE_LOG), ProgramFolder);
    EXPECT_EQ(settings_file_path(), ProgramFolder + L"Sotrix.ini");
}

TEST_F(DataFolderChoose, PerUserSettingsAreReadWhenNoneLieBesideTheProgram) {
    settings_write(DataFolder, "EventLog = PerUser\r\n");
    const DataFolderChoice choice = data_folder_choose();
    EXPECT_FALSE(choice.portable);
    EXPECT_EQ(SharedInts[PORTABLE_MODE].load(), 0);
    EXPECT_EQ(SharedInts[SETTINGS_FILE_PRESENT].load(), 1);
    EXPECT_EQ(shared_text(EVENTLOG_NAME), L"PerUser");
    EXPECT_EQ(data_folder_path(), DataFolder);
    EXPECT_EQ(folder_of(DATA_FILE_SAGA), DataFolder);
    EXPECT_EQ(folder_of(DATA_FILE_LOG), DataFolder);
}

TEST_F(DataFolderChoose, NoSettingsOnTheSameDriveUsesThePerUserFolderAndCreatesNothing) {
    const DataFolderChoice choice = data_folder_choose();
    EXPECT_FALSE(choice.portable);
    EXPECT_EQ(SharedInts[SETTINGS_FILE_PRESENT].load(), 0);
    EXPECT_EQ(data_folder_path(), DataFolder);
    EXPECT_FALSE(folder_exists(DataFolder));
}

TEST_F(DataFolderChoose, UnknownRoamingFolderMakesTheRunPortable) {
    shared_text_set(APPDATA_FOLDER, L"");
    const DataFolderChoice choice = data_folder_choose();
    EXPECT_TRUE(choice.portable);
    EXPECT_EQ(data_folder_path(), ProgramFolder);
    EXPECT_EQ(folder_of(DATA_FILE_LOG), ProgramFolder);
}

TEST_F(DataFolderChoose, UnreadableSettingsBesideTheProgramStillMakeItPortable) {
    std::filesystem::create_directories(file_path(ProgramFolder));
    ASSERT_TRUE(file_write_bytes(ProgramFolder + L"Sotrix.ini", std::string("\x00\x01", 2)));
    const DataFolderChoice choice = data_folder_choose();
    EXPECT_TRUE(choice.portable);
    EXPECT_TRUE(file_exists(file_path(ProgramFolder + L"Sotrix.ini.bad")));
    EXPECT_TRUE(system_event_contains(L"could not be read"));
}

TEST_F(DataFolderChoose, EnsureCreatesOneLevelOnly) {
    EXPECT_EQ(data_folder_ensure(L"Brindale  \\"), 1);
    EXPECT_TRUE(folder_exists(DataFolder));
    EXPECT_EQ(data_folder_ensure(L"Brindale"), 1);
    shared_text_set(APPDATA_FOLDER, folder_text(Temp.Path / "missing"));
    EXPECT_EQ(data_folder_ensure(L"Brindale"), 0);
    EXPECT_FALSE(folder_exists(folder_text(Temp.Path / "missing")));
}

TEST_F(DataFolderChoose, WriteTestLeavesNothingBehind) {
    EXPECT_EQ(folder_write_test(ProgramFolder), 1);
    EXPECT_FALSE(file_exists(file_path(ProgramFolder + L"Sotrix.tmp")));
    ASSERT_TRUE(file_write_bytes(ProgramFolder + L"Sotrix.tmp", "old"));
    EXPECT_EQ(folder_write_test(ProgramFolder), 1);
    EXPECT_FALSE(file_exists(file_path(ProgramFolder + L"Sotrix.tmp")));

    ASSERT_TRUE(file_write_bytes(ProgramFolder + L"file", "x"));
    EXPECT_EQ(folder_write_test(ProgramFolder + L"file" + FOLDER_SEPARATOR), 0);
    EXPECT_EQ(folder_write_test(folder_text(Temp.Path / "missing")), 0);
    EXPECT_EQ(folder_write_test(L""), 0);
}

}  // namespace

namespace {

class StoreTemporaries : public FilesTest {};

TEST_F(StoreTemporaries, OnlyTheLeftoversOfKilledSavesOfThatStoreAreRemoved) {
    const std::vector<std::pair<std::wstring, bool>> files = {
        {L"Sotrix.ini", true},        {L"Sotrix.ini.123-4.tmp", false}, {L"Sotrix.ini.bak.9-1.tmp", false},
        {L"Sotrix.ini.bak", true},    {L"Sotrix.ini.notes.tmp", true},  {L"Sotrix.ini.1-2-3.tmp", true},
        {L"Other.ini.1-1.tmp", true}, {L"Sotrix.ini.-1.tmp", true},
    };
    for (const auto& [name, kept] : files) ASSERT_TRUE(file_write_bytes(ProgramFolder + name, "x"));
    store_temporaries_remove(ProgramFolder + L"Sotrix.ini");
    for (const auto& [name, kept] : files)
        EXPECT_EQ(file_exists(file_path(ProgramFolder + name)), kept) << utf8_from_wide(name);
}

}  // namespace
