// The drive watcher's rounds on a made-up machine: free and total space changes with their highlights,
// Drive ID rows, log lines and title, drive arrivals, error marks, the disk-activity image and relayout.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <iterator>
#include <thread>

#include "core/control_numbers.h"
#include "core/format_bytes.h"
#include "drive_fake_platform.h"
#include "runtime/date.h"
#include "runtime/wait_until.h"
#include "system/drive_rescan.h"
#include "ui/graph_control.h"
#include "ui/graph_descriptor.h"

namespace {

using Lines = std::vector<std::wstring>;

int32_t palette(int index) { return static_cast<int32_t>(Palette[index]); }

DriveEntry drive_copy(int index) {
    std::lock_guard guard(DriveTableLock);
    return DriveTable[index];
}

struct Watcher {
    DriveWatcherState state;
    void rounds(int count) {
        for (int i = 0; i < count; ++i) {
            drive_watcher_round(state, fake_platform(), fake_ui());
            drive_watcher_round_end();
        }
    }
};

bool drawn(int cell, CellDrawForce force) {
    return std::find(FakeUi.draws.begin(), FakeUi.draws.end(), std::make_pair(cell, force)) != FakeUi.draws.end();
}

// C and D fixed, started as start-up does; the watcher's first checks are scheduled later.
void start_machine(int64_t d_total = 1'000'000'000) {
    drive_test_reset();
    FakeDrive d;
    d.letter = L'D';
    d.total = d_total;
    d.serial = 0xDDDD;
    d.label = L"Data";
    FakeDrives = {FakeDrive{}, d};
    fake_rescan();
    shared_text_set(DRIVE_LETTERS_NEW, shared_text(DRIVE_LETTERS));
    drive_watcher_start();
    SharedInts[DRIVE_SET_COUNTDOWN] = 200;
    SharedInts[SPACE_CHECK_COUNTDOWN] = 0;
    FakeUi = FakeUiRecord{};
}

TEST(DriveWatcher, StartsTheRateGraphsAtTheirFirstTop) {
    drive_test_reset();
    drive_watcher_start();
    for (const auto& scale : RateGraphScales) {
        EXPECT_EQ(scale.scale_top, 128);
        EXPECT_EQ(scale.peak, 127);
    }
}

// The watcher's start values may land while the system sampler already rescales the same entries (both run
// at start-up). Run the two for real at once, with a third thread reading as the graphs' drawing would: under
// ThreadSanitizer an entry that is not safe to share fails the run, and on any build every value read is one
// that a writer stored whole. Afterwards the sampler's next rate sets the top as ever.
TEST(DriveWatcher, TheStartValuesMayLandWhileTheSamplerRescales) {
    drive_test_reset();
    graph_descriptors_clear();
    ASSERT_NE(graph_descriptor_create(GRAPH_DISK_WRITE, 100, 0, 0), nullptr);
    drive_watcher_start();
    constexpr int ROUNDS = 20000;
    constexpr int64_t RATES_KB[] = {0, 200, 0, 1000, 0, 5000, 0, 127};  // highest 5000 KB: top at most 5120
    const RateGraphScale& write = RateGraphScales[0];
    std::atomic<int> running{2};
    std::atomic<int> odd_tops{0}, odd_peaks{0};
    const auto check = [&] {
        const int64_t top = write.scale_top;
        if (top < 128 || top > 5120 || top % 128 != 0) ++odd_tops;
        const int64_t peak = write.peak;
        if (peak != 127 && std::find(std::begin(RATES_KB), std::end(RATES_KB), peak) == std::end(RATES_KB)) ++odd_peaks;
    };
    std::thread watcher([&] {
        for (int round = 0; round < ROUNDS; ++round) drive_watcher_start();
        --running;
    });
    std::thread sampler([&] {
        for (int round = 0; round < ROUNDS; ++round) rate_graph_autoscale(GRAPH_DISK_WRITE, RATES_KB[round % 8] * 1024);
        --running;
    });
    std::thread reader([&] {
        while (running.load() > 0) check();
    });
    watcher.join();
    sampler.join();
    reader.join();
    check();
    EXPECT_EQ(odd_tops.load(), 0) << "scale tops that no writer stored";
    EXPECT_EQ(odd_peaks.load(), 0) << "peaks that no writer stored";

    rate_graph_autoscale(GRAPH_DISK_WRITE, 6000 * 1024);
    EXPECT_EQ(write.scale_top, 6016);
    EXPECT_EQ(graph_get_attribute(GRAPH_DISK_WRITE, GRAPH_ATTR_TOP), 6016);
    EXPECT_EQ(write.peak, 127);
    graph_descriptors_clear();
}

TEST(DriveWatcher, UsedSpaceShowsRedThenDarkRedThenNormal) {
    start_machine();
    Watcher watcher;
    watcher.rounds(1);  // the first check sees no change
    EXPECT_TRUE(FakeUi.notes.empty());
    EXPECT_TRUE(FakeUi.draws.empty());

    fake_drive(L'D')->free -= 1'048'576;
    SharedInts[SPACE_CHECK_COUNTDOWN] = 0;
    watcher.rounds(1);
    const DriveEntry changed = drive_copy(4);
    EXPECT_EQ(changed.last_change, -1'048'576);
    EXPECT_EQ(changed.total_change, -1'048'576);
    EXPECT_EQ(changed.free_bytes, 248'951'424);
    EXPECT_EQ(changed.fade_index, PALETTE_RED);
    EXPECT_EQ(CompactCells[4].text_color, palette(PALETTE_WHITE));
    EXPECT_EQ(CompactCells[4].back_color, palette(PALETTE_RED));
    EXPECT_EQ(CompactCells[4].value_text.str(), L"D: 24%  237.4M -1024K  716.3M");
    EXPECT_TRUE(drawn(4, CELL_DRAW_ALWAYS));
    // The summary follows in the same check (it comes after the drives), not forced.
    EXPECT_TRUE(drawn(0, CELL_DRAW_IF_CHANGED));
    EXPECT_EQ(CompactCells[0].value_text.str(), L"== 24%  475.8M -1024K 1431.5M");
    EXPECT_EQ(SharedInts[DRIVE_SUMMARY_REFRESH].load(), 0);
    EXPECT_EQ(SharedInts[DRIVE_CHANGE_PENDING].load(), 1);
    EXPECT_TRUE(FakeUi.notes.empty());

    // The next round dims the highlight, writes one Drive ID row and one log line, and queues D.
    FakeUi.draws.clear();
    watcher.rounds(1);
    EXPECT_EQ(CompactCells[4].back_color, palette(PALETTE_MAROON));
    EXPECT_EQ(drive_copy(4).fade_index, PALETTE_MAROON);
    EXPECT_TRUE(drawn(4, CELL_DRAW_ALWAYS));
    EXPECT_EQ(fake_notes(NOTE_DRIVE_ID), Lines{L"D:\n24%  237.4M\n-1024K\n-1024K\n76%  716.3M"});
    EXPECT_EQ(fake_notes(NOTE_LOG), Lines{L"D: 24 248951424 751048576 -1048576"});
    EXPECT_EQ(shared_text(TITLE_DRIVE_QUEUE), L"D");
    EXPECT_EQ(SharedInts[DRIVE_CHANGE_PENDING].load(), 0);

    // The title shows D's change when its countdown runs out.
    SharedInts[TITLE_COUNTDOWN] = 0;
    watcher.rounds(1);
    EXPECT_EQ(FakeUi.titles, Lines{L"D: 24% 237.4M -1024K"});
    EXPECT_EQ(FakeUi.tooltips, Lines{L"Sotrix D: 24% 237.4M -1024K"});
    EXPECT_EQ(shared_text(TITLE_TEXT_SHOWN), L"D: 24% 237.4M -1024K");
    EXPECT_TRUE(shared_text(TITLE_DRIVE_QUEUE).empty());
    EXPECT_EQ(SharedInts[TITLE_COUNTDOWN].load(), 59);

    // At the next check without change the cell returns to silver on black.
    FakeUi = FakeUiRecord{};
    watcher.rounds(50);
    EXPECT_EQ(CompactCells[4].back_color, 0);
    EXPECT_EQ(CompactCells[4].text_color, palette(PALETTE_SILVER));
    EXPECT_EQ(drive_copy(4).fade_index, 0);
    EXPECT_EQ(CompactCells[4].value_text.str(), L"D: 24%  237.4M -1024K  716.3M");
    EXPECT_TRUE(FakeUi.notes.empty());
    EXPECT_TRUE(FakeUi.titles.empty());  // the title text did not change
}

TEST(DriveWatcher, FreedSpaceShowsGreenAndTheFilterLimitsTheDriveIdRows) {
    start_machine();
    SharedInts[DRIVE_FILTER_ITEM] = 1;
    SharedInts[DRIVE_FILTER_INDEX] = 3;  // only C
    SharedInts[OPT_LOG_DRIVE_SPACE] = 1;
    fake_drive(L'C')->free += 4096;
    fake_drive(L'D')->free += 8192;
    Watcher watcher;
    watcher.rounds(1);
    EXPECT_EQ(CompactCells[3].back_color, palette(PALETTE_LIGHT_GREEN));
    EXPECT_EQ(CompactCells[4].back_color, palette(PALETTE_LIGHT_GREEN));
    watcher.rounds(1);
    EXPECT_EQ(CompactCells[3].back_color, palette(PALETTE_DARK_GREEN));
    EXPECT_EQ(fake_notes(NOTE_DRIVE_ID).size(), 1u);
    EXPECT_EQ(fake_notes(NOTE_DRIVE_ID)[0].substr(0, 3), L"C:\n");
    EXPECT_EQ(fake_notes(NOTE_LOG).size(), 2u);
    // Checked from Z to A, passed from A to Z: the title queue is in letter order.
    EXPECT_EQ(shared_text(TITLE_DRIVE_QUEUE), L"CD");

    // A fixed unit for the Drive ID rows.
    SharedInts[BYTE_UNIT] = BYTE_UNIT_M;
    SharedInts[DRIVE_FILTER_ITEM] = 0;
    FakeUi.notes.clear();
    fake_drive(L'C')->free -= 2'097'152;
    SharedInts[SPACE_CHECK_COUNTDOWN] = 0;
    watcher.rounds(2);
    EXPECT_EQ(fake_notes(NOTE_DRIVE_ID), Lines{L"C:\n24%  236.4M\n-2.0M\n-2.0M\n76%  717.3M"});
}

TEST(DriveWatcher, AFixedDrivesNewSizeIsReportedAndRebuiltLater) {
    start_machine();
    SharedInts[OPT_SOUND] = 1;
    fake_drive(L'D')->total = 2'000'000'000;
    Watcher watcher;
    watcher.rounds(1);
    const Lines expected = {
        L" Diff: 1,000,000,000 (953.7M)",
        L"  Old: 1,000,000,000 (953.7M)",
        L"  New: 2,000,000,000 (1907.3M)",
        L"Mfg: ATA FAST SSD 1TB",
        L"Vol: Data",
        L"D: total space changed.",
        L"--",
    };
    EXPECT_EQ(fake_notes(NOTE_STORAGE_MONITOR), expected);
    EXPECT_EQ(fake_notes(NOTE_LOG), Lines{L"D! 0000-DDDD 250000000 2000000000 Data"});
    EXPECT_EQ(drive_copy(4).total_bytes, 1'000'000'000);  // kept until the rebuild
    EXPECT_TRUE(shared_text(DRIVE_LETTERS).empty());
    EXPECT_EQ(SharedInts[DRIVE_SET_COUNTDOWN].load(), 39);

    FakeUi = FakeUiRecord{};
    watcher.rounds(40);
    EXPECT_EQ(drive_copy(4).total_bytes, 2'000'000'000);
    EXPECT_EQ(shared_text(DRIVE_LETTERS), L"CD");
    EXPECT_EQ(FakeUi.fits, 1);
    EXPECT_EQ(FakeUi.layouts, 1);
    EXPECT_EQ(FakeUi.beeps, 1);
    EXPECT_TRUE(fake_notes(NOTE_STORAGE_MONITOR).empty());  // the drive stays: no found or lost block
    EXPECT_EQ(SharedInts[SPACE_CHECK_COUNTDOWN].load(), 49);
}

TEST(DriveWatcher, AShrunkDrivesDifferenceKeepsItsSignAndAllDigits) {
    constexpr int64_t GIB = 1'073'741'824;
    start_machine(900 * GIB);
    fake_drive(L'D')->total = 100 * GIB;
    Watcher watcher;
    watcher.rounds(1);
    const Lines notes = fake_notes(NOTE_STORAGE_MONITOR);
    ASSERT_GE(notes.size(), 3u);
    // The sign widens the column by one: the old and new sizes line up under the difference's digits.
    EXPECT_EQ(notes[0].substr(0, 24), L" Diff: -858,993,459,200 ");
    EXPECT_EQ(notes[1].substr(0, 24), L"  Old:  966,367,641,600 ");
    EXPECT_EQ(notes[2].substr(0, 24), L"  New:  107,374,182,400 ");
}

TEST(DriveWatcher, AStickPulledOutHighlightsAndIsLostAtTheRebuild) {
    start_machine();
    FakeDrive e;
    e.letter = L'E';
    e.type = 2;
    e.serial = 0xEEEE;
    e.label = L"STICK";
    FakeDrives.push_back(e);
    SharedInts[DRIVES_ARRIVED] = 1;
    Watcher watcher;
    watcher.rounds(1);
    // Arrival: rebuilt at once, found block, highlighted as new.
    EXPECT_EQ(CompactCells[5].shown, CELL_SHOWN);
    EXPECT_EQ(CompactCells[5].back_color, palette(PALETTE_CYAN));
    EXPECT_EQ(fake_notes(NOTE_STORAGE_MONITOR).back(), L"--");
    EXPECT_EQ(SharedInts[DRIVES_ARRIVED].load(), 0);
    watcher.rounds(1);
    EXPECT_EQ(CompactCells[5].back_color, palette(PALETTE_TEAL));
    EXPECT_EQ(fake_notes(NOTE_DRIVE_ID).size(), 1u);
    // A new drive has no change to show: the title keeps its text.
    SharedInts[TITLE_COUNTDOWN] = 0;
    watcher.rounds(1);
    EXPECT_TRUE(FakeUi.titles.empty());

    // Removed: the volume message makes the space check come at once; the total drops to 0.
    FakeDrives.pop_back();
    FakeUi = FakeUiRecord{};
    SharedInts[SPACE_CHECK_COUNTDOWN] = 0;
    watcher.rounds(1);
    EXPECT_EQ(CompactCells[5].back_color, palette(PALETTE_WHITE));
    EXPECT_EQ(CompactCells[5].text_color, 0);
    EXPECT_EQ(drive_copy(5).fade_index, PALETTE_WHITE);
    // No medium now; the space stays as last known until the rebuild.
    EXPECT_EQ(CompactCells[5].value_text.str(), L"E: ()STICK             238.4M");
    watcher.rounds(40);
    EXPECT_EQ(CompactCells[5].shown, CELL_LOST);
    EXPECT_EQ(CompactCells[5].drive_row, 0);
    EXPECT_EQ(fake_notes(NOTE_STORAGE_MONITOR)[fake_notes(NOTE_STORAGE_MONITOR).size() - 2],
              L"E: lost. VolSerial: 0000-EEEE");
}

TEST(DriveWatcher, AnOpticalMediumSwapRebuildsWithoutFoundOrLost) {
    start_machine();
    FakeDrive cd;
    cd.letter = L'R';
    cd.type = 5;
    cd.serial = 0x0CD0;
    cd.label = L"DISC ONE";
    FakeDrives.push_back(cd);
    fake_rescan();
    FakeUi = FakeUiRecord{};
    fake_drive(L'R')->serial = 0x0CD1;
    fake_drive(L'R')->label = L"DISC TWO";
    Watcher watcher;
    watcher.rounds(1);
    EXPECT_EQ(CompactCells[18].back_color, palette(PALETTE_WHITE));
    EXPECT_EQ(CompactCells[18].text_color, 0);
    EXPECT_TRUE(drawn(18, CELL_DRAW_ALWAYS));
    EXPECT_EQ(SharedInts[DRIVE_SET_COUNTDOWN].load(), 39);
    watcher.rounds(40);
    EXPECT_EQ(CompactCells[18].shown, CELL_SHOWN);
    EXPECT_EQ(CompactCells[18].back_color, 0);
    EXPECT_EQ(drive_copy(18).serial.str(), L"0000-0CD1");
    EXPECT_EQ(drive_copy(18).fade_index, 0);
    const Lines rename = {L"Old: DISC ONE", L"New: DISC TWO", L"R: Volume name changed.", L"--"};
    EXPECT_EQ(fake_notes(NOTE_STORAGE_MONITOR), rename);
}

TEST(DriveWatcher, AnAliasWhoseVolumeChangedIsRebuiltNextRound) {
    start_machine();
    FakeDrive x;
    x.letter = L'X';
    FakeDrives.push_back(x);  // a SUBST letter into C
    fake_rescan();
    ASSERT_EQ(drive_copy(24).alias_of, 3);
    fake_drive(L'X')->serial = 0x5555;
    fake_drive(L'X')->label = L"Elsewhere";
    Watcher watcher;
    watcher.rounds(1);
    EXPECT_TRUE(shared_text(DRIVE_LETTERS).empty());
    watcher.rounds(1);
    EXPECT_EQ(drive_copy(24).alias_of, 0);
    EXPECT_NE(CompactCells[24].drive_row, 0);
    EXPECT_EQ(SharedInts[DRIVE_ALIAS_COUNT].load(), 0);
}

TEST(DriveWatcher, AnExpiredErrorMarkIsDroppedByASilentRebuild) {
    start_machine();
    SharedInts[OPT_SOUND] = 1;
    {
        std::lock_guard guard(DriveTableLock);
        DriveTable[4].error_count = 3;
        DriveTable[4].error_until = date_now() - 1;
        DriveTable[3].error_count = 1;
        DriveTable[3].error_until = date_now() + 3600;
    }
    Watcher watcher;
    watcher.rounds(1);
    EXPECT_EQ(drive_copy(4).error_count, 0);
    EXPECT_EQ(drive_copy(3).error_count, 1);
    EXPECT_EQ(SharedInts[DRIVE_RESCAN_REQUEST].load(), 1);
    watcher.rounds(1);
    EXPECT_EQ(SharedInts[DRIVE_RESCAN_REQUEST].load(), 0);
    EXPECT_EQ(FakeUi.beeps, 0);
    EXPECT_EQ(SharedInts[BEEP_SKIP_COUNT].load(), 0);
    EXPECT_EQ(SharedInts[DRIVE_TEXT_WIDTH].load(), 2);  // C still shows the marker
    // The next rebuild beeps again.
    SharedInts[DRIVE_RESCAN_REQUEST] = 1;
    watcher.rounds(1);
    EXPECT_EQ(FakeUi.beeps, 1);
}

TEST(DriveWatcher, TitleOfTheSamplersIsAppliedAndRetriedWhileTheMainThreadIsBusy) {
    start_machine();
    SharedInts[TITLE_MODE] = TITLE_MODE_CPU;
    shared_text_set(TITLE_TEXT, L"CPU 12%");
    SharedInts[TITLE_COUNTDOWN] = 0;
    FakeUi.title_accepted = false;
    Watcher watcher;
    watcher.rounds(1);
    EXPECT_TRUE(FakeUi.titles.empty());
    EXPECT_TRUE(shared_text(TITLE_TEXT_SHOWN).empty());
    FakeUi.title_accepted = true;
    watcher.rounds(1);
    EXPECT_EQ(FakeUi.titles, Lines{L"CPU 12%"});
    EXPECT_EQ(SharedInts[TITLE_COUNTDOWN].load(), 599);
    // With the tray icon off only the window's title changes; a tooltip keeps at most 63 characters.
    SharedInts[OPT_TRAY_ICON] = 0;
    shared_text_set(TITLE_TEXT, L"CPU 13%");
    SharedInts[TITLE_COUNTDOWN] = 0;
    watcher.rounds(1);
    EXPECT_EQ(FakeUi.titles.size(), 2u);
    EXPECT_EQ(FakeUi.tooltips.size(), 1u);
    EXPECT_EQ(drive_tray_tooltip(std::wstring(100, L'x')).size(), 63u);
}

TEST(DriveWatcher, TheTrayImageFollowsTheDiskTimes) {
    start_machine();
    SharedInts[OPT_DISK_ACTIVITY_ICON] = 1;
    SharedInts[TRAY_ICON_PRESENT] = 1;
    SharedInts[SPACE_CHECK_COUNTDOWN] = 50;
    Watcher watcher;
    struct Step {
        int64_t read_delta;
        int64_t write_delta;
        bool readable;
        int image;
    };
    const Step steps[] = {
        {5, 5, true, IMAGE_DISK_READ_WRITE}, {0, 7, true, IMAGE_DISK_WRITE}, {3, 0, true, IMAGE_DISK_READ},
        {0, 0, true, IMAGE_DISK_IDLE},       {9, 9, false, IMAGE_DISK_IDLE}, {0, 0, true, IMAGE_DISK_READ_WRITE},
    };
    for (const auto& step : steps) {
        FakeReadTime += step.read_delta;
        FakeWriteTime += step.write_delta;
        FakePerformanceReadable = step.readable;
        watcher.rounds(1);
        EXPECT_EQ(SharedInts[TRAY_IMAGE].load(), step.image);
    }
    // Only changes reach the tray.
    EXPECT_EQ(FakeUi.images, (std::vector<int>{107, 106, 105, 104, 107}));
    watcher.rounds(3);
    EXPECT_EQ(FakeUi.images.back(), IMAGE_DISK_IDLE);
    EXPECT_EQ(FakeUi.images.size(), 6u);

    // With the option off or no tray icon the image is left alone.
    for (auto [option, present] : {std::pair{0, 1}, std::pair{-1, 1}, std::pair{1, 0}}) {
        SharedInts[OPT_DISK_ACTIVITY_ICON] = option;
        SharedInts[TRAY_ICON_PRESENT] = present;
        FakeWriteTime += 1;
        watcher.rounds(1);
        EXPECT_EQ(FakeUi.images.size(), 6u);
    }
}

TEST(DriveWatcher, AFontChangeWaitsUntilTheWindowIsNormal) {
    start_machine();
    SharedInts[SPACE_CHECK_COUNTDOWN] = 50;
    SharedInts[COMPACT_RELAYOUT_REQUEST] = 1;
    FakeUi.window_normal = false;
    Watcher watcher;
    watcher.rounds(3);
    EXPECT_EQ(FakeUi.font_applies, 0);
    FakeUi.window_normal = true;
    watcher.rounds(1);
    EXPECT_EQ(FakeUi.font_applies, 1);
    EXPECT_EQ(FakeUi.fits, 1);
    EXPECT_EQ(FakeUi.layouts, 1);
}

// The watcher's loop copies the Storage tab when asked, and no other tab; the fake's copy sets the request back.
TEST(DriveWatcher, TheStorageTabIsCopiedAtTheEndOfTheRound) {
    start_machine();
    SharedInts[COPY_TAB_REQUEST] = TAB_NETWORKS;
    std::thread thread([] { drive_watcher_run(fake_platform(), fake_ui()); });
    // Rounds pass (each round end counts the drive-set countdown down) and leave another tab's request alone.
    EXPECT_TRUE(wait_until([] { return SharedInts[DRIVE_SET_COUNTDOWN].load() < 196; }));
    EXPECT_EQ(SharedInts[COPY_TAB_REQUEST].load(), TAB_NETWORKS);
    SharedInts[COPY_TAB_REQUEST] = TAB_STORAGE;
    EXPECT_TRUE(wait_until([] { return SharedInts[COPY_TAB_REQUEST].load() == -1; })) << "the copy was not served";
    quit_flag_raise(1);
    thread.join();
    quit_flag_clear();
    EXPECT_EQ(FakeUi.clipboard_copies, 1);
}

// The round that sees the quit still has its round end, a pending copy included: a quit raised before the
// loop begins still gives one round and one round end.
TEST(DriveWatcher, AQuitBeforeTheStartStillGivesOneRoundWithItsEnd) {
    start_machine();
    SharedInts[COPY_TAB_REQUEST] = TAB_STORAGE;
    SharedInts[COMPACT_RELAYOUT_REQUEST] = 1;
    quit_flag_raise(1);
    drive_watcher_run(fake_platform(), fake_ui());
    EXPECT_EQ(FakeUi.font_applies, 1) << "the round";
    EXPECT_EQ(FakeUi.clipboard_copies, 1) << "the copy";
    EXPECT_EQ(SharedInts[DRIVE_SET_COUNTDOWN].load(), 199) << "one round end";
    quit_flag_clear();
}

TEST(DriveWatcher, ARescanRequestRebuildsEvenWithTheSameLettersAndQuitStopsIt) {
    start_machine();
    SharedInts[DRIVE_RESCAN_REQUEST] = 1;
    const int64_t count = SharedQuads[DRIVE_RESCAN_COUNT].load();
    Watcher watcher;
    watcher.rounds(1);
    EXPECT_EQ(SharedQuads[DRIVE_RESCAN_COUNT].load(), count + 1);
    EXPECT_EQ(SharedInts[DRIVE_SET_COUNTDOWN].load(), 199);
    SharedInts[DRIVE_RESCAN_REQUEST] = 1;
    quit_flag_raise(1);
    watcher.rounds(1);
    EXPECT_EQ(SharedQuads[DRIVE_RESCAN_COUNT].load(), count + 1);
}

TEST(DriveWatcher, TheLoopEndsWithinOneRoundOfQuit) {
    start_machine();
    static std::atomic<bool> ended;  // static: a loop that never ends is left running with it
    ended = false;
    std::thread thread([] {
        drive_watcher_run(fake_platform(), fake_ui());
        ended = true;
    });
    // The loop runs its rounds: the first one checked the space, the next ones count down.
    const bool counting = wait_until([] {
        const int countdown = SharedInts[SPACE_CHECK_COUNTDOWN].load();
        return countdown > 0 && countdown < 50;
    });
    EXPECT_TRUE(counting) << "no rounds ran; the countdown is " << SharedInts[SPACE_CHECK_COUNTDOWN].load();
    quit_flag_raise(1);
    // A round lasts 100 ms; the limit leaves room for a loaded machine.
    const bool ended_in_time = wait_until([] { return ended.load(); }, std::chrono::milliseconds(3000));
    EXPECT_TRUE(ended_in_time) << "the loop went on after the quit flag";
    if (ended_in_time) {
        thread.join();
    } else {
        thread.detach();  // it never ends; the failure is reported rather than waited for
    }
}

}  // namespace
