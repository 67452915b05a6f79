// The drive monitor on Wine's real drives: C: and Z: with their free space, and the watcher thread noting
// a change of free space when a large file is written to the C: drive.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cwctype>
#include <vector>

#include "drive_fake_platform.h"
#include "runtime/threads.h"
#include "runtime/wait_until.h"
#include "system/drive_rescan.h"

namespace {

DriveEntry drive_copy(int index) {
    std::lock_guard guard(DriveTableLock);
    return DriveTable[index];
}

// The real drives, as start-up sees them.
void real_startup() {
    drive_test_reset();
    shared_text_set(DRIVE_LETTERS, drive_letters_read(drive_platform_default()));
    shared_text_set(DRIVE_LETTERS_NEW, shared_text(DRIVE_LETTERS));
    drive_rescan_apply(drive_platform_default(), fake_ui());
    drive_filter_apply(fake_ui());
}

TEST(DriveMonitorWine, SeesCAndZWithTheirRealFreeSpace) {
    real_startup();
    const std::wstring letters = shared_text(DRIVE_LETTERS);
    ASSERT_NE(letters.find(L'C'), std::wstring::npos) << letters.size();
    ASSERT_NE(letters.find(L'Z'), std::wstring::npos);
    for (int index : {3, 26}) {
        const DriveEntry drive = drive_copy(index);
        ULARGE_INTEGER total{};
        ULARGE_INTEGER free{};
        ASSERT_TRUE(GetDiskFreeSpaceExW((drive.letter.str() + L":\\").c_str(), nullptr, &total, &free));
        EXPECT_EQ(CompactCells[index].shown, CELL_SHOWN) << index;
        EXPECT_NE(CompactCells[index].drive_row, 0) << index;
        EXPECT_EQ(drive.total_bytes, static_cast<int64_t>(total.QuadPart)) << index;
        EXPECT_GT(drive.free_bytes, 0) << index;
        // Free space moves with whatever else writes to the disk meanwhile; it stays near what Windows says.
        EXPECT_LT(std::llabs(drive.free_bytes - static_cast<int64_t>(free.QuadPart)), 1LL << 30) << index;
        EXPECT_EQ(drive.serial.view().size(), 9u) << index;
        EXPECT_FALSE(drive.file_system.empty()) << index;
    }
    const std::vector<std::wstring> notes = fake_notes(NOTE_STORAGE_MONITOR);
    auto has = [&notes](const std::wstring& start) {
        return std::any_of(notes.begin(), notes.end(),
                           [&](const std::wstring& line) { return line.rfind(start, 0) == 0; });
    };
    EXPECT_TRUE(has(L"C: found. VolSerial: "));
    EXPECT_TRUE(has(L"Z: found. VolSerial: "));
    EXPECT_TRUE(has(L"Total: "));
    EXPECT_NE(CompactCells[3].value_text.str().find(L'%'), std::wstring::npos);
    EXPECT_EQ(FakeUi.filter.items.size(), static_cast<std::size_t>(SharedInts[DRIVE_FILTER_ITEM_COUNT].load()));
}

void watcher_on_real_drives(int64_t) { drive_watcher_run(drive_platform_default(), fake_ui()); }

TEST(DriveMonitorWine, TheWatcherNotesAFileOf200MbOnC) {
    real_startup();
    FakeUi = FakeUiRecord{};
    SharedInts[OPT_LOG_DRIVE_SPACE] = 1;
    const int64_t thread = thread_create(watcher_on_real_drives, 0);
    ASSERT_GT(thread, 0);
    // The first round checks the space at once.
    ASSERT_TRUE(wait_until([] { return SharedInts[SPACE_CHECK_COUNTDOWN].load() > 0; })) << "no first round";

    wchar_t temp[MAX_PATH] = {};
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    ASSERT_EQ(std::towupper(temp[0]), L'C') << "the temporary folder lies on the C: drive";
    const std::wstring folder = std::wstring(temp) + L"sotrix_drive_test";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring path = folder + L"\\space.bin";
    constexpr int64_t FILE_BYTES = 200LL << 20;
    {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        std::vector<char> block(1 << 20, 'x');
        DWORD written = 0;
        bool ok = true;
        for (int i = 0; i < 200 && ok; ++i)
            ok = WriteFile(file, block.data(), 1 << 20, &written, nullptr) && written == 1u << 20;
        FlushFileBuffers(file);
        CloseHandle(file);
        ASSERT_TRUE(ok);
    }
    SharedInts[SPACE_CHECK_COUNTDOWN] = 0;
    // A round may look while the file is still being written, so the drop can come in more than one step:
    // the changes add up in the total.
    const bool noted = wait_until([] { return drive_copy(3).total_change <= -(150LL << 20); });
    const DriveEntry c = drive_copy(3);
    // The change pass follows in the next round.
    const bool passed = wait_until([] { return SharedInts[DRIVE_CHANGE_PENDING].load() == 0; });
    DeleteFileW(path.c_str());
    RemoveDirectoryW(folder.c_str());

    quit_flag_raise(1);
    // A round lasts 100 ms; the limit leaves room for a loaded machine.
    EXPECT_TRUE(thread_wait(thread, 3000)) << "the watcher went on after the quit flag";

    ASSERT_TRUE(noted) << "total change " << c.total_change << ", last " << c.last_change;
    ASSERT_TRUE(passed) << "the change pass did not follow";
    // Other writers on the same disk can add to the change, but not hide the 200 MB.
    EXPECT_LT(c.last_change, 0);
    EXPECT_GT(c.total_change, -(FILE_BYTES * 3));
    // The change was noted: a Drive ID row and a space line for C, and C queued for the title.
    const std::vector<std::wstring> rows = fake_notes(NOTE_DRIVE_ID);
    EXPECT_TRUE(
        std::any_of(rows.begin(), rows.end(), [](const std::wstring& row) { return row.rfind(L"C:\n", 0) == 0; }));
    const std::vector<std::wstring> log = fake_notes(NOTE_LOG);
    EXPECT_TRUE(
        std::any_of(log.begin(), log.end(), [](const std::wstring& line) { return line.rfind(L"C: ", 0) == 0; }));
    EXPECT_NE(shared_text(TITLE_DRIVE_QUEUE).find(L'C'), std::wstring::npos);
}

}  // namespace
