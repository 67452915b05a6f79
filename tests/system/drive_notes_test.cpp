// The drive monitor's lines as they land in the Storage Monitor and Drive ID lists: blocks written
// bottom-up, so that each reads top-down under its numbered separator.
#include <gtest/gtest.h>

#include "core/control_numbers.h"
#include "drive_fake_platform.h"
#include "runtime/list_model.h"

namespace {

TEST(DriveNotes, AFoundBlockReadsTopDownUnderItsSeparator) {
    drive_test_reset();
    list_rows_clear(LIST_STORAGE_MONITOR);
    list_rows_clear(LIST_DRIVE_ID);
    DriveUi ui = fake_ui();
    ui.notes_post = drive_notes_post;
    FakeDrives = {FakeDrive{}};
    shared_text_set(DRIVE_LETTERS, L"C");
    drive_rescan_apply(fake_platform(), ui);

    const std::vector<std::wstring> rows = list_rows_copy(LIST_STORAGE_MONITOR);
    ASSERT_EQ(rows.size(), 9u);
    EXPECT_EQ(rows[0], L"");
    EXPECT_EQ(rows[1].substr(0, 9), L"-- #0001 ");
    EXPECT_EQ(rows[1].size(), 28u);  // "-- #0001 yyyy-mm-dd hh:ii:ss"
    const std::vector<std::wstring> block(rows.begin() + 2, rows.end());
    const std::vector<std::wstring> expected = {
        L"C: found. VolSerial: 1A2B-3C4D", L"Fixed Drive NTFS-255 GPT 0:2",  L"Vol: System",
        L"Mfg: ATA FAST SSD 1TB",          L"Total: 1,000,000,000 (953.7M)", L" Free:   250,000,000 (238.4M)",
        L" Used:   750,000,000 (715.3M)",
    };
    EXPECT_EQ(block, expected);

    // A second block goes on top with the next number.
    FakeDrive stick;
    stick.letter = L'E';
    stick.type = 2;
    stick.readable = false;
    FakeDrives.push_back(stick);
    shared_text_set(DRIVE_LETTERS, L"CE");
    drive_rescan_apply(fake_platform(), ui);
    EXPECT_EQ(list_row(LIST_STORAGE_MONITOR, 1).substr(0, 9), L"-- #0002 ");
    EXPECT_EQ(list_row(LIST_STORAGE_MONITOR, 2), L"E: found. VolSerial: 0000-0000");
    EXPECT_EQ(list_row(LIST_STORAGE_MONITOR, 3), L"Vol: No Media / Blank");
    EXPECT_EQ(list_row(LIST_STORAGE_MONITOR, 4), L"");
    EXPECT_EQ(list_rows_count(LIST_STORAGE_MONITOR), 9 + 4);

    // The Drive ID row of the new drive, time-stamped, with its columns.
    DriveWatcherState state;
    SharedInts[DRIVE_SET_COUNTDOWN] = 100;
    SharedInts[SPACE_CHECK_COUNTDOWN] = 100;
    drive_watcher_round(state, fake_platform(), ui);
    ASSERT_EQ(list_rows_count(LIST_DRIVE_ID), 1);
    const std::wstring row = list_row(LIST_DRIVE_ID, 0);
    EXPECT_EQ(row.substr(15), L" - E:\n0%  0.0!\n0.0!\n0.0!\n100%  0.0!");
}

}  // namespace
