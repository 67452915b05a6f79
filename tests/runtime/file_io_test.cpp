// Tests of whole-file reading, crash-safe replacement with backups, and setting unreadable files aside.
#include "runtime/file_io.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <fstream>

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

std::string read_plain(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_plain(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

}  // namespace

TEST(FileIo, WriteReplaceAndKeepBackups) {
    TempFolder folder;
    const auto target = folder.file(L"SX-Ping.json");
    const auto backup = folder.file(L"SX-Ping.json.bak");

    ASSERT_TRUE(file_write_atomic(target, "first", true));  // nothing to back up yet
    EXPECT_EQ(read_plain(target), "first");
    EXPECT_FALSE(file_exists(backup));

    ASSERT_TRUE(file_write_atomic(target, "second", false));
    EXPECT_EQ(read_plain(target), "second");
    EXPECT_FALSE(file_exists(backup));

    ASSERT_TRUE(file_write_atomic(target, "third", true));
    EXPECT_EQ(read_plain(target), "third");
    EXPECT_EQ(read_plain(backup), "second");

    ASSERT_TRUE(file_write_atomic(target, "", true));  // an older backup is replaced
    EXPECT_EQ(read_plain(target), "");
    EXPECT_EQ(read_plain(backup), "third");

    EXPECT_EQ(folder.entry_count(), 2u);  // no temporary file is left behind
}

TEST(FileIo, BinaryContentAndNonAsciiNamesSurvive) {
    TempFolder folder;
    const auto target = folder.file(L"Gr\u00f6\u00dfe \u20ac.ini");
    std::string bytes;
    for (int i = 0; i < 3 * 65536 + 17; ++i) bytes += static_cast<char>(i * 7 % 256);
    ASSERT_TRUE(file_write_atomic(target, bytes, false));
    EXPECT_TRUE(file_exists(target));
    std::string back;
    ASSERT_TRUE(file_read_all(target, back, bytes.size()));
    EXPECT_EQ(back, bytes);
}

TEST(FileIo, FailedWritesLeaveTheOldFile) {
    TempFolder folder;
    // A folder that does not exist: nothing is created.
    EXPECT_FALSE(file_write_atomic(folder.file(L"missing") / L"Sotrix.ini", "data", false));
    EXPECT_FALSE(std::filesystem::exists(folder.file(L"missing")));

    // A target that is a folder is not replaced.
    std::filesystem::create_directory(folder.file(L"folder"));
    EXPECT_FALSE(file_write_atomic(folder.file(L"folder"), "data", false));
    EXPECT_TRUE(std::filesystem::is_directory(folder.file(L"folder")));

    // A backup that cannot be made stops the save before the old file is touched.
    const auto target = folder.file(L"SX-Saga.json");
    write_plain(target, "old");
    std::filesystem::create_directories(folder.file(L"SX-Saga.json.bak") / L"inside");
    EXPECT_FALSE(file_write_atomic(target, "new", true));
    EXPECT_EQ(read_plain(target), "old");

    EXPECT_FALSE(file_write_atomic(std::filesystem::path(), "data", false));
    EXPECT_EQ(folder.entry_count(), 3u);  // folder, SX-Saga.json and its blocked .bak: no temporaries
}

TEST(FileIo, ReadFailuresAreReportedAndLeaveTheOutput) {
    TempFolder folder;
    write_plain(folder.file(L"hundred"), std::string(100, 'x'));
    std::filesystem::create_directory(folder.file(L"folder"));
    struct Case {
        std::filesystem::path path;
        size_t max_bytes;
        FileError error;
    };
    const Case cases[] = {
        {folder.file(L"missing.ini"), 1000, FILE_MISSING},
        {folder.file(L"missing") / L"inside.ini", 1000, FILE_MISSING},
        {folder.file(L"hundred"), 99, FILE_TOO_LARGE},
        {folder.file(L"hundred"), 0, FILE_TOO_LARGE},
        {folder.file(L"folder"), 1000, FILE_UNREADABLE},
    };
    for (const Case& c : cases) {
        std::string bytes = "untouched";
        FileError error = FILE_OK;
        EXPECT_FALSE(file_read_all(c.path, bytes, c.max_bytes, &error)) << c.path;
        EXPECT_EQ(error, c.error) << c.path;
        EXPECT_EQ(bytes, "untouched");
    }
    std::string bytes;
    FileError error = FILE_MISSING;
    EXPECT_TRUE(file_read_all(folder.file(L"hundred"), bytes, 100, &error));
    EXPECT_EQ(error, FILE_OK);
    EXPECT_EQ(bytes, std::string(100, 'x'));
}

TEST(FileIo, SetAsideNeverReplacesAnEarlierFile) {
    TempFolder folder;
    const auto target = folder.file(L"Sotrix.ini");
    std::filesystem::path moved;
    EXPECT_FALSE(file_set_aside(target, &moved));

    write_plain(target, "one");
    ASSERT_TRUE(file_set_aside(target, &moved));
    EXPECT_EQ(moved, folder.file(L"Sotrix.ini.bad"));
    EXPECT_FALSE(file_exists(target));

    write_plain(target, "two");
    ASSERT_TRUE(file_set_aside(target, &moved));
    EXPECT_EQ(moved, folder.file(L"Sotrix.ini.bad2"));

    write_plain(target, "three");
    ASSERT_TRUE(file_set_aside(target));
    EXPECT_EQ(read_plain(folder.file(L"Sotrix.ini.bad")), "one");
    EXPECT_EQ(read_plain(folder.file(L"Sotrix.ini.bad2")), "two");
    EXPECT_EQ(read_plain(folder.file(L"Sotrix.ini.bad3")), "three");
}

TEST(FileIo, Exists) {
    TempFolder folder;
    write_plain(folder.file(L"file"), "x");
    EXPECT_TRUE(file_exists(folder.file(L"file")));
    EXPECT_FALSE(file_exists(folder.file(L"other")));
    EXPECT_FALSE(file_exists(folder.Path));
    EXPECT_EQ(file_backup_path(folder.file(L"a.json")), folder.file(L"a.json.bak"));
}

namespace {

// A temporary left behind by a killed save of an earlier process with the same id must not block saving.
TEST(FileIo, LeftoverTemporariesDoNotBlockTheSave) {
    TempFolder folder;
    const std::filesystem::path target = folder.Path / "store.json";
    ASSERT_TRUE(file_write_atomic(target, "old", true));
#if defined(_WIN32)
    const std::string pid = std::to_string(GetCurrentProcessId());
#else
    const std::string pid = std::to_string(::getpid());
#endif
    // Leftovers of killed saves of earlier runs under the same process id.
    for (int i = 1; i <= 400; ++i) {
        for (const char* base : {"store.json.", "store.json.bak."}) {
            write_plain(folder.Path / (base + pid + "-" + std::to_string(i) + ".tmp"), "x");
        }
    }
    for (int save = 0; save < 8; ++save) EXPECT_TRUE(file_write_atomic(target, "new" + std::to_string(save), true));
    EXPECT_EQ(read_plain(target), "new7");
    EXPECT_EQ(read_plain(folder.Path / "store.json.bak"), "new6");
}

}  // namespace
