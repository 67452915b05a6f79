// The real Sotrix.exe's Settings tab exports its settings to a file the user names in the save dialog, and imports
// a changed file that the user names in the open dialog: the export holds the settings in force (a choice made
// on the tab included) and leaves the program's own settings file alone; the import shows in the tab's controls
// at once, and reaches "Sotrix.ini" when the program saves at its exit, also when it changed only the filters,
// which the settings code does not carry.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "integration/program_actions.h"
#include "integration/program_support.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "core/control_numbers.h"
#include "core/settings_code.h"
#include "core/shared_state.h"

namespace {

// The settings code of a settings file's bytes, read as the program reads it; nothing when it has none.
std::optional<SettingsCodeValues> code_of(const std::string& bytes) {
    SettingsCodeValues values = settings_code_defaults();
    const std::string code = ini_value(bytes, "Config");
    if (code.empty() || !settings_code_decode(wide_of(code), values)) return std::nullopt;
    return values;
}

bool same_values(const SettingsCodeValues& a, const SettingsCodeValues& b) {
    return settings_code_encode(a) == settings_code_encode(b);
}

class SettingsTransfer : public ProgramTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_prepare(L"sotrix-transfer-"));
        // Portable, with settings of our own: the program's settings file is the one beside it.
        original_ = settings_code_defaults();
        original_.title_mode = TITLE_MODE_DRIVES;
        original_.ping_interval_choice = 1;
        file_write(folder_ / L"Sotrix.ini", settings_file_text(original_));
    }

    // Opens the program on the Settings tab once its settings show; null when it did not.
    HWND open_settings(Program*& program) {
        program = &start(L"norepair settings");
        const HWND main = wait_for_window(*program, WindowKind::MAIN);
        if (!main) return nullptr;
        const HWND interval = descendants_of(main).at(COMBO_PING_INTERVAL);
        const bool shown = wait_until(
            START_MS, [&] { return SendMessageW(interval, CB_GETCURSEL, 0, 0) == original_.ping_interval_choice; });
        return shown ? main : nullptr;
    }

    // Imports the file through the Import button and the open dialog.
    static ::testing::AssertionResult import_file(const Program& program, HWND main,
                                                  const std::filesystem::path& file) {
        if (!button_click(descendants_of(main).at(BUTTON_IMPORT_SETTINGS)))
            return ::testing::AssertionFailure() << "the Import button took no click";
        return file_dialog_answer(program, L"Select file to Import", file.wstring());
    }

    SettingsCodeValues original_;
};

TEST_F(SettingsTransfer, ExportWritesTheSettingsInForceAndImportAppliesAChangedFile) {
    Program* program = nullptr;
    const HWND main = open_settings(program);
    ASSERT_NE(main, nullptr) << "no main window showing the settings file's ping interval";
    const std::map<int, HWND> inside = descendants_of(main);
    const auto selected = [&](int combo) { return SendMessageW(inside.at(combo), CB_GETCURSEL, 0, 0); };
    const std::string saved_before = file_bytes(folder_ / L"Sotrix.ini");

    // A choice on the tab, then the export to a file named in the save dialog.
    combo_choose(inside.at(COMBO_TITLE_TEXT), TITLE_MODE_UPTIME);
    const std::filesystem::path exported = folder_ / L"exported.ini";
    ASSERT_TRUE(button_click(inside.at(BUTTON_EXPORT_SETTINGS)));
    std::wstring proposed;
    ASSERT_TRUE(file_dialog_answer(*program, L"Select file to Export", exported.wstring(), &proposed));
    EXPECT_EQ(proposed, L"Sotrix.ini") << "the file name the save dialog proposes";
    std::string bytes;
    ASSERT_TRUE(wait_until(15000, [&] { return !ini_value(bytes = file_bytes(exported), "Config").empty(); }))
        << "nothing was exported:\n"
        << bytes;
    SettingsCodeValues in_force = original_;
    in_force.title_mode = TITLE_MODE_UPTIME;
    const std::optional<SettingsCodeValues> exported_values = code_of(bytes);
    ASSERT_TRUE(exported_values.has_value()) << bytes;
    EXPECT_TRUE(same_values(*exported_values, in_force))
        << "exported " << ini_value(bytes, "Config") << ", in force " << narrow(settings_code_encode(in_force));
    EXPECT_EQ(ini_value(bytes, "Logpath"), "0") << "a portable run's log folder is the program's folder";
    EXPECT_EQ(file_bytes(folder_ / L"Sotrix.ini"), saved_before) << "the export wrote the program's settings file";

    // A changed file, imported through the open dialog: its values show in the controls at once.
    SettingsCodeValues changed = in_force;
    changed.title_mode = TITLE_MODE_BATTERY;
    changed.long_idle_choice = 3;
    changed.ping_interval_choice = 5;
    changed.opacity_step = 3;
    changed.flags[OPT_PING_TIMELINE_FULL - SETTINGS_FLAGS] = 1;
    const std::filesystem::path imported = folder_ / L"changed.ini";
    file_write(imported, settings_file_text(changed));
    ASSERT_TRUE(import_file(*program, main, imported));
    const auto controls_show = [&](const SettingsCodeValues& values) {
        return selected(COMBO_TITLE_TEXT) == values.title_mode &&
               selected(COMBO_LONG_IDLE) == values.long_idle_choice &&
               selected(COMBO_PING_INTERVAL) == values.ping_interval_choice &&
               SendMessageW(inside.at(TRACK_TRANSPARENCY), TBM_GETPOS, 0, 0) == values.opacity_step &&
               SendMessageW(inside.at(CHECK_PING_TIMELINE_FULL), BM_GETCHECK, 0, 0) ==
                   (values.flags[OPT_PING_TIMELINE_FULL - SETTINGS_FLAGS] ? BST_CHECKED : BST_UNCHECKED);
    };
    EXPECT_TRUE(wait_until(15000, [&] { return controls_show(changed); }))
        << "title " << selected(COMBO_TITLE_TEXT) << ", long idle " << selected(COMBO_LONG_IDLE) << ", ping interval "
        << selected(COMBO_PING_INTERVAL) << ", transparency "
        << SendMessageW(inside.at(TRACK_TRANSPARENCY), TBM_GETPOS, 0, 0) << ", full timeline "
        << SendMessageW(inside.at(CHECK_PING_TIMELINE_FULL), BM_GETCHECK, 0, 0);
    EXPECT_EQ(file_bytes(folder_ / L"Sotrix.ini"), saved_before) << "the import wrote the program's settings file";

    // The exit saves the settings in force: the imported ones, over the file the program started with.
    ASSERT_TRUE(shut_down(*program));
    const std::string saved = file_bytes(folder_ / L"Sotrix.ini");
    const std::optional<SettingsCodeValues> saved_values = code_of(saved);
    ASSERT_TRUE(saved_values.has_value()) << saved;
    EXPECT_TRUE(same_values(*saved_values, changed))
        << "saved " << ini_value(saved, "Config") << ", imported " << narrow(settings_code_encode(changed));
    EXPECT_EQ(file_bytes(folder_ / L"Sotrix.ini.bak"), saved_before) << "the backup is the file the program read";
}

TEST_F(SettingsTransfer, AnImportThatChangesOnlyTheFiltersReachesTheSettingsFile) {
    Program* program = nullptr;
    const HWND main = open_settings(program);
    ASSERT_NE(main, nullptr) << "no main window showing the settings file's ping interval";
    const std::filesystem::path imported = folder_ / L"filters.ini";
    file_write(imported, settings_file_text(original_) + "FilterDrv = 1234-ABCD\r\nFilterNic = 02:00:5E:10:00:01\r\n");
    ASSERT_TRUE(import_file(*program, main, imported));
    ASSERT_TRUE(shut_down(*program));
    const std::string saved = file_bytes(folder_ / L"Sotrix.ini");
    EXPECT_EQ(ini_value(saved, "FilterDrv"), "1234-ABCD") << saved;
    EXPECT_EQ(ini_value(saved, "FilterNic"), "02:00:5E:10:00:01") << saved;
    const std::optional<SettingsCodeValues> saved_values = code_of(saved);
    ASSERT_TRUE(saved_values.has_value()) << saved;
    EXPECT_TRUE(same_values(*saved_values, original_)) << saved;
}

}  // namespace
