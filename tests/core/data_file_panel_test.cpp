// Tests of the data-file panel: its lines, the refresh interval, redraws from several threads, and the locks an
// unforced redraw that is not due takes.
#include "core/data_file_panel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "files_test_support.h"

namespace {

std::vector<DataFilePanelEntry> entries_all_off() {
    std::vector<DataFilePanelEntry> entries(7);
    const wchar_t* names[7] = {L"Sotrix.exe",   L"Sotrix.ini",   L"SX202405.log",
                               L"SX-Ping.json", L"SX-Saga.json", L"Mac-Vendors-Export.csv",
                               L"Core Temp.exe"};
    const wchar_t* status[7] = {L"",
                                L"Using default settings",
                                L"Log file setting disabled",
                                L"No active ping data",
                                L"Previous sessions events disabled",
                                L"MAC Vendor CSV database not loaded",
                                L"Initializing"};
    for (int j = 0; j < 7; ++j) {
        entries[j].file_name = names[j];
        entries[j].folder = L"C:\\Data\\";
        entries[j].status_text = status[j];
    }
    entries[0].flag = 1;
    entries[0].folder = L"C:\\Program\\";
    return entries;
}

class DataFilePanel : public FilesTest {};

TEST_F(DataFilePanel, LinesShowFlaggedFilesWithTheirDatesAndTheOthersWithTheirStatus) {
    std::vector<DataFilePanelEntry> entries = entries_all_off();
    DateParts parts;
    parts.year = 2024;
    parts.month = 5;
    parts.day = 6;
    parts.hour = 7;
    parts.minute = 8;
    parts.second = 9;
    entries[0].modified = date_from_parts(parts);
    std::vector<DataFilePanelLine> lines = data_file_panel_lines(entries, false, 0);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0].row, 0);
    EXPECT_EQ(lines[0].text, L"[F5]=Refresh");  // only the program is flagged
    EXPECT_EQ(lines[1].row, 2);
    EXPECT_EQ(lines[1].text, L" EXE File: 2024-05-06 07:08:09 C:\\Program\\Sotrix.exe");
    EXPECT_EQ(lines[3].text, L" LOG File: ---------- -------- Log file setting disabled");
    EXPECT_EQ(lines[7].row, 8);
    EXPECT_EQ(lines[7].text, L" EXE File: ---------- -------- Initializing");
    for (const DataFilePanelLine& line : lines) EXPECT_EQ(line.color, 0x606060);

    entries[1].flag = 1;
    entries[1].modified = 0;  // 1970: no usable date
    entries[3].flag = 2;      // hosts not saved yet: the file is missing
    entries[5].flag = 31000;
    lines = data_file_panel_lines(entries, true, 31000);
    EXPECT_EQ(lines[0].text, L"[F5]=Refresh  [F6]=Open Data Folder");
    EXPECT_EQ(lines[2].text, L" INI File: ---------- -------- C:\\Data\\Sotrix.ini [Portable Mode]");
    EXPECT_EQ(lines[4].text, L"JSON File: ========== ======== C:\\Data\\SX-Ping.json");
    EXPECT_EQ(lines[6].text, L" CSV File: ========== ======== C:\\Data\\Mac-Vendors-Export.csv (31000)");
}

TEST_F(DataFilePanel, UnforcedRedrawsWaitForTheRefreshStamp) {
    static std::atomic<int> draws{0};
    draws = 0;
    data_file_panel_set_drawer([](const std::vector<DataFilePanelLine>&) {
        ++draws;
        return true;
    });
    const Date now = date_now();
    data_folder_panel_draw_at(1, now);
    EXPECT_EQ(draws.load(), 1);
    data_folder_panel_draw_at(0, now + 3);
    EXPECT_EQ(draws.load(), 1);
    data_folder_panel_draw_at(1, now + 3);  // forced: at once, and the stamp moves on
    EXPECT_EQ(draws.load(), 2);
    data_folder_panel_draw_at(0, now + 8);
    EXPECT_EQ(draws.load(), 2);
    data_folder_panel_draw_at(0, now + 9);
    EXPECT_EQ(draws.load(), 3);
    data_folder_panel_refresh_request();  // a log flush on a worker asks; the next unforced call draws
    data_folder_panel_draw_at(0, now + 10);
    EXPECT_EQ(draws.load(), 4);
    quit_flag_raise(1);
    data_folder_panel_draw_at(1, now + 20);
    EXPECT_EQ(draws.load(), 4);
    data_file_panel_set_drawer(nullptr);
}

TEST_F(DataFilePanel, RedrawTakesTheFlagsAndDatesOfTheRealFiles) {
    data_folder_create();
    ASSERT_TRUE(file_write_bytes(DataFolder + L"Sotrix.ini", "[Sotrix]\r\n"));
    SharedInts[SETTINGS_FILE_PRESENT] = 1;
    static std::vector<DataFilePanelLine> drawn;
    data_file_panel_set_drawer([](const std::vector<DataFilePanelLine>& lines) {
        drawn = lines;
        return true;
    });
    data_folder_panel_draw(1);
    data_file_panel_set_drawer(nullptr);
    ASSERT_EQ(drawn.size(), 8u);
    EXPECT_TRUE(drawn[2].text.ends_with(DataFolder + L"Sotrix.ini")) << utf8_from_wide(drawn[2].text);
    EXPECT_EQ(drawn[2].text.find(L"=========="), std::wstring::npos);
    EXPECT_NE(drawn[1].text.find(L"=========="), std::wstring::npos);  // the program file does not exist here
    std::lock_guard guard(DataFilesLock);
    EXPECT_EQ(DataFiles[DATA_FILE_SETTINGS].flag, 1);
    EXPECT_EQ(DataFiles[DATA_FILE_SETTINGS].date_text.size(), 20u);
}

// Threads that flush the log, save stores and check the temperature tool all redraw the panel.
TEST_F(DataFilePanel, RedrawsFromSeveralThreadsNeverOverlap) {
    static std::atomic<int> inside{0};
    static std::atomic<int> overlaps{0};
    static std::atomic<int> draws{0};
    inside = overlaps = draws = 0;
    data_file_panel_set_drawer([](const std::vector<DataFilePanelLine>&) {
        if (inside.fetch_add(1) != 0) ++overlaps;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        inside.fetch_sub(1);
        ++draws;
        return true;
    });
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([] {
            for (int i = 0; i < 25; ++i) data_folder_panel_draw(1);
        });
    }
    for (std::thread& thread : threads) thread.join();
    data_file_panel_set_drawer(nullptr);
    EXPECT_EQ(draws.load(), 100);
    EXPECT_EQ(overlaps.load(), 0);
}

// The event loop asks for an unforced redraw at every turn. While the ping monitor holds the ping list's lock, a
// thousand turns that find nothing due all finish; a turn that is due waits for the lock (it counts the hosts).
TEST_F(DataFilePanel, TurnsThatAreNotDueLeaveThePingListsLockAlone) {
    static std::atomic<int> draws{0};
    draws = 0;
    data_file_panel_set_drawer([](const std::vector<DataFilePanelLine>&) {
        ++draws;
        return true;
    });
    const Date now = date_now();
    data_folder_panel_draw_at(1, now);  // the next unforced redraw is due after now + 5
    std::atomic<bool> held{false};
    std::atomic<bool> release{false};
    std::thread monitor([&] {
        std::lock_guard guard(PingListMutex);
        held = true;
        while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    while (!held) std::this_thread::sleep_for(std::chrono::milliseconds(1));

    constexpr int TURNS = 1000;
    std::atomic<int> turns{0};
    std::thread loop([&] {
        for (int turn = 0; turn < TURNS; ++turn) {
            data_folder_panel_draw_at(0, now + 1 + turn % 5);
            ++turns;
        }
    });
    std::atomic<bool> due_done{false};
    std::thread due([&] {
        data_folder_panel_draw_at(0, now + 6);
        due_done = true;
    });
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (turns.load() < TURNS && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const int finished = turns.load();
    const bool due_finished_while_held = due_done.load();
    release = true;
    monitor.join();
    loop.join();
    due.join();
    data_file_panel_set_drawer(nullptr);
    EXPECT_EQ(finished, TURNS) << "turns that were not due waited for the ping list's lock";
    EXPECT_FALSE(due_finished_while_held) << "a due redraw drew without the host count";
    EXPECT_TRUE(due_done.load());
    EXPECT_EQ(draws.load(), 2);
}

}  // namespace
