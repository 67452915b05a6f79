// The real Sotrix.exe in German: under a German locale the main window's tabs are German and open by their
// German words. Run
// with LC_ALL=de_DE.UTF-8 and SOTRIX_EXPECT_GERMAN=1 (Wine takes the Windows language from the locale); the
// normal run leaves these tests out by their name.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "integration/program_support.h"

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "core/control_numbers.h"

namespace {

class GermanRun : public ProgramTest {
protected:
    void SetUp() override {
        const char* expect = std::getenv("SOTRIX_EXPECT_GERMAN");
        ASSERT_TRUE(expect != nullptr && std::string(expect) == "1")
            << "run with LC_ALL=de_DE.UTF-8 and SOTRIX_EXPECT_GERMAN=1: the German tests need a German locale";
        ASSERT_TRUE(folder_prepare(L"sotrix-german-"));
        file_write(folder_ / L"Sotrix.ini", "\n");
    }
};

TEST_F(GermanRun, GermanTabCaptionsAndTabWords) {
    // The tab word on the command line is the German caption.
    Program& program = start(L"norepair einstellungen");
    HWND main = wait_for_window(program, WindowKind::MAIN);
    ASSERT_NE(main, nullptr) << "no main window on the German word of the Settings tab";
    const HWND panel = descendants_of(main).at(PANEL_MAIN);
    EXPECT_EQ(SendMessageW(panel, TCM_GETCURSEL, 0, 0), TAB_SETTINGS);

    std::vector<std::wstring> captions = tab_captions(panel);
    for (std::wstring& caption : captions) {
        caption.erase(0, caption.find_first_not_of(L' '));
        caption.erase(caption.find_last_not_of(L' ') + 1);
    }
    const std::vector<std::wstring> german = {L"System",           L"Prozessoren",   L"Grafik",
                                              L"Datentr\u00E4ger", L"Netzwerke",     L"Ping",
                                              L"Ereignisse",       L"Einstellungen", L"\u00DCber"};
    EXPECT_EQ(captions, german) << rows_listing(captions);
}

}  // namespace
