// The real Sotrix.exe under Wine: start-up to the compact window (shown before the last start-up step, hidden
// with "Start Minimized"), a second start, the command words "shutdown" and "restart", closing, and the
// end-of-session messages. Each test runs a copy of the program in
// a folder of its own (portable mode), so no test sees another's files, and ends what it started.
#include <windows.h>

#include <dbt.h>

#include <gtest/gtest.h>

#include "core/settings_code.h"
#include "core/shared_state.h"
#include "integration/program_support.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

// Test programs of both builds share one Wine prefix, and the program allows one instance per session:
// only one of them may run the program at a time.
class OneAtATime : public ::testing::Environment {
public:
    void SetUp() override {
        lock_ = CreateMutexW(nullptr, FALSE, L"SotrixIntegrationTests");
        ASSERT_NE(lock_, nullptr);
        const DWORD result = WaitForSingleObject(lock_, 15 * 60 * 1000);
        ASSERT_TRUE(result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) << "another integration run did not end";
    }
    void TearDown() override {
        if (lock_) {
            ReleaseMutex(lock_);
            CloseHandle(lock_);
        }
    }

private:
    HANDLE lock_ = nullptr;
};
const auto* const one_at_a_time = ::testing::AddGlobalTestEnvironment(new OneAtATime);

class ProgramRun : public ProgramTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_prepare(L"sotrix-run-"));
        // A settings file next to the program makes it portable: everything it writes stays in this folder.
        file_write(folder_ / L"Sotrix.ini", "\n");
    }
};

// The version text the build under test carries: the project's version, the architecture and the build
// number that each Windows build is made with.
std::wstring expected_version_text() {
    const std::wstring architecture = sizeof(void*) == 8 ? L"x64 101" : L"x86 102";
    return L"v" + wide_of(SOTRIX_VERSION_NUMBER) + L" " + architecture;
}

TEST_F(ProgramRun, StartsWithTheCompactWindowAndItsCloseBoxEndsIt) {
    Program& program = start(L"norepair");
    HWND compact = wait_for_window(program, WindowKind::COMPACT);
    ASSERT_NE(compact, nullptr) << "no compact window";
    EXPECT_EQ(text_of(compact).rfind(L"Sotrix v", 0), 0u) << "title";
    RECT area{};
    GetWindowRect(compact, &area);
    EXPECT_GE(area.top, 0);
    EXPECT_GE(area.left, 0);
    EXPECT_LE(area.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_LE(area.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_GT(area.right - area.left, 100);

    // The cells are drawn when the loop paints: their texts on the background, not one colour.
    SetWindowPos(compact, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Picture picture;
    ColourCount background;
    const bool drawn = wait_until(10000, [&] {
        picture = window_picture(compact);
        const RECT inner = client_on_screen(compact);
        background = most_common_colour(picture, inner);
        return background.total > 0 && background.count < background.total * 97 / 100 &&
               contrast_pixels(picture, inner, background.colour) > 200;
    });
    EXPECT_TRUE(picture_save(picture, screenshots_folder() + L"\\compact_window.bmp"));
    EXPECT_TRUE(drawn) << "the compact window shows no cells: " << background.count << " of " << background.total
                       << " pixels have the colour " << std::hex << background.colour;

    PostMessageW(compact, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.ends_within(EXIT_MS)) << "the close box did not end the program";
    EXPECT_EQ(program.exit_code(), 0u);
    EXPECT_FALSE(instance_mutex_exists());
}

TEST_F(ProgramRun, TheMainWindowTitleNamesTheBuild) {
    Program& program = start(L"norepair about");
    HWND main = wait_for_window(program, WindowKind::MAIN);
    ASSERT_NE(main, nullptr) << "no main window";
    EXPECT_EQ(text_of(main), L"Sotrix " + expected_version_text() + L" - System Monitor");
}

TEST_F(ProgramRun, ASecondStartBringsTheFirstForwardAndEnds) {
    Program& first = start(L"norepair");
    HWND compact = wait_for_window(first, WindowKind::COMPACT);
    ASSERT_NE(compact, nullptr);
    ShowWindow(compact, SW_MINIMIZE);
    ASSERT_TRUE(wait_until(5000, [&] { return IsIconic(compact) != FALSE; }));

    const auto begin = Clock::now();
    Program& second = start(L"norepair");
    HWND notice = wait_for_window(second, WindowKind::OTHER, 20000);
    EXPECT_NE(notice, nullptr) << "no already-running notice";
    ASSERT_TRUE(second.ends_within(20000));
    const auto shown = Clock::now() - begin;
    EXPECT_GE(shown, std::chrono::milliseconds(4500));  // the notice stays for its five seconds
    EXPECT_EQ(second.exit_code(), 0u);

    EXPECT_TRUE(first.running());
    EXPECT_FALSE(IsIconic(compact)) << "the running instance did not come forward";
    EXPECT_TRUE(IsWindowVisible(compact));
}

TEST_F(ProgramRun, TheWordShutdownEndsTheRunningInstance) {
    Program& first = start(L"norepair");
    ASSERT_NE(wait_for_window(first, WindowKind::COMPACT), nullptr);
    Program& second = start(L"SHUTDOWN norepair");
    // Watched for its whole life: the instance that only passes the word on shows no window of its own.
    bool second_showed = false;
    EXPECT_TRUE(wait_until(EXIT_MS + 10000, [&] {
        if (program_window(second.id(), WindowKind::COMPACT) || program_window(second.id(), WindowKind::MAIN))
            second_showed = true;
        return !second.running();
    })) << "the \"shutdown\" instance did not end";
    EXPECT_FALSE(second_showed) << "the \"shutdown\" instance showed a window";
    EXPECT_EQ(second.exit_code(), 0u);
    EXPECT_TRUE(first.ends_within(EXIT_MS)) << "the running instance did not quit";
    EXPECT_EQ(first.exit_code(), 0u);
    EXPECT_FALSE(instance_mutex_exists());
}

TEST_F(ProgramRun, TheWordRestartTakesOver) {
    Program& first = start(L"norepair");
    ASSERT_NE(wait_for_window(first, WindowKind::COMPACT), nullptr);
    Program& second = start(L"restart norepair");
    EXPECT_TRUE(first.ends_within(EXIT_MS + 5000)) << "the running instance did not hand over";
    HWND compact = wait_for_window(second, WindowKind::COMPACT);
    EXPECT_NE(compact, nullptr) << "the new instance did not start";
    EXPECT_TRUE(second.running());
    EXPECT_TRUE(instance_mutex_exists());
}

// The answer of the compact window to a message sent with a callback; `answered` stays false when no answer
// came (the program ended before it answered).
struct SentAnswer {
    bool answered = false;
    DWORD_PTR answer = 99;
};

void CALLBACK sent_answer_note(HWND, UINT, ULONG_PTR data, LRESULT result) {
    auto* answer = reinterpret_cast<SentAnswer*>(data);
    answer->answered = true;
    answer->answer = static_cast<DWORD_PTR>(result);
}

bool sent_with_callback(HWND window, UINT message, WPARAM wparam, SentAnswer& answer) {
    return SendMessageCallbackW(window, message, wparam, ENDSESSION_LOGOFF, sent_answer_note,
                                reinterpret_cast<ULONG_PTR>(&answer)) != 0;
}

// Answers to messages sent with a callback reach this thread only while it looks at its queue.
void sent_answers_take() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

TEST_F(ProgramRun, EndOfSessionMessages) {
    Program& program = start(L"norepair");
    HWND compact = wait_for_window(program, WindowKind::COMPACT);
    ASSERT_NE(compact, nullptr);
    DWORD_PTR answer = 99;

    // A session end that another program cancelled changes nothing: answered with 0, and the program does not
    // begin its exit (which hides the window at once and ends the process within a few seconds).
    ASSERT_TRUE(SendMessageTimeoutW(compact, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer));
    EXPECT_EQ(answer, 0u);
    EXPECT_FALSE(wait_until(EXIT_MS, [&] { return !program.running() || !IsWindowVisible(compact); }))
        << "a cancelled session end began the exit";

    // Device messages without a header, or for devices that are not volumes, are looked at safely.
    ASSERT_TRUE(SendMessageTimeoutW(compact, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0, SMTO_ABORTIFHUNG, 5000, &answer));
    DEV_BROADCAST_HDR port{sizeof(DEV_BROADCAST_HDR), DBT_DEVTYP_PORT, 0};
    ASSERT_TRUE(SendMessageTimeoutW(compact, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, reinterpret_cast<LPARAM>(&port),
                                    SMTO_ABORTIFHUNG, 5000, &answer));
    ASSERT_TRUE(program.running());
    ASSERT_TRUE(IsWindowVisible(compact));

    // The session is ending: the program goes through its exit sequence and ends. It does not allow the end
    // before it has saved (the first query is never answered yes); once it is quitting, a further query is
    // answered yes and a session end with 0, while it still serves messages. The three come from this one thread,
    // so the program takes them in this order: the first begins the exit, the other two wait in its queue until
    // the exit serves sent messages (however short its waits for the workers are).
    SentAnswer first;
    SentAnswer query_quitting;
    SentAnswer end_quitting;
    ASSERT_TRUE(sent_with_callback(compact, WM_QUERYENDSESSION, 0, first));
    ASSERT_TRUE(sent_with_callback(compact, WM_QUERYENDSESSION, 0, query_quitting));
    ASSERT_TRUE(sent_with_callback(compact, WM_ENDSESSION, TRUE, end_quitting));
    EXPECT_TRUE(wait_until(EXIT_MS, [&] {
        sent_answers_take();
        return !program.running();
    })) << "the end of the session did not end the program";
    sent_answers_take();
    EXPECT_TRUE(!first.answered || first.answer == 0) << "the session end was allowed before the exit";
    EXPECT_TRUE(query_quitting.answered) << "no answer to a query while quitting";
    EXPECT_EQ(query_quitting.answer, 1u);
    EXPECT_TRUE(end_quitting.answered) << "no answer to the session end while quitting";
    EXPECT_EQ(end_quitting.answer, 0u);
    EXPECT_TRUE(program.ends_within(EXIT_MS)) << "the end of the session did not end the program";
    EXPECT_EQ(program.exit_code(), 0u);
    EXPECT_FALSE(instance_mutex_exists());
}

// ---- The compact window during start-up ----

// The settings code of the defaults with "Start Minimized" on ("Minimize to Tray" is on by default).
std::string start_minimized_code() {
    SettingsCodeValues values = settings_code_defaults();
    values.flags[OPT_START_MINIMIZED - SETTINGS_FLAGS] = 1;
    EXPECT_EQ(values.flags[OPT_MINIMIZE_TO_TRAY - SETTINGS_FLAGS], 1);
    return narrow(settings_code_encode(values));
}

TEST_F(ProgramRun, TheCompactWindowShowsBeforeTheLastStartUpStep) {
    // The program starts suspended until the stand-in for the shell's tray window is in place.
    Program& program = start(L"norepair", CREATE_SUSPENDED);
    std::unique_ptr<ShellTrayStandIn> tray;
    ShellTrayStandIn::Seen seen;
    ASSERT_TRUE(run_to_tray_icon(program, tray, seen));
    EXPECT_TRUE(seen.compact_found) << "no compact window when the tray icon was added";
    EXPECT_TRUE(seen.compact_visible) << "the compact window was still hidden at the last start-up step";
    EXPECT_TRUE(shut_down(program));
}

TEST_F(ProgramRun, StartMinimizedKeepsTheCompactWindowHidden) {
    file_write(folder_ / L"Sotrix.ini", "[Sotrix]\r\nConfig = " + start_minimized_code() + "\r\n");
    Program& program = start(L"norepair", CREATE_SUSPENDED);
    std::unique_ptr<ShellTrayStandIn> tray;
    ShellTrayStandIn::Seen seen;
    ASSERT_TRUE(run_to_tray_icon(program, tray, seen));
    EXPECT_TRUE(seen.compact_found) << "no compact window when the tray icon was added";
    EXPECT_FALSE(seen.compact_visible) << "the compact window showed during start-up";
    // Once the event loop answers, start-up is over.
    HWND compact = program_window(program.id(), WindowKind::COMPACT, false);
    ASSERT_NE(compact, nullptr);
    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutW(compact, WM_NULL, 0, 0, SMTO_NORMAL, START_MS, &answer))
        << "the program's event loop did not answer";
    EXPECT_FALSE(IsWindowVisible(compact)) << "the compact window showed after start-up";
    EXPECT_TRUE(shut_down(program));
}

}  // namespace
