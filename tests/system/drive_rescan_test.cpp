// The drive rescan's decisions on a made-up machine: drives found, lost, in error, aliases, network
// paths, audio CDs, the order of the drive cells and the exact lines it reports.
#include <gtest/gtest.h>

#include "drive_fake_platform.h"
#include "runtime/date.h"
#include "system/drive_rescan.h"

namespace {

using Lines = std::vector<std::wstring>;

DriveEntry drive_copy(int index) {
    std::lock_guard guard(DriveTableLock);
    return DriveTable[index];
}

FakeDrive fixed_drive(wchar_t letter, uint32_t serial, std::wstring label) {
    FakeDrive drive;
    drive.letter = letter;
    drive.serial = serial;
    drive.label = std::move(label);
    return drive;
}

TEST(DriveLetters, RootsBecomeLettersAndOldWindowsDropsTheFloppies) {
    struct Case {
        std::vector<std::wstring> roots;
        int build;
        const wchar_t* letters;
    };
    const Case cases[] = {
        {{L"A:\\", L"C:\\", L"D:\\", L"Z:\\"}, 19045, L"ACDZ"},
        {{L"A:\\", L"B:\\", L"C:\\"}, 1503, L"C"},
        {{L"B:\\", L"C:\\"}, 0, L"C"},
        {{L"c:\\", L"", L"1:\\", L"C:\\"}, 19045, L"C"},
        {{}, 19045, L""},
    };
    for (const auto& c : cases) EXPECT_EQ(drive_letters_from_roots(c.roots, c.build), c.letters);

    drive_test_reset();
    FakeDrives = {fixed_drive(L'C', 1, L"a"), fixed_drive(L'Z', 2, L"b")};
    EXPECT_EQ(drive_letters_read(fake_platform()), L"CZ");
    FakeRootsReadable = false;
    EXPECT_EQ(drive_letters_read(fake_platform()), L"CDEFGHIJKLMNOPQRSTUVWXYZ");
    quit_flag_raise(1);
    EXPECT_EQ(drive_letters_read(fake_platform()), L"");
}

TEST(DriveRescan, StartUpWritesAFoundBlockPerDriveAndPlacesTheSummaryAfterTheFixedDrives) {
    drive_test_reset();
    FakeDrive d = fixed_drive(L'D', 0xABCD, L"Data");
    d.device_number = 1;
    d.partition_number = 1;
    d.style = 0;
    d.vendor = "WDC";
    d.product = "WD40EFRX";
    d.total = 4'000'000'000'000;
    d.free = 0;
    FakeDrive z;
    z.letter = L'Z';
    z.type = 4;
    z.serial = 0x00C0FFEE;
    z.label = L"share";
    z.remote = L"\\\\server\\share";
    FakeDrives = {fixed_drive(L'C', 0x1A2B3C4D, L"System"), d, z};
    fake_rescan();

    const Lines expected = {
        L" Used:   750,000,000 (715.3M)",
        L" Free:   250,000,000 (238.4M)",
        L"Total: 1,000,000,000 (953.7M)",
        L"Mfg: ATA FAST SSD 1TB",
        L"Vol: System",
        L"Fixed Drive NTFS-255 GPT 0:2",
        L"C: found. VolSerial: 1A2B-3C4D",
        L"--",
        // D has no free space: no space lines.
        L"Mfg: WDC WD40EFRX",
        L"Vol: Data",
        L"Fixed Drive NTFS-255 MBR 1:1",
        L"D: found. VolSerial: 0000-ABCD",
        L"--",
        L" Used:   750,000,000 (715.3M)",
        L" Free:   250,000,000 (238.4M)",
        L"Total: 1,000,000,000 (953.7M)",
        L"Dir: \\\\server\\share",
        L"Vol: share",
        L"Remote/Network NTFS-127",
        L"Z: found. VolSerial: 00C0-FFEE",
        L"--",
    };
    EXPECT_EQ(fake_notes(NOTE_STORAGE_MONITOR), expected);
    const Lines log = {
        L"C+ 1A2B-3C4D 250000000 1000000000 System",
        L"D+ 0000-ABCD 0 4000000000000 Data",
        L"Z+ 00C0-FFEE 250000000 1000000000 share",
    };
    EXPECT_EQ(fake_notes(NOTE_LOG), log);

    // Rows: fixed drives, the summary (two fixed drives), then the network drive. Nothing is highlighted
    // at start-up, and a network drive's disk is not asked.
    EXPECT_EQ(CompactCells[3].drive_row, 1);
    EXPECT_EQ(CompactCells[4].drive_row, 2);
    EXPECT_EQ(CompactCells[0].drive_row, 3);
    EXPECT_EQ(CompactCells[0].shown, CELL_SHOWN);
    EXPECT_EQ(CompactCells[26].drive_row, 4);
    EXPECT_EQ(SharedInts[DRIVE_ROW_COUNT].load(), 4);
    EXPECT_EQ(SharedInts[FIXED_DRIVE_COUNT].load(), 2);
    EXPECT_EQ(SharedInts[DRIVE_CHANGE_PENDING].load(), 0);
    EXPECT_EQ(FakeDiskQueries, 2);
    for (int i : {3, 4, 26}) {
        EXPECT_EQ(CompactCells[i].shown, CELL_SHOWN) << i;
        EXPECT_EQ(CompactCells[i].back_color, 0) << i;
        EXPECT_EQ(drive_copy(i).fade_index, 0) << i;
    }
    EXPECT_EQ(drive_copy(0).drive_name.str(), L"==");
    EXPECT_EQ(drive_copy(26).separator.str(), L"$");
    EXPECT_EQ(drive_copy(26).tag.str(), L"Z$");
    EXPECT_EQ(drive_copy(26).device_number, -1);
    EXPECT_EQ(drive_copy(4).device_partition.str(), L"1:1");
    EXPECT_EQ(drive_copy(3).partition_style.str(), L"GPT");
    EXPECT_EQ(SharedQuads[DRIVE_RESCAN_COUNT].load(), 1);

    // Only C fixed: no summary row.
    FakeDrives = {fixed_drive(L'C', 0x1A2B3C4D, L"System")};
    fake_rescan();
    EXPECT_EQ(CompactCells[0].shown, CELL_HIDDEN);
    EXPECT_EQ(CompactCells[0].drive_row, 0);
    EXPECT_EQ(CompactCells[3].drive_row, 1);
}

TEST(DriveRescan, ADriveThatAppearsIsHighlightedAndOneThatGoesIsLostWithItsLastValues) {
    drive_test_reset();
    FakeDrives = {fixed_drive(L'C', 0x1A2B3C4D, L"System"), fixed_drive(L'D', 0x11112222, L"Data")};
    fake_rescan();
    FakeUi.notes.clear();

    FakeDrive e;
    e.letter = L'E';
    e.type = 2;
    e.serial = 0x0E0E0E0E;
    e.label = L"USB STICK";
    e.file_system = L"FAT32";
    e.device_number = 2;
    e.partition_number = 1;
    e.style = 0;
    e.vendor = "Generic";
    e.product = "Flash Disk";
    FakeDrives.push_back(e);
    const Date before = date_now();
    fake_rescan();

    const Lines found = {
        L" Used:   750,000,000 (715.3M)",
        L" Free:   250,000,000 (238.4M)",
        L"Total: 1,000,000,000 (953.7M)",
        L"Mfg: Generic Flash Disk",
        L"Vol: USB STICK",
        L"Removable Media FAT32-255 MBR 2:1",
        L"E: found. VolSerial: 0E0E-0E0E",
        L"--",
    };
    EXPECT_EQ(fake_notes(NOTE_STORAGE_MONITOR), found);
    EXPECT_EQ(fake_notes(NOTE_LOG), Lines{L"E+ 0E0E-0E0E 250000000 1000000000 USB STICK"});
    EXPECT_EQ(CompactCells[5].text_color, static_cast<int32_t>(Palette[PALETTE_WHITE]));
    EXPECT_EQ(CompactCells[5].back_color, static_cast<int32_t>(Palette[PALETTE_CYAN]));
    EXPECT_EQ(drive_copy(5).fade_index, PALETTE_CYAN);
    EXPECT_EQ(drive_copy(5).highlight_rounds, 3);
    EXPECT_GE(drive_copy(5).found_date, before);
    EXPECT_EQ(SharedInts[DRIVE_CHANGE_PENDING].load(), 1);
    // After the fixed drives and the summary.
    EXPECT_EQ(CompactCells[0].drive_row, 3);
    EXPECT_EQ(CompactCells[5].drive_row, 4);
    // The drives that were there keep silver on black.
    EXPECT_EQ(CompactCells[3].text_color, static_cast<int32_t>(Palette[PALETTE_SILVER]));

    // E goes: the lost block repeats its last values, the record forgets the volume and the disk.
    FakeUi.notes.clear();
    {
        std::lock_guard guard(DriveTableLock);
        DriveTable[5].error_count = 2;
        DriveTable[5].error_until = before + 1000;
    }
    FakeDrives.pop_back();
    fake_rescan();
    Lines lost = found;
    lost[6] = L"E: lost. VolSerial: 0E0E-0E0E";
    EXPECT_EQ(fake_notes(NOTE_STORAGE_MONITOR), lost);
    EXPECT_EQ(fake_notes(NOTE_LOG), Lines{L"E- 0E0E-0E0E 250000000 1000000000 USB STICK"});
    const DriveEntry gone = drive_copy(5);
    EXPECT_EQ(CompactCells[5].shown, CELL_LOST);
    EXPECT_EQ(CompactCells[5].drive_row, 0);
    EXPECT_TRUE(gone.serial.empty());
    EXPECT_TRUE(gone.volume_name.empty());
    EXPECT_TRUE(gone.device_text.empty());
    EXPECT_EQ(gone.total_bytes, 0);
    EXPECT_EQ(gone.found_date, 0);
    EXPECT_EQ(gone.error_count, 0);
    EXPECT_EQ(gone.error_until, 0);
    EXPECT_EQ(gone.device_number, -1);
    EXPECT_TRUE(gone.device_partition.empty());

    // A lost drive that stays away writes nothing more; with storage events off nothing is logged.
    FakeUi.notes.clear();
    SharedInts[OPT_LOG_STORAGE_EVENTS] = 0;
    fake_rescan();
    EXPECT_TRUE(FakeUi.notes.empty());
    FakeDrives.push_back(e);
    fake_rescan();
    EXPECT_EQ(fake_notes(NOTE_STORAGE_MONITOR).size(), found.size());
    EXPECT_TRUE(fake_notes(NOTE_LOG).empty());
    EXPECT_EQ(CompactCells[5].shown, CELL_SHOWN);
}

TEST(DriveRescan, AnAliasLetterHasNoRowAndIsNotCountedAgain) {
    drive_test_reset();
    // X is a SUBST letter into C: same serial, label and size.
    FakeDrives = {fixed_drive(L'C', 0x1A2B3C4D, L"System"), fixed_drive(L'X', 0x1A2B3C4D, L"System")};
    fake_rescan();
    EXPECT_EQ(drive_copy(24).alias_of, 3);
    EXPECT_EQ(drive_copy(3).alias_letters.str(), L"X");
    EXPECT_EQ(drive_copy(3).alias_count, 1);
    EXPECT_EQ(SharedInts[DRIVE_ALIAS_COUNT].load(), 1);
    EXPECT_EQ(SharedInts[DRIVE_TEXT_WIDTH].load(), 1);
    EXPECT_EQ(CompactCells[24].drive_row, 0);
    EXPECT_EQ(CompactCells[24].shown, CELL_SHOWN);
    // One fixed volume: no summary row, although two fixed letters are present.
    EXPECT_EQ(SharedInts[FIXED_DRIVE_COUNT].load(), 1);
    EXPECT_EQ(CompactCells[0].shown, CELL_HIDDEN);
    EXPECT_EQ(SharedInts[DRIVE_ROW_COUNT].load(), 1);
    // The filter lists the volume once.
    EXPECT_EQ(FakeUi.filter.items.size(), 2u);
    EXPECT_EQ(shared_text(DRIVE_FILTER_LETTERS), L"C");

    // With a second real fixed drive the summary shows and sums each volume once.
    FakeDrives.push_back(fixed_drive(L'D', 0x22223333, L"Data"));
    fake_rescan();
    EXPECT_EQ(SharedInts[FIXED_DRIVE_COUNT].load(), 2);
    EXPECT_EQ(CompactCells[0].shown, CELL_SHOWN);
    EXPECT_EQ(drive_copy(0).total_bytes, 2'000'000'000);
    EXPECT_EQ(drive_copy(0).free_bytes, 500'000'000);
}

TEST(DriveRescan, EmptyCardReaderSlotsFoldIntoOneCell) {
    drive_test_reset();
    FakeDrive e;
    e.letter = L'E';
    e.type = 2;
    e.readable = false;
    FakeDrive f = e;
    f.letter = L'F';
    FakeDrives = {fixed_drive(L'C', 0x1A2B3C4D, L"System"), e, f};
    fake_rescan();
    const DriveEntry slot = drive_copy(5);
    EXPECT_EQ(slot.serial.str(), L"0000-0000");
    EXPECT_EQ(slot.volume_name.str(), L"No Media / Blank");
    EXPECT_EQ(slot.total_bytes, 0);
    EXPECT_EQ(slot.alias_letters.str(), L"F");
    EXPECT_EQ(drive_copy(6).alias_of, 5);
    // Not asked, so it names no disk: a disk error on disk 0 must not be blamed on it.
    EXPECT_EQ(slot.device_number, -1);
    EXPECT_EQ(FakeDiskQueries, 1);
    const Lines expected = {L"Vol: No Media / Blank", L"E: found. VolSerial: 0000-0000", L"--"};
    const Lines notes = fake_notes(NOTE_STORAGE_MONITOR);
    EXPECT_EQ(Lines(notes.begin() + 8, notes.begin() + 11), expected);
}

TEST(DriveRescan, ADriveThatTurnsIntoAnotherKindForgetsItsDisk) {
    drive_test_reset();
    FakeDrive e;
    e.letter = L'E';
    e.type = 2;
    e.device_number = 3;
    FakeDrives = {e};
    fake_rescan();
    EXPECT_EQ(drive_copy(5).device_number, 3);
    // The medium is taken out: the disk is not asked again, and the old number must not stay.
    fake_drive(L'E')->readable = false;
    fake_rescan();
    EXPECT_EQ(drive_copy(5).device_number, -1);
    EXPECT_EQ(drive_copy(5).partition_number, -1);
    EXPECT_TRUE(drive_copy(5).partition_style.empty());
    // The letter is mapped to a share instead.
    fake_drive(L'E')->readable = true;
    fake_drive(L'E')->type = 4;
    fake_drive(L'E')->remote = L"\\\\nas\\media";
    fake_rescan();
    EXPECT_EQ(drive_copy(5).device_number, -1);
    EXPECT_EQ(drive_copy(5).device_text.str(), L"\\\\nas\\media");
}

TEST(DriveRescan, OnlyFixedAndRemovableDrivesNameAPhysicalDisk) {
    // Every drive's device answers with number 0, as the first CD-ROM or RAM disk device does: only
    // the disk kinds may take it as disk 0, or a CD would show disk 0's layout and get its errors.
    struct Case {
        int type;
        int32_t disk;
        const wchar_t* partition;
        const wchar_t* style;
    };
    const Case cases[] = {
        {2, 0, L"0:2", L"GPT"},
        {3, 0, L"0:2", L"GPT"},
        {5, -1, L"", L""},
        {6, -1, L"", L""},
    };
    for (const auto& c : cases) {
        drive_test_reset();
        FakeDrive drive;
        drive.letter = L'R';
        drive.type = c.type;
        drive.vendor = "HL-DT-ST";
        drive.product = "DVDRAM";
        FakeDrives = {drive};
        fake_rescan();
        const DriveEntry entry = drive_copy(18);
        EXPECT_EQ(entry.device_number, c.disk) << c.type;
        EXPECT_EQ(entry.partition_number, c.disk < 0 ? -1 : 2) << c.type;
        EXPECT_EQ(entry.device_partition.str(), c.partition) << c.type;
        EXPECT_EQ(entry.partition_style.str(), c.style) << c.type;
        EXPECT_EQ(entry.device_text.str(), L"HL-DT-ST DVDRAM") << c.type;  // the maker is still shown
    }
}

TEST(DriveRescan, NetworkPathsAndTheirErrors) {
    struct Case {
        int64_t library;
        int result;
        const wchar_t* device_text;
    };
    const Case cases[] = {
        {0, 0, L"Network Path"},        {1, 2250, L"ERROR_NOT_CONNECTED"},
        {1, 1222, L"ERROR_NO_NETWORK"}, {1, 234, L"ERROR_MORE_DATA"},
        {1, 5, L"UNKNOWN ERROR 5"},     {1, NETWORK_LIBRARY_MISSING, L"Network Path"},
        {1, 0, L"\\\\server\\offline"},
    };
    for (const auto& c : cases) {
        drive_test_reset();
        SharedQuads[MPR_LIBRARY] = c.library;
        FakeDrive n;
        n.letter = L'N';
        n.type = 4;
        n.readable = false;  // the server is off: no volume
        n.network_result = c.result;
        n.remote = L"\\\\server\\offline";
        FakeDrives = {n};
        fake_rescan();
        EXPECT_EQ(drive_copy(14).device_text.str(), c.device_text) << c.result;
        const Lines notes = fake_notes(NOTE_STORAGE_MONITOR);
        ASSERT_EQ(notes.size(), 3u);
        EXPECT_EQ(notes[0], L"Dir: " + std::wstring(c.device_text));
        EXPECT_EQ(notes[1], L"N: found. VolSerial: 0000-0000");
    }
}

TEST(DriveRescan, ADriveOfUnknownTypeIsReportedInErrorOnce) {
    drive_test_reset();
    FakeDrive e;
    e.letter = L'E';
    e.type = 2;
    e.label = L"CARD";
    FakeDrives = {e};
    fake_rescan();
    FakeUi.notes.clear();
    fake_drive(L'E')->type = 1;  // no root directory
    fake_rescan();
    const Lines expected = {L"Mfg: ATA FAST SSD 1TB", L"Vol: CARD", L"E: error. VolSerial: 1A2B-3C4D", L"--"};
    EXPECT_EQ(fake_notes(NOTE_STORAGE_MONITOR), expected);
    EXPECT_TRUE(fake_notes(NOTE_LOG).empty());
    EXPECT_EQ(CompactCells[5].shown, CELL_LOST);
    EXPECT_EQ(CompactCells[5].drive_row, 0);
    EXPECT_EQ(drive_copy(5).drive_type, 0);
    EXPECT_EQ(drive_copy(5).device_number, -1);
    FakeUi.notes.clear();
    fake_rescan();
    EXPECT_TRUE(FakeUi.notes.empty());
}

TEST(DriveRescan, AudioCdsShowTheirTracks) {
    struct Case {
        int32_t tracks;
        bool listed;
        const wchar_t* label;
    };
    const Case cases[] = {
        {12, true, L"Audio: 12 Tracks"},
        {1, true, L"Audio: 1 Track"},
        {0, true, L"Audio: 0A0B-0C0D"},
        {12, false, L"Audio CD"},
    };
    for (const auto& c : cases) {
        drive_test_reset();
        FakeDrive cd;
        cd.letter = L'R';
        cd.type = 5;
        cd.serial = 0x0A0B0C0D;
        cd.label = L"Audio CD";
        cd.cd_audio = c.listed;
        cd.tracks = c.tracks;
        cd.seconds = 63 * 60 + 5;
        FakeDrives = {cd};
        fake_rescan();
        EXPECT_EQ(drive_copy(18).volume_name.str(), c.label) << c.tracks;
        EXPECT_EQ(drive_copy(18).cd_tracks, c.listed ? c.tracks : 0) << c.tracks;
    }
}

TEST(DriveRescan, TheWindowsDriveChoosesTheDiskActivityDeviceOnce) {
    drive_test_reset();
    FakeDrive c = fixed_drive(L'C', 0x1A2B3C4D, L"System");
    c.device_number = 12;
    FakeDrives = {c};
    fake_rescan();
    EXPECT_EQ(shared_text(DISK_ACTIVITY_DEVICE), L"\\\\.\\PhysicalDrive12");
    EXPECT_EQ(SharedInts[WINDOWS_DRIVE].load(), 0);
    fake_drive(L'C')->device_number = 4;
    fake_rescan();
    EXPECT_EQ(shared_text(DISK_ACTIVITY_DEVICE), L"\\\\.\\PhysicalDrive12");

    // A Windows drive whose disk cannot be asked keeps the default device rather than naming disk -1.
    drive_test_reset();
    c.opened = false;
    FakeDrives = {c};
    fake_rescan();
    EXPECT_EQ(shared_text(DISK_ACTIVITY_DEVICE), L"\\\\.\\PhysicalDrive0");
}

TEST(DriveRescan, TheChangesResetClearsEveryDrivesChangesAndTheRequest) {
    drive_test_reset();
    FakeDrives = {fixed_drive(L'C', 0x1A2B3C4D, L"System")};
    fake_rescan();
    {
        std::lock_guard guard(DriveTableLock);
        DriveTable[3].last_change = -5;
        DriveTable[3].total_change = -50;
    }
    fake_rescan();
    EXPECT_EQ(drive_copy(3).total_change, -50);
    SharedInts[DRIVE_CHANGES_RESET_REQUEST] = 1;
    fake_rescan();
    EXPECT_EQ(drive_copy(3).last_change, 0);
    EXPECT_EQ(drive_copy(3).total_change, 0);
    EXPECT_EQ(SharedInts[DRIVE_CHANGES_RESET_REQUEST].load(), 0);
}

TEST(DriveRescan, MarksSetByAnotherThreadDuringARescanSurvive) {
    drive_test_reset();
    FakeDrives = {fixed_drive(L'C', 0x1A2B3C4D, L"System")};
    fake_rescan();
    DriveWork work;
    drive_work_load(work);
    DriveWork base = work;
    DriveNotes notes;
    drive_rescan_run(work, notes, fake_platform());
    {
        // The disk-error watcher marks C while the rescan works on its copy.
        std::lock_guard guard(DriveTableLock);
        DriveTable[3].error_count = 1;
        DriveTable[3].error_until = 99;
    }
    drive_work_store(work, base);
    EXPECT_EQ(drive_copy(3).error_count, 1);
    EXPECT_EQ(drive_copy(3).error_until, 99);
    EXPECT_EQ(work.drives[3].error_count, 1);
}

TEST(DriveRescan, TheErrorMarkerWidensTheLabels) {
    drive_test_reset();
    FakeDrives = {fixed_drive(L'C', 0x1A2B3C4D, L"System"), fixed_drive(L'X', 0x1A2B3C4D, L"System")};
    fake_rescan();
    {
        std::lock_guard guard(DriveTableLock);
        DriveTable[3].error_count = 1;
    }
    fake_rescan();
    // C shows its alias X and the two-character marker.
    EXPECT_EQ(SharedInts[DRIVE_TEXT_WIDTH].load(), 3);
}

}  // namespace
