// The whole exit sequence in a child process: the finishing thread writes the log and the session history
// after the workers stopped or were killed; a lock a killed worker left held costs only the step that needs
// it; and without a finishing thread the main thread does the same work.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <mutex>
#include <string>

#include "app/exit_sequence.h"
#include "app/exit_sequence_win.h"
#include "core/control_numbers.h"
#include "core/event_lists.h"
#include "core/language.h"
#include "core/log_file.h"
#include "core/saga_store.h"
#include "core/settings_file.h"
#include "core/settings_file_hooks.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "runtime/date.h"
#include "runtime/file_io.h"
#include "runtime/gui/gui.h"
#include "runtime/gui/window/window.h"
#include "runtime/list_model.h"
#include "runtime/temp_folder.h"
#include "runtime/text.h"
#include "runtime/threads.h"

namespace {

using Clock = std::chrono::steady_clock;

// The child learns its scenario and folder from these; the parent sets them only while it starts the child.
constexpr const wchar_t* SCENARIO_VARIABLE = L"SOTRIX_EXIT_TEST_SCENARIO";
constexpr const wchar_t* FOLDER_VARIABLE = L"SOTRIX_EXIT_TEST_FOLDER";

// How the child ends when its scenario could not run.
enum ChildFailure : UINT { CHILD_NO_GUI = 71, CHILD_NO_WINDOW = 72, CHILD_EXIT_RETURNED = 73 };

std::string child_failure_text(DWORD code) {
    switch (code) {
        case 0: return {};
        case CHILD_NO_GUI:
            return "the child could not set up the windowing layer (no display? start Xvfb and set DISPLAY)\n";
        case CHILD_NO_WINDOW:
            return "the child could not open its window (no display for windows? start Xvfb and set DISPLAY)\n";
        case CHILD_EXIT_RETURNED: return "program_exit returned instead of ending the process\n";
        default: return "the child ended with code " + std::to_string(code) + "\n";
    }
}

constexpr const wchar_t* EVENT_TEXT = L"event line before the exit";
constexpr const wchar_t* LOG_TEXT = L"log line before the exit";

std::wstring environment(const wchar_t* name) {
    wchar_t value[1024];
    const DWORD length = GetEnvironmentVariableW(name, value, 1024);
    return length > 0 && length < 1024 ? std::wstring(value, length) : std::wstring();
}

std::wstring with_separator(std::wstring folder) {
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    return folder;
}

std::wstring data_folder_of(const std::wstring& root) { return with_separator(root) + L"AppData\\Brindale\\"; }

// ---- The child: a program state as after start-up, then the exit ----

// Ends once the exit raises QUIT_FLAG, as every worker does.
void cooperative_worker(int64_t) {
    while (SharedInts[QUIT_FLAG].load() == 0) Sleep(10);
}

HANDLE never_set = CreateEventW(nullptr, TRUE, FALSE, nullptr);

// Ignores QUIT_FLAG: the exit waits about two seconds for it, then kills it.
void stubborn_worker(int64_t) { WaitForSingleObject(never_set, INFINITE); }

// Takes the log buffer's lock once the exit has begun and never lets it go: killed while holding it, it
// leaves the lock held for ever.
void log_lock_holding_worker(int64_t) {
    while (SharedInts[QUIT_FLAG].load() == 0) Sleep(1);
    LogBufferLock.lock();
    WaitForSingleObject(never_set, INFINITE);
}

HANDLE thread_create_failing(LPTHREAD_START_ROUTINE, void*) { return nullptr; }

[[noreturn]] void child_exit_run(const std::wstring& scenario, const std::wstring& root) {
    const std::wstring appdata = with_separator(root) + L"AppData\\";
    const std::wstring data = data_folder_of(root);
    std::filesystem::create_directories(file_path(data));
    if (!gui_init()) ExitProcess(CHILD_NO_GUI);
    SharedStateFacts facts;
    facts.appdata_folder = appdata;
    facts.log_folder = data;
    shared_state_init(facts);
    shared_tables_init();
    text_maps_load(LANGUAGE_ENGLISH);
    data_files_init(with_separator(root) + L"Program\\Sotrix.exe", appdata, date_now());
    data_files_translate();
    {
        std::lock_guard guard(DataFilesLock);
        for (auto* entry : {&DataFiles[DATA_FILE_SETTINGS], &DataFiles[DATA_FILE_LOG], &DataFiles[DATA_FILE_PING],
                            &DataFiles[DATA_FILE_SAGA]}) {
            entry->folder = data;
        }
        DataFiles[DATA_FILE_LOG].alt_folder = data;
    }
    settings_ui_hooks_set(SettingsUiHooks{});
    settings_file_reset();
    saga_store_reset();
    log_buffer_reset();
    SharedInts[OPT_RESTORE_SESSION] = 1;
    SharedInts[OPT_LOG_FILE] = 1;
    SharedInts[OPT_LOG_SYSTEM_EVENTS] = 1;
    saga_lists_load(saga_file_path());  // start-up's load: no history yet
    event_line_add(LIST_SYSTEM_EVENTS, EVENT_TEXT);
    log_line_add(LOG_TEXT);
    if (!window_open(WIN_COMPACT, 0, 0, 100, 50, L"exit test", WINDOW_CAPTION | WINDOW_INVISIBLE))
        ExitProcess(CHILD_NO_WINDOW);

    SharedQuads[SYSTEM_SAMPLER_THREAD] = thread_create(cooperative_worker, 0);
    if (scenario == L"killed" || scenario == L"no thread")
        SharedQuads[NETWORK_THREAD] = thread_create(stubborn_worker, 0);
    if (scenario == L"log lock") SharedQuads[NETWORK_THREAD] = thread_create(log_lock_holding_worker, 0);
    if (scenario == L"no thread") exit_thread_create_set(thread_create_failing);
    program_exit();
    ExitProcess(CHILD_EXIT_RETURNED);
}

// ---- The parent ----

struct ChildResult {
    bool ended = false;
    DWORD exit_code = 0;
    double seconds = 0;
    std::string output;
};

// Runs the current test again in a child process with the scenario; waits at most `deadline`.
ChildResult child_exit_start(const std::wstring& scenario, const std::filesystem::path& root,
                             std::chrono::seconds deadline) {
    ChildResult result;
    wchar_t exe[MAX_PATH];
    if (GetModuleFileNameW(nullptr, exe, MAX_PATH) == 0) return result;
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::wstring command = L"\"" + std::wstring(exe) + L"\" --gtest_filter=" + wide_from_utf8(test->test_suite_name()) +
                           L"." + wide_from_utf8(test->name());
    const std::wstring output_path = (root / "child-output.txt").wstring();
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE output = CreateFileW(output_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = output;
    startup.hStdError = output;
    PROCESS_INFORMATION process{};
    SetEnvironmentVariableW(SCENARIO_VARIABLE, scenario.c_str());
    SetEnvironmentVariableW(FOLDER_VARIABLE, root.wstring().c_str());
    const auto start = Clock::now();
    const BOOL started =
        CreateProcessW(exe, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    SetEnvironmentVariableW(SCENARIO_VARIABLE, nullptr);
    SetEnvironmentVariableW(FOLDER_VARIABLE, nullptr);
    if (output != INVALID_HANDLE_VALUE) CloseHandle(output);
    if (!started) return result;
    const DWORD waited = WaitForSingleObject(process.hProcess, static_cast<DWORD>(deadline.count() * 1000));
    result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    result.ended = waited == WAIT_OBJECT_0;
    if (!result.ended) {
        TerminateProcess(process.hProcess, 99);
        WaitForSingleObject(process.hProcess, 10000);
    }
    GetExitCodeProcess(process.hProcess, &result.exit_code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    file_read_all(file_path(output_path), result.output, 1 << 20);
    return result;
}

std::string file_text(const std::wstring& path) {
    std::string bytes;
    if (!file_read_all(file_path(path), bytes, 16 << 20)) return {};
    return bytes;
}

bool contains(const std::string& bytes, const wchar_t* text) {
    return bytes.find(utf8_from_wide(text)) != std::string::npos;
}

// The month's log files in the data folder, concatenated.
std::string log_files_text(const std::wstring& data) {
    std::string text;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(file_path(data), error)) {
        const std::wstring name = entry.path().filename().wstring();
        if (name.starts_with(L"SX") && name.ends_with(L".log")) text += file_text(data + name);
    }
    return text;
}

// The history file read back as a history: empty when it is missing or not whole.
std::vector<SSys> history_records(const std::wstring& path) {
    std::vector<SSys> records;
    std::wstring error;
    const std::string bytes = file_text(path);
    if (bytes.empty() || !saga_records_parse(bytes, records, error)) records.clear();
    return records;
}

bool history_has(const std::vector<SSys>& records, const wchar_t* text) {
    for (const SSys& record : records) {
        for (const SValues& value : record.SV) {
            if (value.L.find(text) != std::wstring::npos) return true;
        }
    }
    return false;
}

// The settings file read back: its Config text, empty when the file is missing or not whole.
std::wstring settings_config(const std::wstring& path) {
    SettingsFileTexts texts;
    std::wstring error;
    const std::string bytes = file_text(path);
    if (bytes.empty() || !settings_parse(bytes, texts, error)) return {};
    return texts.Config;
}

// In the child, runs its scenario and never returns.
void child_run_when_asked() {
    const std::wstring scenario = environment(SCENARIO_VARIABLE);
    if (!scenario.empty()) child_exit_run(scenario, environment(FOLDER_VARIABLE));
}

TEST(ExitFinalThread, SavesTheLogAndTheHistoryAfterTheWorkersStoppedOrWereKilled) {
    child_run_when_asked();
    struct Case {
        const wchar_t* scenario;
        const char* name;
    };
    const Case cases[] = {
        {L"saves", "every worker stops"},
        {L"killed", "a worker never stops and is killed"},
        {L"no thread", "no finishing thread can be made: the main thread kills and saves"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        TempFolder root;
        const ChildResult child = child_exit_start(test.scenario, root.Path, std::chrono::seconds(60));
        ASSERT_TRUE(child.ended) << "the exit did not end within 60 s\n" << child.output;
        ASSERT_EQ(child.exit_code, 0u) << child_failure_text(child.exit_code) << child.output;
        const std::wstring data = data_folder_of(root.Path.wstring());

        EXPECT_FALSE(settings_config(data + L"Sotrix.ini").empty()) << "no whole settings file\n" << child.output;
        const std::string history = file_text(data + L"SX-Saga.json");
        EXPECT_TRUE(contains(history, EVENT_TEXT)) << history << child.output;
        // The exit's own lines come before the save.
        EXPECT_TRUE(contains(history, L"Sotrix v")) << history;
        EXPECT_TRUE(contains(history, L" stopped")) << history;

        const std::string log = log_files_text(data);
        EXPECT_TRUE(contains(log, LOG_TEXT)) << log << child.output;
        EXPECT_TRUE(contains(log, L" stopped")) << log;
        EXPECT_TRUE(contains(log, L" closed. Uptime")) << "no closing line: the final flush did not run\n" << log;
    }
}

TEST(ExitFinalThread, AWorkerKilledHoldingTheLogLockCostsOnlyTheLogFlush) {
    child_run_when_asked();
    TempFolder root;
    const ChildResult child = child_exit_start(L"log lock", root.Path, std::chrono::seconds(60));
    ASSERT_TRUE(child.ended) << "the exit hung: still running after 60 s\n" << child.output;
    ASSERT_EQ(child.exit_code, 0u) << child_failure_text(child.exit_code) << child.output;
    // About two seconds for the workers and at most eight for the finishing work; the rest is room for a busy
    // machine and for Wine starting the process.
    EXPECT_LT(child.seconds, 40.0) << "the exit outlasted its bounds";
    const std::wstring data = data_folder_of(root.Path.wstring());

    EXPECT_FALSE(settings_config(data + L"Sotrix.ini").empty()) << "no whole settings file\n" << child.output;
    const std::vector<SSys> history = history_records(data + L"SX-Saga.json");
    ASSERT_FALSE(history.empty()) << "no whole session history: the save waited for the log's lock\n"
                                  << file_text(data + L"SX-Saga.json") << child.output;
    EXPECT_TRUE(history_has(history, EVENT_TEXT));
    EXPECT_TRUE(history_has(history, L" stopped"));
    // The skipped flush is noted where the next session shows it.
    EXPECT_TRUE(history_has(history, L"log flush skipped, LogBufferLock")) << file_text(data + L"SX-Saga.json");
    EXPECT_FALSE(contains(log_files_text(data), L" closed. Uptime")) << "the log was flushed past a held lock?";
}

}  // namespace
