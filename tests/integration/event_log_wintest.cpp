// The real Sotrix.exe's Events tab under Wine: its event page thread lists the logs that hold records (Wine's
// logs hold none, so the wanted log is dropped), draws the status line, serves a font change, and ends
// promptly when the program quits while a search was asked for.
#include <windows.h>

#include <gtest/gtest.h>

#include "integration/program_actions.h"
#include "integration/program_support.h"

#include <map>
#include <string>
#include <vector>

namespace {

// The record count of every log that the event-log service names, as this process reads it with the calls
// the program makes; -1 for a log that does not open.
std::map<std::wstring, long> log_record_counts() {
    std::map<std::wstring, long> counts;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Services\\EventLog", 0,
                      KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return counts;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = 255;
        if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        long& count = counts[std::wstring(name, length)];
        count = -1;
        if (HANDLE log = OpenEventLogW(nullptr, name)) {
            DWORD records = 0;
            if (GetNumberOfEventLogRecords(log, &records)) count = static_cast<long>(records);
            CloseEventLog(log);
        }
    }
    RegCloseKey(key);
    return counts;
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

// The selector lists the logs that hold records; Wine's logs all open and hold none, so what the program can
// show here is the empty selector and what follows from it: the log that the settings file asks for is not
// listed, so none is chosen, the status line prompts for one, nothing is read, and the settings saved at the
// exit keep no log. A selector that was never filled would keep the settings' log and fail here.
TEST_F(EventsProgram, NoLogOfWineIsListedSoTheWantedOneIsDroppedAndTheTabPromptsAndServesAFontChange) {
    const std::map<std::wstring, long> counts = log_record_counts();
    ASSERT_TRUE(counts.contains(L"System")) << "the service does not name the System log";
    for (const auto& [name, count] : counts)
        ASSERT_EQ(count, 0) << testing::PrintToString(name) << ": the expectations below are for logs that open and "
                            << "hold no records";
    file_write(folder_ / L"Sotrix.ini", "[Sotrix]\r\nEventLog = System\r\n");

    Program* program = nullptr;
    const HWND main = open_events(program);
    ASSERT_NE(main, nullptr) << "no main window";
    const std::map<int, HWND> inside = descendants_of(main);
    const HWND status = inside.at(CANVAS_EVENTS_STATUS);

    // The page thread's start fills the selector, then draws the status line in blue: the prompt to choose a
    // log, since the wanted one is not listed.
    EXPECT_TRUE(wait_until(15000, [&] { return pixels_of(status, 0x0000FF) > 20; }))
        << "the event page thread drew no status line";
    const HWND selector = inside.at(COMBO_EVENT_LOG);
    EXPECT_EQ(combo_items(selector), std::vector<std::wstring>{}) << "logs without records are listed";
    EXPECT_EQ(SendMessageW(selector, CB_GETCURSEL, 0, 0), CB_ERR) << "a log is chosen";
    EXPECT_EQ(SendMessageW(inside.at(LIST_EVENTS), LVM_GETITEMCOUNT, 0, 0), 0);

    // A font size of 12 (item 3): the thread applies it and says so in red on the status line.
    combo_choose(inside.at(COMBO_EVENT_FONT_SIZE), 3);
    EXPECT_TRUE(wait_until(15000, [&] { return pixels_of(status, 0xFF0000) > 20; }))
        << "the font change was not served";
    EXPECT_EQ(SendMessageW(inside.at(COMBO_EVENT_FONT_SIZE), CB_GETCURSEL, 0, 0), 3);
    ASSERT_TRUE(shut_down(*program));
    const std::string saved = file_bytes(folder_ / L"Sotrix.ini");
    EXPECT_EQ(ini_value(saved, "EventLog"), "") << "the log that was not listed is still the chosen one:\n" << saved;
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
