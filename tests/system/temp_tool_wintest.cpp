// The temperature reader against our fake tool: detection, reading, disconnect, the recheck after a pause,
// a tool that is not ready yet, lying and broken memory, and F5's recheck request.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "core/system_query.h"
#include "runtime/temp_folder.h"
#include "runtime/wait_until.h"
#include "system/system_monitor.h"
#include "system/temp_tool_record.h"
#include "system/temp_tool_win.h"

namespace {

// A Linux path of the build as Wine sees it.
std::wstring windows_path(const std::string& linux_path) {
    std::wstring path = L"Z:";
    for (char c : linux_path) path.push_back(c == '/' ? L'\\' : static_cast<wchar_t>(c));
    return path;
}

std::wstring temp_tool_status() {
    std::lock_guard guard(DataFilesLock);
    return DataFiles[DATA_FILE_TEMP_TOOL].status_text;
}

int state() { return SharedInts[TEMP_TOOL_STATE].load(); }

// Our fake tool, copied under the real tool's file name and started with the test's values.
class FakeTool {
public:
    FakeTool(const TempFolder& folder, const std::wstring& arguments) {
        const std::wstring source = windows_path(SOTRIX_FAKES_DIR) + L"\\core_temp.exe";
        const std::wstring target = (folder.Path / L"Core Temp.exe").wstring();
        CopyFileW(source.c_str(), target.c_str(), FALSE);
        std::wstring command = L"\"" + target + L"\" --seconds 60 " + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        started_ = CreateProcessW(target.c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                                  nullptr, &startup, &process_) != 0;
        if (started_) CloseHandle(process_.hThread);
    }
    FakeTool(const FakeTool&) = delete;
    FakeTool& operator=(const FakeTool&) = delete;
    ~FakeTool() { end(); }

    bool started() const { return started_; }

    static bool published() {
        const HANDLE mapping = OpenFileMappingW(FILE_MAP_READ, FALSE, TEMP_TOOL_MAPPING_NAME);
        if (mapping) CloseHandle(mapping);
        return mapping != nullptr;
    }

    // Waits until the memory is published (the fake may have been told to wait first).
    bool wait_published() const { return wait_until(published); }

    // Ends the tool; true once the process list no longer shows it, which the reader must not see.
    bool end() {
        if (!started_) return true;
        TerminateProcess(process_.hProcess, 0);
        WaitForSingleObject(process_.hProcess, 5000);
        CloseHandle(process_.hProcess);
        started_ = false;
        return wait_until([] { return !is_process_running(TEMP_TOOL_PROCESS_NAME); });
    }

private:
    PROCESS_INFORMATION process_{};
    bool started_ = false;
};

class TempToolReader : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(is_process_running(TEMP_TOOL_PROCESS_NAME)) << "a temperature tool already runs";
        shared_tables_init();
        SharedInts[TEMP_TOOL_STATE] = 0;
        SharedInts[HISTORY_LENGTH] = 50;
        text_maps_load(LANGUAGE_ENGLISH);
        temp_tool_set_intervals(3, 2);
    }
    void TearDown() override {
        temp_tool_close();
        temp_tool_set_intervals(24, 4);
    }

    // Steps until the state is `wanted`, at most `steps` times; the number of steps taken, or -1.
    int step_until(int wanted, int steps) {
        for (int taken = 1; taken <= steps; ++taken) {
            temp_tool_step();
            if (state() == wanted) return taken;
        }
        return -1;
    }

    TempFolder folder_;
};

}  // namespace

TEST_F(TempToolReader, ConnectsReadsAndDisconnectsWhenTheToolEnds) {
    temp_tool_step();  // no tool: look again after the pause
    EXPECT_EQ(state(), -3);
    EXPECT_NE(temp_tool_status().find(L"not running"), std::wstring::npos);

    FakeTool tool(folder_, L"--limit 95 --name \"Fake i7\" --temps 40,41.6,42,43");
    ASSERT_TRUE(tool.started());
    ASSERT_TRUE(tool.wait_published());
    EXPECT_EQ(step_until(TEMP_TOOL_CONNECTED, 4), 4) << "3 steps of pause, then the look";
    EXPECT_EQ(temp_tool_status(), L"Core Temp.exe is running");
    EXPECT_EQ(SharedInts[CPU_TEMP_LIMIT].load(), 95);

    temp_tool_step();
    EXPECT_EQ(state(), TEMP_TOOL_CONNECTED);
    EXPECT_FLOAT_EQ(CpuCoreTable[1].temperature.load(), 41.6f);
    EXPECT_FLOAT_EQ(CpuCoreTable[3].temperature.load(), 43.0f);
    temp_tool_step();  // nothing changed, the tool runs: the connection stays
    EXPECT_EQ(state(), TEMP_TOOL_CONNECTED);
    {
        std::lock_guard guard(HistoryMutex);
        ASSERT_EQ(CpuCoreTable[0].history.size(), 2u);
        EXPECT_EQ(CpuCoreTable[0].history.back().temperature, 40);
    }

    ASSERT_TRUE(tool.end()) << "the ended tool still shows in the process list";
    temp_tool_step();
    EXPECT_EQ(state(), -2);
    EXPECT_NE(temp_tool_status().find(L"not running"), std::wstring::npos);
    for (const auto& entry : CpuCoreTable) EXPECT_EQ(entry.temperature.load(), 0.0f);
    std::lock_guard guard(HistoryMutex);
    EXPECT_EQ(CpuCoreTable[0].history.back().temperature, 0) << "the disconnecting step still adds its point";
}

TEST_F(TempToolReader, AToolThatIsNotReadyIsLookedForAgain) {
    FakeTool tool(folder_, L"--delay-ms 3000");
    ASSERT_TRUE(tool.started());
    ASSERT_TRUE(wait_until([] { return is_process_running(TEMP_TOOL_PROCESS_NAME); })) << "the tool did not start";
    temp_tool_step();  // the process runs, its memory is not there yet
    ASSERT_FALSE(FakeTool::published()) << "the memory came before the step looked: the step saw a ready tool";
    EXPECT_LT(state(), 0) << "not stuck in the opening state";
    ASSERT_TRUE(tool.wait_published());
    EXPECT_GT(step_until(TEMP_TOOL_CONNECTED, 5), 0);
}

TEST_F(TempToolReader, RecheckRequestLooksAtOnceUnlessConnected) {
    temp_tool_set_intervals(24, 4);
    temp_tool_step();
    EXPECT_EQ(state(), -24);
    FakeTool tool(folder_, L"");
    ASSERT_TRUE(tool.wait_published());
    temp_tool_recheck_request();
    temp_tool_step();
    EXPECT_EQ(state(), TEMP_TOOL_CONNECTED);
    temp_tool_recheck_request();  // while connected the request changes nothing
    temp_tool_step();
    EXPECT_EQ(state(), TEMP_TOOL_CONNECTED);
}

TEST_F(TempToolReader, BadTemperaturesDisconnectAsInitializing) {
    for (const wchar_t* temperatures : {L"40,nan", L"40,inf", L"40,200"}) {
        shared_tables_init();
        SharedInts[TEMP_TOOL_STATE] = 0;
        FakeTool tool(folder_, std::wstring(L"--temps ") + temperatures);
        ASSERT_TRUE(tool.wait_published());
        EXPECT_EQ(step_until(TEMP_TOOL_CONNECTED, 1), 1);
        temp_tool_step();
        EXPECT_EQ(state(), -2) << temperatures;
        EXPECT_EQ(temp_tool_status(), L"Initializing");
        EXPECT_EQ(CpuCoreTable[1].temperature.load(), 0.0f);
        ASSERT_TRUE(tool.end()) << "the ended tool still shows in the process list";
    }
}

TEST_F(TempToolReader, LyingMemoryIsReadWithinItsBounds) {
    FakeTool tool(folder_, L"--count 100000 --long-name --temps 50,51,52");
    ASSERT_TRUE(tool.wait_published());
    EXPECT_EQ(step_until(TEMP_TOOL_CONNECTED, 1), 1);
    temp_tool_step();
    EXPECT_EQ(state(), TEMP_TOOL_CONNECTED);
    EXPECT_FLOAT_EQ(CpuCoreTable[2].temperature.load(), 52.0f);
    EXPECT_FLOAT_EQ(CpuCoreTable[CPU_CORE_ENTRY_COUNT - 1].temperature.load(), 0.0f);
}
