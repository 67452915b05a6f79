// The real Sotrix.exe's Events tab under Wine: its event page thread lists the logs that hold records (Wine's
// logs hold none), draws the status line, serves a font change, and ends promptly when the program quits
// while a search was asked for.
#include <windows.h>

#include <gtest/gtest.h>

#include "integration/program_actions.h"
#include "integration/program_support.h"

#include <string>
#include <vector>

namespace {

// The logs that hold records, as this process sees them: the event-log service's names, each opened and
// counted, in the service's order.
std::vector<std::wstring> logs_with_records() {
    std::vector<std::wstring> names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Services\\EventLog", 0,
                      KEY_READ | KEY_WOW64_64KEY, &key) == ERROR_SUCCESS) {
        wchar_t name[256];
        for (DWORD i = 0;; ++i) {
            DWORD length = 255;
            if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            names.emplace_back(name, length);
        }
        RegCloseKey(key);
    }
    if (names.empty()) names = {L"Application", L"System", L"Security"};
    std::vector<std::wstring> listed;
    for (const std::wstring& name : names) {
        HANDLE log = OpenEventLogW(nullptr, name.c_str());
        if (!log) continue;
        DWORD count = 0;
        if (GetNumberOfEventLogRecords(log, &count) && count > 0) listed.push_back(name);
        CloseEventLog(log);
    }
    return listed;
}

// Pixels of the control on the screen that are clearly of the colour (0xRRGGBB of pure red or blue), also
// where the text is smoothed.
size_t pixels_of(HWND control, uint32_t colour) {
    const RECT area = client_on_screen(control);
    const Picture picture = screen_picture(area);
    size_t found = 0;
    for (const uint32_t pixel : picture.pixels) {
        const int r = static_cast<int>(pixel >> 16 & 0xFF), g = static_cast<int>(pixel >> 8 & 0xFF),
                  b = static_cast<int>(pixel & 0xFF);
        if (colour == 0xFF0000 ? (r > 150 && g < 100 && b < 100) : (b > 150 && r < 100 && g < 100)) ++found;
    }
    return found;
}

class EventsProgram : public ProgramTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_prepare(L"sotrix-events-"));
        file_write(folder_ / L"Sotrix.ini", "[Sotrix]\r\n");  // portable: a fresh data folder
    }

    // Starts the program on the Events tab, on top of the other windows so that its pixels can be read.
    HWND open_events(Program*& program) {
        program = &start(L"norepair events");
        const HWND main = wait_for_window(*program, WindowKind::MAIN);
        if (main) SetWindowPos(main, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return main;
    }
};

TEST_F(EventsProgram, TheTabListsTheLogsWithRecordsPromptsForOneAndServesAFontChange) {
    Program* program = nullptr;
    const HWND main = open_events(program);
    ASSERT_NE(main, nullptr) << "no main window";
    const std::map<int, HWND> inside = descendants_of(main);
    const HWND status = inside.at(CANVAS_EVENTS_STATUS);

    // The page thread's start draws the prompt to choose a log in blue: no log of Wine holds records, so
    // none is chosen and nothing is read.
    EXPECT_TRUE(wait_until(15000, [&] { return pixels_of(status, 0x0000FF) > 20; }))
        << "the event page thread drew no status line";
    EXPECT_EQ(combo_items(inside.at(COMBO_EVENT_LOG)), logs_with_records()) << "the log selector's logs";
    EXPECT_EQ(SendMessageW(inside.at(LIST_EVENTS), LVM_GETITEMCOUNT, 0, 0), 0);

    // A font size of 12 (item 3): the thread applies it and says so in red on the status line.
    combo_choose(inside.at(COMBO_EVENT_FONT_SIZE), 3);
    EXPECT_TRUE(wait_until(15000, [&] { return pixels_of(status, 0xFF0000) > 20; }))
        << "the font change was not served";
    EXPECT_EQ(SendMessageW(inside.at(COMBO_EVENT_FONT_SIZE), CB_GETCURSEL, 0, 0), 3);
    ASSERT_TRUE(shut_down(*program));
}

TEST_F(EventsProgram, AQuitRightAfterASearchRequestEndsTheProgramPromptly) {
    Program* program = nullptr;
    const HWND main = open_events(program);
    ASSERT_NE(main, nullptr) << "no main window";
    const std::map<int, HWND> inside = descendants_of(main);
    ASSERT_TRUE(wait_until(15000, [&] { return pixels_of(inside.at(CANVAS_EVENTS_STATUS), 0x0000FF) > 20; }))
        << "the event page thread did not start";
    const std::map<int, HWND> now = descendants_of(main);  // the search field is rebuilt per mode
    SendMessageW(now.at(INPUT_EVENT_SEARCH), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"disk"));
    SendMessageW(now.at(BUTTON_EVENT_SEARCH), BM_CLICK, 0, 0);

    // The exit counts its wait for the workers in the compact window's title and gives up at "50", killing
    // what still runs: every worker, the event page thread among them, must have ended before.
    const HWND compact = program_window(program->id(), WindowKind::COMPACT, false);
    ASSERT_NE(compact, nullptr) << "no compact window";
    Program& second = start(L"shutdown norepair");
    std::wstring last_count;
    const bool ended = wait_until(EXIT_MS + 5000, [&] {
        wchar_t title[64] = {};
        // Read without a message: the program's main thread is busy with its exit.
        if (InternalGetWindowText(compact, title, 64) > 0 && std::wstring(title) == L"50") last_count = title;
        return !program->running();
    });
    ASSERT_TRUE(ended) << "the program did not end after the search request";
    EXPECT_EQ(program->exit_code(), 0u);
    EXPECT_TRUE(last_count.empty()) << "a worker did not stop on quit and was killed";
    EXPECT_TRUE(second.ends_within(EXIT_MS)) << "\"shutdown\" did not end";
}

}  // namespace
