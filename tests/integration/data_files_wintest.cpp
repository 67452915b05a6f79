// The real Sotrix.exe's files under Wine: settings that survive a run and its "shutdown", a damaged settings
// file or session history set aside and its backup used (and said so in the System Events list and the log),
// the monthly log and the session history left complete, and the roaming data folder when no settings file
// lies beside the program.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include "integration/program_support.h"

#include <filesystem>
#include <nlohmann/json.hpp>
#include <regex>
#include <string>
#include <vector>

#include "core/control_numbers.h"
#include "core/settings_code.h"
#include "core/shared_state.h"
#include "core/window_positions.h"
#include "runtime/text.h"

namespace {

namespace fs = std::filesystem;

// A settings code: the defaults with the given option flags turned on and the given changes.
std::string settings_code_with(const std::vector<int>& options_on,
                               const std::function<void(SettingsCodeValues&)>& change = nullptr) {
    SettingsCodeValues values = settings_code_defaults();
    for (const int option : options_on) values.flags[static_cast<size_t>(option - SETTINGS_FLAGS)] = 1;
    if (change) change(values);
    return utf8_from_wide(settings_code_encode(values));
}

std::string settings_file_with(const std::string& code, const std::string& more = "") {
    return "[Sotrix]\r\nConfig=" + code + "\r\n" + more;
}

// The layered alpha of a window; -1 when it has none.
int layered_alpha(HWND hwnd) {
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    if (!GetLayeredWindowAttributes(hwnd, &key, &alpha, &flags) || !(flags & LWA_ALPHA)) return -1;
    return alpha;
}

// The monthly log files of a folder.
std::vector<fs::path> log_files(const fs::path& folder) {
    std::vector<fs::path> found;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        const std::wstring name = entry->path().filename().wstring();
        if (name.size() == 12 && name.rfind(L"SX", 0) == 0 && name.ends_with(L".log")) found.push_back(entry->path());
    }
    return found;
}

std::vector<std::string> lines_of(const std::string& bytes) {
    std::vector<std::string> lines;
    std::istringstream in(bytes);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool has_text(const std::string& bytes, const std::string& part) { return bytes.find(part) != std::string::npos; }

// The rows of the System Events list of the program's main window (shown or not) once one of them contains
// all the parts; the rows as they are when the time ran out.
std::vector<std::wstring> system_events_once(const Program& program, const std::vector<std::wstring>& parts) {
    std::vector<std::wstring> rows;
    wait_until(20000, [&] {
        HWND main = program_window(program.id(), WindowKind::MAIN, false);
        if (!main) return false;
        const auto inside = descendants_of(main);
        const auto list = inside.find(LIST_SYSTEM_EVENTS);
        if (list == inside.end()) return false;
        rows = list_view_rows(list->second);
        return any_row_has(rows, parts);
    });
    return rows;
}

class DataFiles : public ProgramTest {
protected:
    void SetUp() override { ASSERT_TRUE(folder_prepare(L"sotrix-files-")); }
};

TEST_F(DataFiles, SettingsSurviveARunAndItsShutdown) {
    // Transparent at step 5, the uptime in the title, positions remembered, the compact window placed.
    const std::string code = settings_code_with({OPT_TRANSPARENT, OPT_REMEMBER_POSITIONS}, [](SettingsCodeValues& v) {
        v.opacity_step = 5;
        v.title_mode = 5;
    });
    file_write(folder_ / L"Sotrix.ini", settings_file_with(code, "Digits=v200w150x300y220\r\n"));
    const int alpha = 5 * 10 * 255 / 100;

    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        Program& program = start(L"norepair");
        HWND compact = wait_for_window(program, WindowKind::COMPACT);
        ASSERT_NE(compact, nullptr) << "no compact window";
        EXPECT_EQ(layered_alpha(compact), alpha) << "the opacity of the settings";
        EXPECT_TRUE(wait_until(10000, [&] { return text_of(compact).find(L"Uptime") != std::wstring::npos; }))
            << "the title does not show the uptime: " << narrow(text_of(compact));
        // The window opens at the saved place, also when its content is narrower than the window it opened
        // with: the second run opens where the first one saved, not further right.
        RECT place{};
        GetWindowRect(compact, &place);
        EXPECT_EQ(place.left, 300);
        EXPECT_EQ(place.top, 220);
        ASSERT_TRUE(shut_down(program));

        const std::string saved = file_bytes(folder_ / L"Sotrix.ini");
        SettingsCodeValues values;
        ASSERT_TRUE(settings_code_decode(wide_of(ini_value(saved, "Config")), values)) << saved;
        EXPECT_EQ(values.opacity_step, 5);
        EXPECT_EQ(values.title_mode, 5);
        EXPECT_EQ(values.flags[OPT_TRANSPARENT - SETTINGS_FLAGS], 1);
        EXPECT_EQ(values.flags[OPT_REMEMBER_POSITIONS - SETTINGS_FLAGS], 1);
        WindowPositions positions;
        window_positions_parse(wide_of(ini_value(saved, "Digits")), positions);
        EXPECT_EQ(positions.compact_x, place.left) << saved;
        EXPECT_EQ(positions.compact_y, 220) << saved;
        EXPECT_EQ(positions.main_x, 200) << saved;
        EXPECT_EQ(positions.main_y, 150) << saved;
    }
}

TEST_F(DataFiles, ADamagedSettingsFileIsSetAsideAndItsBackupUsed) {
    const std::string damaged("[Sotrix]\r\nConfig=\0\x01\x02", 20);  // binary: NUL bytes
    file_write(folder_ / L"Sotrix.ini", damaged);
    const std::string code = settings_code_with({OPT_TRANSPARENT, OPT_LOG_FILE, OPT_LOG_SYSTEM_EVENTS},
                                                [](SettingsCodeValues& v) { v.opacity_step = 3; });
    file_write(folder_ / L"Sotrix.ini.bak", settings_file_with(code));

    Program& program = start(L"norepair");
    HWND compact = wait_for_window(program, WindowKind::COMPACT);
    ASSERT_NE(compact, nullptr) << "no compact window";
    EXPECT_EQ(layered_alpha(compact), 3 * 10 * 255 / 100) << "the backup's opacity";
    EXPECT_EQ(file_bytes(folder_ / L"Sotrix.ini.bad"), damaged) << "the damaged file was not kept";
    const std::vector<std::wstring> rows =
        system_events_once(program, {L"Sotrix.ini could not be read", L"Sotrix.ini.bad", L"backup"});
    EXPECT_TRUE(any_row_has(rows, {L"Sotrix.ini could not be read", L"Sotrix.ini.bad", L"backup"}))
        << "System Events:" << rows_listing(rows);
    ASSERT_TRUE(shut_down(program));

    // The settings of the backup are written anew; the damaged file stays set aside.
    const std::string saved = file_bytes(folder_ / L"Sotrix.ini");
    SettingsCodeValues values;
    EXPECT_TRUE(settings_code_decode(wide_of(ini_value(saved, "Config")), values)) << saved;
    EXPECT_EQ(values.opacity_step, 3);
    EXPECT_EQ(file_bytes(folder_ / L"Sotrix.ini.bad"), damaged);
    const std::vector<fs::path> logs = log_files(folder_);
    ASSERT_EQ(logs.size(), 1u) << "no monthly log";
    const std::string log = file_bytes(logs[0]);
    EXPECT_TRUE(has_text(log, "Sotrix.ini could not be read") && has_text(log, "Sotrix.ini.bad")) << log;
}

TEST_F(DataFiles, ADamagedSessionHistoryIsSetAsideAndItsBackupRestored) {
    file_write(folder_ / L"Sotrix.ini",
               settings_file_with(settings_code_with({OPT_RESTORE_SESSION, OPT_LOG_FILE, OPT_LOG_SYSTEM_EVENTS})));
    const std::string damaged = "[{\"Name\": \"System Events\", \"Last\": 1, \"SV\": [{\"L\": ";
    file_write(folder_ / L"SX-Saga.json", damaged);
    file_write(folder_ / L"SX-Saga.bak",
               R"([{"Name":"System Events","Last":1,"SV":[{"L":"01-02  03:04:05 - Remembered from the backup"}]}])");

    Program& program = start(L"norepair");
    ASSERT_NE(wait_for_window(program, WindowKind::COMPACT), nullptr) << "no compact window";
    const std::vector<std::wstring> told =
        system_events_once(program, {L"SX-Saga.json could not be read", L"SX-Saga.json.bad", L"backup"});
    EXPECT_TRUE(any_row_has(told, {L"SX-Saga.json could not be read", L"SX-Saga.json.bad", L"backup"}))
        << "System Events:" << rows_listing(told);
    // The rows of the backup are put back after the line that tells of it.
    const std::vector<std::wstring> restored = system_events_once(program, {L"Remembered from the backup"});
    EXPECT_TRUE(any_row_has(restored, {L"Remembered from the backup"})) << "System Events:" << rows_listing(restored);
    EXPECT_EQ(file_bytes(folder_ / L"SX-Saga.json.bad"), damaged) << "the damaged file was not kept";
    ASSERT_TRUE(shut_down(program));

    EXPECT_EQ(file_bytes(folder_ / L"SX-Saga.json.bad"), damaged);
    const nlohmann::json saga = nlohmann::json::parse(file_bytes(folder_ / L"SX-Saga.json"), nullptr, false);
    ASSERT_FALSE(saga.is_discarded()) << "the session history is not JSON";
    EXPECT_TRUE(has_text(saga.dump(), "Remembered from the backup")) << saga.dump();
    const std::vector<fs::path> logs = log_files(folder_);
    ASSERT_EQ(logs.size(), 1u) << "no monthly log";
    const std::string log = file_bytes(logs[0]);
    EXPECT_TRUE(has_text(log, "SX-Saga.json could not be read") && has_text(log, "SX-Saga.json.bad")) << log;
}

TEST_F(DataFiles, TheLogAndTheSessionHistoryAreCompleteAfterShutdown) {
    const std::wstring program = L"Sotrix v" + wide_of(SOTRIX_VERSION_NUMBER);
    const std::wstring version = program + (sizeof(void*) == 8 ? L" x64 101" : L" x86 102");
    file_write(folder_ / L"Sotrix.ini",
               settings_file_with(settings_code_with({OPT_RESTORE_SESSION, OPT_LOG_FILE, OPT_LOG_SYSTEM_EVENTS})));
    Program& run = start(L"norepair");
    ASSERT_NE(wait_for_window(run, WindowKind::COMPACT), nullptr) << "no compact window";
    ASSERT_TRUE(shut_down(run));

    const std::vector<fs::path> logs = log_files(folder_);
    ASSERT_EQ(logs.size(), 1u) << "no monthly log";
    const std::vector<std::string> lines = lines_of(file_bytes(logs[0]));
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines[0].rfind("'File Created by " + narrow(version) + " on ", 0), 0u) << lines[0];
    EXPECT_EQ(lines[1].rfind("'Drive Key: ", 0), 0u) << lines[1];
    EXPECT_EQ(lines[2].rfind("'StMon Key: ", 0), 0u) << lines[2];
    EXPECT_EQ(lines[3].rfind("'NeEvt Key: ", 0), 0u) << lines[3];
    const std::regex stamped("[0-3][0-9][0-2][0-9][0-5][0-9][0-5][0-9] .+");
    for (size_t i = 4; i < lines.size(); ++i) EXPECT_TRUE(std::regex_match(lines[i], stamped)) << lines[i];
    EXPECT_TRUE(std::any_of(lines.begin() + 4, lines.end(),
                            [&](const std::string& line) { return has_text(line, narrow(program) + " started"); }));
    EXPECT_TRUE(std::regex_match(lines.back(), std::regex("[0-9]{8} " + narrow(version) + " closed\\. Uptime: .*")))
        << "no closing line: " << lines.back();

    const nlohmann::json saga = nlohmann::json::parse(file_bytes(folder_ / L"SX-Saga.json"), nullptr, false);
    ASSERT_FALSE(saga.is_discarded()) << "the session history is not JSON";
    ASSERT_TRUE(saga.is_array());
    bool stopped = false;
    for (const nlohmann::json& list : saga) {
        if (list.value("Name", "") != "System Events") continue;
        for (const nlohmann::json& row : list.value("SV", nlohmann::json::array())) {
            stopped = stopped || has_text(row.value("L", ""), narrow(program) + " stopped");
        }
    }
    EXPECT_TRUE(stopped) << "the session history lacks the end of the run: " << saga.dump();

    // With the log off no log is written.
    fs::remove(logs[0]);
    file_write(folder_ / L"Sotrix.ini", settings_file_with(settings_code_with({})));
    Program& quiet = start(L"norepair");
    ASSERT_NE(wait_for_window(quiet, WindowKind::COMPACT), nullptr) << "no compact window";
    ASSERT_TRUE(shut_down(quiet));
    EXPECT_TRUE(log_files(folder_).empty());
}

// The roaming data folder "%APPDATA%\Brindale": one that is there already is moved aside for the test and put
// back afterwards; the one the test made is removed.
class RoamingFolder {
public:
    RoamingFolder() {
        wchar_t appdata[MAX_PATH] = {};
        if (SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appdata) != S_OK) return;
        folder_ = fs::path(appdata) / L"Brindale";
        aside_ = fs::path(appdata) / L"Brindale.before-sotrix-test";
        std::error_code error;
        // A copy left by an interrupted run is the user's folder: it goes back first.
        if (fs::exists(aside_, error) && !fs::exists(folder_, error)) fs::rename(aside_, folder_, error);
        if (fs::exists(folder_, error)) {
            fs::rename(folder_, aside_, error);
            moved_ = !error;
        }
    }
    ~RoamingFolder() {
        std::error_code error;
        if (folder_.empty()) return;
        fs::remove_all(folder_, error);
        if (moved_) fs::rename(aside_, folder_, error);
    }
    RoamingFolder(const RoamingFolder&) = delete;
    RoamingFolder& operator=(const RoamingFolder&) = delete;

    bool ready() const {
        std::error_code error;
        return !folder_.empty() && !fs::exists(folder_, error);
    }
    const fs::path& path() const { return folder_; }

private:
    fs::path folder_;
    fs::path aside_;
    bool moved_ = false;
};

TEST_F(DataFiles, WithoutASettingsFileBesideItTheProgramUsesTheRoamingFolder) {
    // The program lies in the temporary folder, on the drive of the roaming folder: with no settings file
    // anywhere it is not a carried copy and keeps its files in the roaming folder.
    RoamingFolder roaming;
    ASSERT_TRUE(roaming.ready()) << "the roaming folder could not be prepared";
    std::error_code error;
    ASSERT_FALSE(fs::exists(folder_ / L"Sotrix.ini", error));

    // With no settings anywhere and the defaults unchanged, the run writes nothing beside the program.
    Program& first = start(L"norepair");
    ASSERT_NE(wait_for_window(first, WindowKind::COMPACT), nullptr) << "no compact window";
    ASSERT_TRUE(shut_down(first));

    // With settings in the roaming folder that keep a log and the session history, those go there too.
    fs::create_directories(roaming.path(), error);
    file_write(roaming.path() / L"Sotrix.ini",
               settings_file_with(settings_code_with({OPT_RESTORE_SESSION, OPT_LOG_FILE, OPT_LOG_SYSTEM_EVENTS})));
    Program& second = start(L"norepair");
    ASSERT_NE(wait_for_window(second, WindowKind::COMPACT), nullptr) << "no compact window";
    ASSERT_TRUE(shut_down(second));
    EXPECT_EQ(log_files(roaming.path()).size(), 1u) << "no monthly log in the roaming folder";
    EXPECT_TRUE(fs::exists(roaming.path() / L"SX-Saga.json", error)) << "no session history in the roaming folder";
    // Beside the program there is nothing but the program.
    std::vector<std::wstring> beside;
    for (fs::directory_iterator entry(folder_, error), end; !error && entry != end; entry.increment(error)) {
        if (entry->path().filename() != L"Sotrix.exe") beside.push_back(entry->path().filename().wstring());
    }
    EXPECT_TRUE(beside.empty()) << "files beside the program:" << rows_listing(beside);
}

}  // namespace
