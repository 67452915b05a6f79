// Drive cell texts with their low-space colours, the fixed-drive summary, and the drive filter's items.
#include <gtest/gtest.h>

#include "drive_fake_platform.h"
#include "system/drive_cell_text.h"

namespace {

constexpr int64_t GB = 1'073'741'824;

int32_t palette(int index) { return static_cast<int32_t>(Palette[index]); }

DriveWork shown_drives() {
    DriveWork work{};
    for (int i = 1; i <= 26; ++i) {
        work.drives[i].letter = std::wstring(1, static_cast<wchar_t>(L'A' + i - 1));
        work.drives[i].drive_name = work.drives[i].letter.str() + L":";
        work.drives[i].separator = L":";
        work.drives[i].serial = L"1111-2222";
    }
    return work;
}

TEST(DriveCellText, ValuesByKindOfDrive) {
    drive_test_reset();
    struct Case {
        const char* name;
        int type;
        const wchar_t* serial;
        const wchar_t* volume;
        int64_t total;
        int64_t free;
        int fade;
        int64_t last_change;
        int64_t total_change;
        int32_t tracks;
        const wchar_t* value;
    };
    const Case cases[] = {
        {"empty card reader", 2, L"0000-0000", L"No Media / Blank", 0, 0, 0, 0, 0, 0, L"E: ()No Media / Blank    0.0!"},
        {"audio CD", 5, L"0A0B-0C0D", L"Audio: 12 Tracks", 0, 0, 0, 0, 0, 12, L"E: ()Audio: 12 Tracks    63:5"},
        {"data DVD", 5, L"0A0B-0C0D", L"DVD_VIDEO", 8 * GB, 0, 0, 0, 0, 0, L"E: ()DVD_VIDEO           0.0!"},
        {"long label cut", 2, L"0000-0000", L"A label far longer than sixteen", 0, 0, 0, 0, 0, 0,
         L"E: ()A label far long    0.0!"},
        {"quiet drive", 3, L"1111-2222", L"Data", 100 * GB, 40 * GB, 0, 0, 0, 0, L"E: 40%   40.0G    --    60.0G"},
        {"since the reset", 3, L"1111-2222", L"Data", 100 * GB, 40 * GB, 0, 0, -2 * GB, 0,
         L"E: 40%   40.0G -2048M   60.0G"},
        {"space just used", 3, L"1111-2222", L"Data", 100 * GB, 40 * GB, PALETTE_RED, -1'048'576, 0, 0,
         L"E: 40%   40.0G -1024K   60.0G"},
        {"space just freed", 3, L"1111-2222", L"Data", 100 * GB, 40 * GB, PALETTE_DARK_GREEN, 4096, 0, 0,
         L"E: 40%   40.0G +4096B   60.0G"},
        {"new drive", 2, L"1111-2222", L"Stick", 100 * GB, 40 * GB, PALETTE_CYAN, 0, 0, 0,
         L"E: 40%   40.0G -NEW!-   60.0G"},
        {"medium changed", 2, L"1111-2222", L"Stick", 100 * GB, 40 * GB, PALETTE_SILVER, 0, 0, 0,
         L"E: 40%   40.0G -LOST-   60.0G"},
        {"other fade", 2, L"1111-2222", L"Stick", 100 * GB, 40 * GB, 5, 0, 0, 0, L"E: 40%   40.0G   60.0G"},
        {"no size", 3, L"1111-2222", L"Data", 0, 0, 0, 0, 0, 0, L"E:  0%    0.0!    --     0.0!"},
    };
    for (const auto& c : cases) {
        DriveWork work = shown_drives();
        DriveEntry& drive = work.drives[5];
        drive.drive_type = c.type;
        drive.serial = c.serial;
        drive.volume_name = c.volume;
        drive.total_bytes = c.total;
        drive.free_bytes = c.free;
        drive.fade_index = c.fade;
        drive.last_change = c.last_change;
        drive.total_change = c.total_change;
        drive.cd_tracks = c.tracks;
        drive.cd_seconds = 63 * 60 + 5;
        EXPECT_EQ(drive_line_text(work, 5), c.value) << c.name;
    }
}

TEST(DriveCellText, NetworkDriveWithoutVolumeShowsItsPathInMagenta) {
    drive_test_reset();
    DriveWork work = shown_drives();
    work.drives[14].drive_type = 4;
    work.drives[14].separator = L"$";
    work.drives[14].device_text = L"ERROR_NOT_CONNECTED";
    EXPECT_EQ(drive_line_text(work, 14), L"N$ ERROR_NOT_CONNECTED       ");
    EXPECT_EQ(work.cells[14].text_color, palette(PALETTE_MAGENTA));
}

TEST(DriveCellText, LowSpaceColoursOnlyWhileNoHighlightShows) {
    drive_test_reset();
    struct Case {
        int64_t free_percent;
        int32_t color_before;
        int32_t color_after;
    };
    const Case cases[] = {
        {3, palette(PALETTE_SILVER), palette(PALETTE_RED)},     {4, palette(PALETTE_BLACK), palette(PALETTE_RED)},
        {5, palette(PALETTE_SILVER), palette(PALETTE_YELLOW)},  {9, palette(PALETTE_SILVER), palette(PALETTE_YELLOW)},
        {10, palette(PALETTE_SILVER), palette(PALETTE_SILVER)}, {50, palette(PALETTE_RED), palette(PALETTE_RED)},
        {3, palette(PALETTE_WHITE), palette(PALETTE_WHITE)},
    };
    for (const auto& c : cases) {
        DriveWork work = shown_drives();
        work.drives[3].drive_type = 3;
        work.drives[3].total_bytes = 100 * GB;
        work.drives[3].free_bytes = c.free_percent * GB;
        work.cells[3].text_color = c.color_before;
        drive_line_text(work, 3);
        EXPECT_EQ(work.drives[3].free_percent, c.free_percent);
        EXPECT_EQ(work.cells[3].text_color, c.color_after) << c.free_percent;
    }
}

TEST(DriveCellText, LabelsMakeRoomForAliasesAndTheErrorMarker) {
    drive_test_reset();
    DriveWork work = shown_drives();
    work.drives[3].drive_type = 3;
    work.drives[3].alias_letters = L"X";
    work.drives[3].error_count = 1;
    work.drives[4].drive_type = 3;
    SharedInts[DRIVE_TEXT_WIDTH] = 3;
    EXPECT_EQ(drive_line_text(work, 3).substr(0, 5), L"\u203C CX:");
    EXPECT_EQ(drive_line_text(work, 4).substr(0, 5), L"   D:");
    EXPECT_EQ(drive_line_text(work, 0).substr(0, 5), L"=====");
}

TEST(DriveCellText, TheSummaryAddsTheShownFixedVolumesOnce) {
    drive_test_reset();
    DriveWork work = shown_drives();
    auto fixed = [&work](int i, int64_t total, int64_t free, int64_t change) {
        work.drives[i].drive_type = 3;
        work.drives[i].total_bytes = total;
        work.drives[i].free_bytes = free;
        work.drives[i].total_change = change;
        work.cells[i].shown = CELL_SHOWN;
    };
    fixed(3, 100 * GB, 40 * GB, -GB);
    fixed(4, 200 * GB, 20 * GB, 0);
    fixed(24, 100 * GB, 40 * GB, -GB);  // X, a SUBST letter of C
    work.drives[24].alias_of = 3;
    fixed(5, 50 * GB, 50 * GB, 0);  // lost: not counted
    work.cells[5].shown = CELL_LOST;
    work.drives[6].drive_type = 2;  // removable: not counted
    work.drives[6].total_bytes = 8 * GB;
    work.cells[6].shown = CELL_SHOWN;
    work.cells[0].text_color = palette(PALETTE_SILVER);
    EXPECT_EQ(drive_line_text(work, 0), L"== 20%   60.0G -1024M  240.0G");
    EXPECT_EQ(work.drives[0].total_bytes, 300 * GB);
    EXPECT_EQ(work.drives[0].free_bytes, 60 * GB);
    EXPECT_EQ(work.drives[0].total_change, -GB);
    EXPECT_EQ(work.cells[0].text_color, palette(PALETTE_SILVER));
}

TEST(DriveFilter, ItemsDescribeEachPlacedDriveAndKeepTheChoice) {
    drive_test_reset();
    FakeDrive stick;
    stick.letter = L'E';
    stick.type = 2;
    stick.serial = 0x0E0E0E0E;
    stick.label = L"STICK";
    stick.device_number = 2;
    stick.partition_number = 1;
    stick.style = 0;
    FakeDrive share;
    share.letter = L'N';
    share.type = 4;
    share.serial = 0x0F0F0F0F;
    share.label = L"share";
    share.remote = L"\\\\nas\\share";
    FakeDrives = {FakeDrive{}, stick, share};
    fake_rescan();
    const std::vector<std::wstring> items = {
        L"Show ALL Active Drives",
        L"Filter C:  953.7M (1A2B-3C4D) Local     System           GPT 0:2 ATA FAST SSD 1TB",
        L"Filter E:  953.7M (0E0E-0E0E) Removable STICK            MBR 2:1 ATA FAST SSD 1TB",
        L"Filter N:  953.7M (0F0F-0F0F) Remote    share            \\\\nas\\share",
    };
    EXPECT_EQ(FakeUi.filter.items, items);
    EXPECT_EQ(FakeUi.filter.selected, 0);
    EXPECT_EQ(shared_text(DRIVE_FILTER_LETTERS), L"CEN");
    EXPECT_EQ(SharedInts[DRIVE_FILTER_ITEM_COUNT].load(), 4);
    EXPECT_EQ(SharedInts[DRIVE_FILTER_INDEX].load(), -1);
    // The placed cells got their texts on the way (no highlight at the first rescan of a run).
    EXPECT_EQ(CompactCells[5].value_text.str(), L"E: 25%  238.4M    --   715.3M");

    // The user picks E (item 2); a rebuild selects it again.
    SharedInts[DRIVE_FILTER_ITEM] = 2;
    SharedInts[DRIVE_FILTER_INDEX] = 5;
    shared_text_set(DRIVE_FILTER_SERIAL, L"0E0E-0E0E");
    fake_rescan();
    EXPECT_EQ(FakeUi.filter.selected, 2);
    EXPECT_EQ(SharedInts[DRIVE_FILTER_INDEX].load(), 5);

    // The stick comes back as F: found by its serial wherever its item now stands.
    FakeDrives[1].letter = L'F';
    fake_rescan();
    EXPECT_EQ(shared_text(DRIVE_FILTER_LETTERS), L"CFN");
    EXPECT_EQ(FakeUi.filter.selected, 2);
    EXPECT_EQ(SharedInts[DRIVE_FILTER_ITEM].load(), 2);
    EXPECT_EQ(SharedInts[DRIVE_FILTER_INDEX].load(), 6);

    // Gone altogether: back to all drives.
    FakeDrives.erase(FakeDrives.begin() + 1);
    fake_rescan();
    EXPECT_EQ(FakeUi.filter.selected, 0);
    EXPECT_EQ(SharedInts[DRIVE_FILTER_ITEM].load(), 0);
    EXPECT_EQ(SharedInts[DRIVE_FILTER_INDEX].load(), -1);
    EXPECT_EQ(FakeUi.filter.items.size(), 3u);
}

TEST(DriveFilter, WhenIndexAndSerialNameDifferentDrivesTheLaterLetterWins) {
    drive_test_reset();
    FakeDrive d;
    d.letter = L'D';
    d.serial = 0xDDDD;
    FakeDrive e;
    e.letter = L'E';
    e.serial = 0xEEEE;
    FakeDrives = {d, e};
    fake_rescan();
    SharedInts[DRIVE_FILTER_INDEX] = 4;
    shared_text_set(DRIVE_FILTER_SERIAL, L"0000-EEEE");
    fake_rescan();
    EXPECT_EQ(SharedInts[DRIVE_FILTER_INDEX].load(), 5);
    EXPECT_EQ(FakeUi.filter.selected, 2);
    SharedInts[DRIVE_FILTER_INDEX] = 5;
    shared_text_set(DRIVE_FILTER_SERIAL, L"0000-DDDD");
    fake_rescan();
    EXPECT_EQ(SharedInts[DRIVE_FILTER_INDEX].load(), 5);
}

}  // namespace
