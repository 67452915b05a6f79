// The real Sotrix.exe with our stand-in for the outside temperature tool running beside it: the program finds the
// tool by its process name, reads its shared memory, and shows the temperatures in the compact window's CPU cell
// (its text, which the compact window's title repeats when the title shows the CPU cell) and in the Processors
// tab's temperature strip (the colour of its newest column and the read-out of its newest point); when the tool
// publishes other temperatures, both follow.
#include <windows.h>

#include <gtest/gtest.h>

#include "integration/program_actions.h"
#include "integration/program_support.h"

#include <filesystem>
#include <string>

#include "core/control_numbers.h"
#include "core/settings_code.h"
#include "core/shared_state.h"

namespace {

// Our fake tool under the real tool's file name, publishing the temperatures it is started with; each line written
// to it publishes new ones, as the real tool updates its memory in place.
class FakeTempTool {
public:
    FakeTempTool() = default;
    FakeTempTool(const FakeTempTool&) = delete;
    FakeTempTool& operator=(const FakeTempTool&) = delete;
    ~FakeTempTool() { stop(); }

    ::testing::AssertionResult start(const std::filesystem::path& folder, const std::wstring& arguments) {
        const std::filesystem::path exe = folder / L"Core Temp.exe";
        if (!CopyFileW(windows_path(SOTRIX_FAKES_DIR "/core_temp.exe").c_str(), exe.c_str(), FALSE))
            return ::testing::AssertionFailure() << "the fake tool could not be copied: " << GetLastError();
        SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        HANDLE tool_end = nullptr;
        if (!CreatePipe(&tool_end, &input_, &inherited, 0)) return ::testing::AssertionFailure() << "no pipe";
        SetHandleInformation(input_, HANDLE_FLAG_INHERIT, 0);
        std::wstring command = L"\"" + exe.wstring() + L"\" --follow " + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = tool_end;
        startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        started_ = CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                  folder.c_str(), &startup, &process_) != FALSE;
        CloseHandle(tool_end);
        if (!started_) return ::testing::AssertionFailure() << "the fake tool did not start: " << GetLastError();
        return ::testing::AssertionSuccess();
    }

    // Publishes new temperatures ("A,B,...", one per core).
    bool publish(const std::string& temperatures) const {
        const std::string line = temperatures + "\n";
        DWORD written = 0;
        return WriteFile(input_, line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
               written == line.size();
    }

    // Ends the tool: its input closes, and it ends with it.
    void stop() {
        if (input_) CloseHandle(input_);
        input_ = nullptr;
        if (!started_) return;
        if (WaitForSingleObject(process_.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(process_.hProcess, 1);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
        started_ = false;
    }

private:
    PROCESS_INFORMATION process_{};
    HANDLE input_ = nullptr;
    bool started_ = false;
};

// What the program shows of one temperature: the CPU cell's end, the strip's colour for it (the temperature
// ramp: 40 C is RGB(240, 255, 255), 75 C is RGB(255, 57, 57)) and the read-out's words.
struct Shown {
    const char* published;
    std::wstring cell_end;
    uint32_t strip_colour;
    std::wstring readout;
};

class TemperatureProgram : public ProgramTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_prepare(L"sotrix-temp-"));
        // The compact window's title shows the CPU cell's text.
        SettingsCodeValues values = settings_code_defaults();
        values.title_mode = TITLE_MODE_CPU;
        file_write(folder_ / L"Sotrix.ini", settings_file_text(values));
    }
    void TearDown() override {
        ProgramTest::TearDown();
        tool_.stop();
    }

    FakeTempTool tool_;
};

TEST_F(TemperatureProgram, TheCpuCellAndTheStripShowTheToolsTemperaturesAndFollowThem) {
    ASSERT_TRUE(tool_.start(folder_, L"--limit 95 --temps 40,41"));
    Program& program = start(L"norepair processors");
    const HWND main = wait_for_window(program, WindowKind::MAIN);
    ASSERT_NE(main, nullptr) << "no main window";
    SetWindowPos(main, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const HWND compact = program_window(program.id(), WindowKind::COMPACT);
    ASSERT_NE(compact, nullptr) << "no compact window";
    const HWND strip = descendants_of(main).at(CANVAS_CPU_TEMPERATURE);

    const Shown steps[] = {{"40,41", L"  40C", 0xF0FFFF, L"CPU 40C ~"}, {"75,76", L"  75C", 0xFF3939, L"CPU 75C ~"}};
    for (const Shown& step : steps) {
        SCOPED_TRACE(step.published);
        ASSERT_TRUE(tool_.publish(step.published));
        // The sampler looks for the tool, connects, and reads its temperatures every 2.5 s.
        std::wstring cell;
        EXPECT_TRUE(wait_until(START_MS, [&] { return (cell = title_of(compact)).ends_with(step.cell_end); }))
            << "the CPU cell shows \"" << narrow(cell) << "\"";
        EXPECT_TRUE(strip_newest_shows(main, strip, step.strip_colour, step.readout, 15000));
    }
    picture_save(window_picture(main), screenshots_folder() + L"\\temperature_strip.bmp");
    EXPECT_TRUE(shut_down(program));
}

// Without the tool the sampler looks for it again only after a minute; F5 on the About tab has it look at its next
// step, so a tool started after the program is found at once.
TEST_F(TemperatureProgram, F5OnTheAboutTabFindsAToolStartedLater) {
    Program& program = start(L"norepair about");
    const HWND compact = wait_for_window(program, WindowKind::COMPACT);
    ASSERT_NE(compact, nullptr) << "no compact window";
    const HWND main = wait_for_window(program, WindowKind::MAIN);
    ASSERT_NE(main, nullptr) << "no main window";
    // The title shows the CPU cell once the sampler's first processor step, which looks for the tool, has run.
    std::wstring cell;
    ASSERT_TRUE(wait_until(START_MS, [&] { return (cell = title_of(compact)).find(L"Sotrix") == std::wstring::npos; }))
        << "the title still reads \"" << narrow(cell) << "\"";
    Sleep(3000);
    ASSERT_TRUE(tool_.start(folder_, L"--limit 95 --temps 40,41"));
    ASSERT_TRUE(tool_.publish("40,41"));
    const auto shown = [&] { return (cell = title_of(compact)).ends_with(L"  40C"); };
    EXPECT_FALSE(wait_until(6000, shown)) << "found before F5: the test cannot tell what F5 does";
    ASSERT_TRUE(key_press(main, VK_F5));
    EXPECT_TRUE(wait_until(15000, shown)) << "after F5 the CPU cell shows \"" << narrow(cell) << "\"";
    EXPECT_TRUE(shut_down(program));
}

}  // namespace
