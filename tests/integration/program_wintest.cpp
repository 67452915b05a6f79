// The real Sotrix.exe under Wine: start-up to the compact window, a second start, the command words
// "shutdown" and "restart", closing, and the end-of-session messages. Each test runs a copy of the program in
// a folder of its own (portable mode), so no test sees another's files, and ends what it started.
#include <windows.h>

#include <dbt.h>

#include <gtest/gtest.h>

#include "integration/program_support.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

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

struct Program {
    PROCESS_INFORMATION process{};
    bool started = false;

    bool running() const { return started && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT; }
    bool ends_within(int milliseconds) const {
        return started && WaitForSingleObject(process.hProcess, static_cast<DWORD>(milliseconds)) == WAIT_OBJECT_0;
    }
    DWORD exit_code() const {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process.hProcess, &code);
        return code;
    }
    void stop() {
        if (!started) return;
        if (running()) {
            TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, 5000);
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        started = false;
    }
};

struct WindowSearch {
    DWORD process_id;
    bool with_canvas;  // the compact window (its cells' canvas), else any of the program's windows
    HWND found;
};

BOOL CALLBACK find_window(HWND hwnd, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    wchar_t class_name[64] = {};
    GetClassNameW(hwnd, class_name, 64);
    if (owner != search->process_id || std::wstring(class_name) != L"SotrixWindow" || !IsWindowVisible(hwnd))
        return TRUE;
    if (search->with_canvas != (FindWindowExW(hwnd, nullptr, L"SotrixCanvas", nullptr) != nullptr)) return TRUE;
    search->found = hwnd;
    return FALSE;
}

HWND wait_for_window(const Program& program, bool compact, int milliseconds) {
    const auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
    while (Clock::now() < end && program.running()) {
        WindowSearch search{program.process.dwProcessId, compact, nullptr};
        EnumWindows(find_window, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        Sleep(50);
    }
    return nullptr;
}

class ProgramRun : public ::testing::Test {
protected:
    void SetUp() override {
        if (!display_available()) GTEST_SKIP() << "no display for windows (start Xvfb and set DISPLAY)";
        // A program left by an earlier, interrupted run would take our starts for second instances.
        ASSERT_TRUE(no_instance_runs()) << "another Sotrix instance runs in this Wine prefix";

        ASSERT_TRUE(program_folder_make(L"sotrix-run-", folder_, exe_)) << GetLastError();
        // A settings file next to the program makes it portable: everything it writes stays in this folder.
        std::ofstream(folder_ / L"Sotrix.ini").put('\n');
    }

    void TearDown() override {
        for (Program& program : programs_) program.stop();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    Program& start(const std::wstring& words) {
        programs_.emplace_back();
        Program& program = programs_.back();
        std::wstring command = L"\"" + exe_.wstring() + L"\" " + words;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        program.started = CreateProcessW(exe_.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                         folder_.c_str(), &startup, &program.process) != FALSE;
        EXPECT_TRUE(program.started) << GetLastError();
        return program;
    }

    std::filesystem::path folder_;
    std::filesystem::path exe_;
    std::vector<Program> programs_;  // reserved below, so references stay valid
public:
    ProgramRun() { programs_.reserve(4); }
};

TEST_F(ProgramRun, StartsWithTheCompactWindowAndItsCloseBoxEndsIt) {
    Program& program = start(L"norepair");
    HWND compact = wait_for_window(program, true, 60000);
    ASSERT_NE(compact, nullptr) << "no compact window";
    wchar_t title[128] = {};
    GetWindowTextW(compact, title, 128);
    EXPECT_EQ(std::wstring(title).rfind(L"Sotrix v", 0), 0u) << "title";
    RECT area{};
    GetWindowRect(compact, &area);
    EXPECT_GE(area.top, 0);
    EXPECT_GE(area.left, 0);
    EXPECT_LE(area.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_LE(area.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_GT(area.right - area.left, 100);

    Sleep(300);  // the cells are drawn when the loop paints
    const std::wstring shots = windows_path(SOTRIX_BINARY_DIR) + L"\\screenshots";
    CreateDirectoryW(shots.c_str(), nullptr);
    EXPECT_TRUE(screenshot_save(compact, shots + L"\\compact_window.bmp"));

    PostMessageW(compact, WM_CLOSE, 0, 0);
    const auto begin = Clock::now();
    EXPECT_TRUE(program.ends_within(5000)) << "the close box did not end the program";
    // Without a window manager Wine waits two seconds to hide the window and two more for its stand-alone
    // tray to drop the icon; the exit itself adds little to that.
    EXPECT_LT(Clock::now() - begin, std::chrono::seconds(6));
    EXPECT_EQ(program.exit_code(), 0u);
    EXPECT_FALSE(instance_mutex_exists());
}

TEST_F(ProgramRun, ASecondStartBringsTheFirstForwardAndEnds) {
    Program& first = start(L"norepair");
    HWND compact = wait_for_window(first, true, 60000);
    ASSERT_NE(compact, nullptr);
    ShowWindow(compact, SW_MINIMIZE);
    Sleep(200);
    ASSERT_TRUE(IsIconic(compact));

    const auto begin = Clock::now();
    Program& second = start(L"norepair");
    HWND notice = wait_for_window(second, false, 20000);
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
    ASSERT_NE(wait_for_window(first, true, 60000), nullptr);
    Program& second = start(L"SHUTDOWN norepair");
    EXPECT_TRUE(second.ends_within(10000));
    EXPECT_EQ(wait_for_window(second, true, 0), nullptr);
    EXPECT_TRUE(first.ends_within(10000)) << "the running instance did not quit";
    EXPECT_EQ(first.exit_code(), 0u);
}

TEST_F(ProgramRun, TheWordRestartTakesOver) {
    Program& first = start(L"norepair");
    ASSERT_NE(wait_for_window(first, true, 60000), nullptr);
    Program& second = start(L"restart norepair");
    EXPECT_TRUE(first.ends_within(10000)) << "the running instance did not hand over";
    HWND compact = wait_for_window(second, true, 60000);
    EXPECT_NE(compact, nullptr) << "the new instance did not start";
    EXPECT_TRUE(second.running());
    EXPECT_TRUE(instance_mutex_exists());
}

TEST_F(ProgramRun, EndOfSessionMessages) {
    Program& program = start(L"norepair");
    HWND compact = wait_for_window(program, true, 60000);
    ASSERT_NE(compact, nullptr);
    DWORD_PTR answer = 99;

    // A session end that another program cancelled changes nothing.
    ASSERT_TRUE(SendMessageTimeoutW(compact, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer));
    EXPECT_EQ(answer, 0u);

    // Device messages without a header, or for devices that are not volumes, are looked at safely.
    ASSERT_TRUE(SendMessageTimeoutW(compact, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0, SMTO_ABORTIFHUNG, 5000, &answer));
    DEV_BROADCAST_HDR port{sizeof(DEV_BROADCAST_HDR), DBT_DEVTYP_PORT, 0};
    ASSERT_TRUE(SendMessageTimeoutW(compact, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, reinterpret_cast<LPARAM>(&port),
                                    SMTO_ABORTIFHUNG, 5000, &answer));
    Sleep(500);
    EXPECT_TRUE(program.running());

    // The session is ending: the program goes through its exit sequence and ends.
    SendMessageTimeoutW(compact, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer);
    EXPECT_TRUE(program.ends_within(10000)) << "the end of the session did not end the program";
    EXPECT_EQ(program.exit_code(), 0u);
    EXPECT_FALSE(instance_mutex_exists());
}

}  // namespace
