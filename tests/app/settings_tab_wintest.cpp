// The Settings and About tabs on the real main window, with the program's own wiring: every option check box
// clicked, saved to a settings file, read back without a restart and shown again; choices that name no item;
// the size preview's bitmaps; a restart that cannot start; the About links handed to the shell.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cwctype>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/app_test_support.h"
#include "app/event_loop.h"
#include "app/program_windows_win.h"
#include "app/shell_target.h"
#include "app/wiring.h"
#include "core/control_handlers.h"
#include "core/control_numbers.h"
#include "core/language.h"
#include "core/self_start_line.h"
#include "core/settings_controls.h"
#include "core/settings_file.h"
#include "core/settings_file_hooks.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "runtime/display_probe_win.h"
#include "runtime/gui/check_box/check_box.h"
#include "runtime/gui/combo_box/combo_box.h"
#include "runtime/gui/control/control.h"
#include "runtime/gui/folder_tree/folder_tree.h"
#include "runtime/gui/gui.h"
#include "runtime/gui/track_bar/track_bar.h"
#include "runtime/gui/tray/tray.h"
#include "runtime/gui/window/window.h"
#include "runtime/temp_folder.h"
#include "ui/compact_window.h"
#include "ui/graph_descriptor.h"
#include "ui/main_window.h"
#include "ui/settings_page.h"
#include "ui/status_title.h"

namespace {

// Clicks a control as the user does (the button's own click) and turns the loop until the runtime's event
// for it has been handled.
bool click(int control) {
    const HWND hwnd = reinterpret_cast<HWND>(control_handle(control));
    if (!hwnd) return false;
    SendMessageW(hwnd, BM_CLICK, 0, 0);
    return loop_until([] { return gui_event_count() == 0; });
}

bool change_reported(int control) { return main_window_event_served(control, EVENT_TYPE_CHANGE); }

std::wstring lowered(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(towlower(c));
    return text;
}

std::vector<std::wstring> opened_targets;
bool start_result = false;
int starts = 0;

bool start_recorded(bool) {
    ++starts;
    return start_result;
}

bool shell_recorded(std::wstring_view target) {
    opened_targets.emplace_back(target);
    return true;
}

class SettingsTab : public ::testing::Test {
protected:
    void SetUp() override {
        program_windows_prepare();
        if (HasFatalFailure()) return;
        {
            // The log folder is the test's own, apart from the default data folder: nothing is made elsewhere.
            std::lock_guard guard(DataFilesLock);
            DataFiles[DATA_FILE_LOG].folder = folder_.Path.wstring() + L"\\";
        }
        program_windows_build();
        if (HasFatalFailure()) return;
        options_controls_from_settings(1);
        opened_targets.clear();
        starts = 0;
    }
    void TearDown() override {
        settings_ui_hooks_set(SettingsUiHooks{});
        settings_event_seams_set(SettingsEventSeams{});
        tray_remove_all();
        program_windows_close();
        quit_flag_clear();
        status_title_set_writer(nullptr);
    }

    TempFolder folder_;
};

TEST_F(SettingsTab, EveryOptionCheckBoxRoundTripsThroughTheSettingsFile) {
    const std::wstring path = folder_.file(L"Sotrix.ini").wstring();
    for (const OptionCheckBox& box : option_check_boxes()) {
        const int32_t before = SharedInts[box.option].load();
        ASSERT_TRUE(click(box.control)) << box.control;
        int32_t expected = option_flipped(before);
        if (box.control == CHECK_DISK_ACTIVITY_ICON && !tray_exists(TRAY_MAIN)) expected = 0;  // no tray icon
        ASSERT_EQ(SharedInts[box.option].load(), expected) << "the click on " << box.control;
        EXPECT_EQ(check_box_state(box.control), check_state_of(expected)) << "after the click on " << box.control;

        ASSERT_TRUE(settings_save(path)) << box.control;
        // The setting and the box both back to what they were; the file must bring them to the click's.
        SharedInts[box.option] = before;
        check_box_state_set(box.control, check_state_of(before));
        ASSERT_EQ(settings_load(path), 1) << box.control;
        options_controls_from_settings(0);
        EXPECT_EQ(SharedInts[box.option].load(), expected) << "the setting of " << box.control << " read back";
        EXPECT_EQ(check_box_state(box.control), check_state_of(expected)) << "the box " << box.control << " read back";
    }
}

TEST_F(SettingsTab, ChoicesThatNameNoItemAreIgnored) {
    combo_box_select(COMBO_TITLE_TEXT, 5);
    ASSERT_TRUE(change_reported(COMBO_TITLE_TEXT));
    EXPECT_EQ(SharedInts[TITLE_MODE].load(), 5);
    combo_box_select(COMBO_TITLE_TEXT, -1);
    ASSERT_TRUE(change_reported(COMBO_TITLE_TEXT));
    EXPECT_EQ(SharedInts[TITLE_MODE].load(), 5) << "a combo box without a selection chose a title";

    combo_box_select(COMBO_LONG_IDLE, 4);
    ASSERT_TRUE(change_reported(COMBO_LONG_IDLE));
    EXPECT_EQ(SharedInts[LONG_IDLE_CHOICE].load(), 4);
    EXPECT_EQ(SharedInts[LONG_IDLE_SECONDS].load(), 600);
    combo_box_select(COMBO_LONG_IDLE, -1);
    ASSERT_TRUE(change_reported(COMBO_LONG_IDLE));
    EXPECT_EQ(SharedInts[LONG_IDLE_CHOICE].load(), 4);
    EXPECT_EQ(SharedInts[LONG_IDLE_SECONDS].load(), 600);

    // Stored values past the end of a list leave the shown item as it is.
    SharedInts[TITLE_MODE] = 42;
    SharedInts[LONG_IDLE_CHOICE] = -3;
    combo_box_select(COMBO_TITLE_TEXT, 2);
    combo_box_select(COMBO_LONG_IDLE, 1);
    options_controls_from_settings(0);
    EXPECT_EQ(combo_box_selected(COMBO_TITLE_TEXT), 2);
    EXPECT_EQ(combo_box_selected(COMBO_LONG_IDLE), 1);
}

TEST_F(SettingsTab, ThePreviewFreesTheBitmapsItShowedBefore) {
    const HWND picture = reinterpret_cast<HWND>(control_handle(PICTURE_RESIZE_PREVIEW));
    ASSERT_NE(picture, nullptr);
    const DWORD gdi_before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    std::vector<HGDIOBJ> shown;
    for (int round = 0; round < 60; ++round) {
        track_bar_value_set(TRACK_WINDOW_WIDTH, round % 16);
        ASSERT_TRUE(change_reported(TRACK_WINDOW_WIDTH));
        shown.push_back(reinterpret_cast<HGDIOBJ>(SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0)));
        ASSERT_NE(shown.back(), nullptr) << "round " << round;
    }
    int alive = 0;
    for (const HGDIOBJ bitmap : shown) alive += GetObjectType(bitmap) != 0 ? 1 : 0;
    EXPECT_EQ(alive, 1) << "only the bitmap shown now may still exist";
    const DWORD gdi_after = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    EXPECT_LE(gdi_after, gdi_before + 5) << "GDI objects before " << gdi_before << ", after " << gdi_after;
}

TEST_F(SettingsTab, TheLogFolderChooserOpensTakesAFolderAndCloses) {
    const std::wstring log_folder = folder_.Path.wstring() + L"\\";
    const std::wstring chosen = log_folder + L"Chosen Logs\\";
    std::filesystem::create_directories(folder_.Path / L"Chosen Logs");
    const auto folder_controls_enabled = [] {
        return control_enabled(TEXT_LOG_FOLDER) && control_enabled(BUTTON_SET_LOG_FOLDER) &&
               control_enabled(BUTTON_DEFAULT_LOG_FOLDER) && control_enabled(BUTTON_PORTABLE_LOG_FOLDER);
    };
    SharedInts[OPT_LOG_FILE] = 1;
    options_controls_from_settings(0);
    ASSERT_TRUE(control_exists(BUTTON_OPEN_EXPLORER));
    EXPECT_FALSE(folder_controls_enabled()) << "the closed chooser leaves the folder controls off";

    ASSERT_TRUE(click(BUTTON_OPEN_EXPLORER));
    ASSERT_TRUE(control_exists(TREE_FOLDER_CHOOSER)) << "no folder tree";
    EXPECT_FALSE(control_exists(BUTTON_OPEN_EXPLORER));
    EXPECT_TRUE(folder_controls_enabled());
    EXPECT_EQ(lowered(folder_tree_path(TREE_FOLDER_CHOOSER)), lowered(log_folder))
        << "the tree opens on the log folder";

    // The user picks the folder in the tree, then Set.
    ASSERT_TRUE(folder_tree_go(TREE_FOLDER_CHOOSER, chosen));
    ASSERT_TRUE(click(BUTTON_SET_LOG_FOLDER));
    {
        std::lock_guard guard(DataFilesLock);
        EXPECT_EQ(lowered(DataFiles[DATA_FILE_LOG].folder), lowered(chosen));
    }
    EXPECT_EQ(lowered(control_text(TEXT_LOG_FOLDER)), lowered(chosen));

    // Closing the main window closes the chooser.
    main_window_close_extras();
    EXPECT_FALSE(control_exists(TREE_FOLDER_CHOOSER));
    EXPECT_TRUE(control_exists(BUTTON_OPEN_EXPLORER));
    EXPECT_FALSE(folder_controls_enabled());
}

TEST_F(SettingsTab, ARestartThatCannotStartKeepsThisInstance) {
    ASSERT_EQ(settings_event_seams().program_start, self_start) << "the wiring starts the program itself";
    status_title_install();
    SettingsEventSeams seams = settings_event_seams();
    seams.program_start = start_recorded;
    settings_event_seams_set(seams);
    window_show(WIN_MAIN, WINDOW_SHOW);

    start_result = false;
    ASSERT_TRUE(click(BUTTON_RESTART));
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(SharedInts[EXIT_LOOP_FLAG].load(), 0) << "the program would end without a new one";
    EXPECT_EQ(SharedInts[QUIT_FLAG].load(), 0);
    EXPECT_TRUE(window_visible(WIN_MAIN));
    EXPECT_NE(window_title(WIN_MAIN).find(L"Restart Sotrix: Failed"), std::wstring::npos) << "the title says why";

    start_result = true;
    ASSERT_TRUE(click(BUTTON_RESTART));
    EXPECT_EQ(starts, 2);
    EXPECT_EQ(SharedInts[EXIT_LOOP_FLAG].load(), 1);
    EXPECT_GE(SharedInts[QUIT_FLAG].load(), 1);
}

TEST_F(SettingsTab, AboutLinksGoToTheShellAsTheirAddresses) {
    ASSERT_EQ(settings_event_seams().shell_open, shell_target_open) << "the wiring opens links with the shell";
    SettingsEventSeams seams = settings_event_seams();
    seams.shell_open = shell_recorded;
    settings_event_seams_set(seams);
    for (const int link : {LINK_WEBSITE, LINK_DONATION})
        ASSERT_TRUE(main_window_event_served(link, EVENT_TYPE_LEFT_CLICK));
    ASSERT_EQ(opened_targets.size(), 2u);
    EXPECT_EQ(opened_targets[0], control_text(LINK_WEBSITE));
    EXPECT_EQ(opened_targets[1], control_text(LINK_DONATION));
    // A link whose text is not a web address is not handed on.
    control_text_set(LINK_WEBSITE, L"cmd.exe /c calc");
    GuiEvent event;
    event.kind = EVENT_CONTROL;
    event.window = WIN_MAIN;
    event.control = LINK_WEBSITE;
    ASSERT_TRUE(gui_event_post(event));
    ASSERT_TRUE(loop_until([] { return gui_event_count() == 0; }));
    EXPECT_EQ(opened_targets.size(), 2u);
}

}  // namespace
