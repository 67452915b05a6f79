// An audio CD's tracks and playing time belong to that disc: a data disc or an empty drive that follows it
// shows none of them, whether the watcher notices the swap or a rebuild finds it.
#include <gtest/gtest.h>

#include <string>

#include "drive_fake_platform.h"
#include "system/drive_rescan.h"

namespace {

constexpr int CD_INDEX = 18;                // R:
constexpr int32_t PLAYING_S = 63 * 60 + 5;  // shown as "63:5"
constexpr const wchar_t* PLAYING = L"63:5";

DriveEntry drive_copy(int index) {
    std::lock_guard guard(DriveTableLock);
    return DriveTable[index];
}

std::wstring cell_text(int cell) {
    std::lock_guard guard(CellDrawMutex);
    return CompactCells[cell].value_text.str();
}

FakeDrive audio_cd(uint32_t serial) {
    FakeDrive cd;
    cd.letter = L'R';
    cd.type = 5;
    cd.serial = serial;
    cd.label = L"Audio CD";
    cd.file_system = L"CDFS";
    cd.total = 700'000'000;
    cd.free = 0;
    cd.cd_audio = true;
    cd.tracks = 12;
    cd.seconds = PLAYING_S;
    return cd;
}

// What follows the audio CD in the drive.
enum Next { DATA_DISC, NO_DISC, OTHER_AUDIO_CD };

void insert(Next next) {
    FakeDrive& cd = *fake_drive(L'R');
    switch (next) {
        case DATA_DISC:
            cd.serial = 0x0DA7A;
            cd.label = L"BACKUP";
            cd.cd_audio = false;  // the CD-audio device does not take a data disc
            break;
        case NO_DISC:
            cd.readable = false;
            cd.cd_audio = false;
            break;
        case OTHER_AUDIO_CD:
            cd.serial = 0x0A0D2;
            cd.tracks = 3;
            cd.seconds = 9 * 60 + 30;
            break;
    }
}

// C: fixed and the audio CD in R:, built as start-up builds the table.
void start_with_audio_cd() {
    drive_test_reset();
    FakeDrives = {FakeDrive{}, audio_cd(0x0A0D1)};
    fake_rescan();
}

struct Case {
    const char* name;
    Next next;
    int32_t tracks;
    int32_t seconds;
    const wchar_t* volume;  // part of the cell text
};
const Case CASES[] = {
    {"a data disc", DATA_DISC, 0, 0, L"BACKUP"},
    {"no disc", NO_DISC, 0, 0, L"No Media"},
    {"another audio CD", OTHER_AUDIO_CD, 3, 9 * 60 + 30, L"Audio: 3 Tracks"},
};

TEST(DriveAudioCd, StartUpShowsTheTracksAndThePlayingTime) {
    start_with_audio_cd();
    EXPECT_EQ(drive_copy(CD_INDEX).cd_tracks, 12);
    EXPECT_EQ(drive_copy(CD_INDEX).cd_seconds, PLAYING_S);
    EXPECT_NE(cell_text(CD_INDEX).find(PLAYING), std::wstring::npos) << cell_text(CD_INDEX);
    EXPECT_NE(cell_text(CD_INDEX).find(L"Audio: 12 Tracks"), std::wstring::npos) << cell_text(CD_INDEX);
}

TEST(DriveAudioCd, TheWatcherSeesTheSwapAndTheRebuildClearsThePlayingTime) {
    for (const Case& test : CASES) {
        SCOPED_TRACE(test.name);
        start_with_audio_cd();
        shared_text_set(DRIVE_LETTERS_NEW, shared_text(DRIVE_LETTERS));
        drive_watcher_start();
        SharedInts[DRIVE_SET_COUNTDOWN] = 200;
        SharedInts[SPACE_CHECK_COUNTDOWN] = 0;
        insert(test.next);
        DriveWatcherState state;
        // The new medium is noticed in the first round; the rebuild it schedules follows within 40 rounds.
        for (int round = 0; round < 41; ++round) {
            drive_watcher_round(state, fake_platform(), fake_ui());
            drive_watcher_round_end();
        }
        const DriveEntry cd = drive_copy(CD_INDEX);
        EXPECT_EQ(cd.cd_tracks, test.tracks);
        EXPECT_EQ(cd.cd_seconds, test.seconds);
        const std::wstring text = cell_text(CD_INDEX);
        EXPECT_NE(text.find(test.volume), std::wstring::npos) << text;
        EXPECT_EQ(text.find(PLAYING), std::wstring::npos) << text;
    }
}

TEST(DriveAudioCd, ARebuildAfterTheSwapClearsThePlayingTime) {
    for (const Case& test : CASES) {
        SCOPED_TRACE(test.name);
        start_with_audio_cd();
        insert(test.next);
        fake_rescan();
        const DriveEntry cd = drive_copy(CD_INDEX);
        EXPECT_EQ(cd.cd_tracks, test.tracks);
        EXPECT_EQ(cd.cd_seconds, test.seconds);
        EXPECT_EQ(cell_text(CD_INDEX).find(PLAYING), std::wstring::npos) << cell_text(CD_INDEX);
        // A data disc put in after the empty drive still shows no playing time.
        if (test.next == NO_DISC) {
            FakeDrive& drive = *fake_drive(L'R');
            drive.readable = true;
            insert(DATA_DISC);
            fake_rescan();
            EXPECT_EQ(drive_copy(CD_INDEX).cd_seconds, 0);
            EXPECT_EQ(cell_text(CD_INDEX).find(PLAYING), std::wstring::npos) << cell_text(CD_INDEX);
        }
    }
}

}  // namespace
