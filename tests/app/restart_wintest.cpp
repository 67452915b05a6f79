// The restart: when the new instance cannot be started, this one keeps running, with the main window back
// and the failure in its status title.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/restart.h"
#include "core/control_numbers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "runtime/display_probe_win.h"
#include "runtime/gui/gui.h"
#include "runtime/gui/window/window.h"
#include "ui/status_title.h"

namespace {

TEST(Restart, AFailedStartLeavesTheProgramRunningAndSaysSo) {
    ASSERT_TRUE(display_available()) << NO_DISPLAY_TEXT;
    ASSERT_TRUE(gui_init());
    shared_state_init(SharedStateFacts{});
    shared_tables_init();
    text_maps_load(LANGUAGE_ENGLISH);
    ASSERT_TRUE(window_open(WIN_MAIN, 60, 60, 400, 200, L"Sotrix", WINDOW_CAPTION));
    status_title_install();

    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring missing = std::wstring(folder) + L"sotrix-no-such-folder\\Sotrix.exe";
    EXPECT_FALSE(program_restart(missing, false));
    EXPECT_EQ(SharedInts[EXIT_LOOP_FLAG].load(), 0) << "the event loop would end with no program left";
    EXPECT_EQ(SharedInts[QUIT_FLAG].load(), 0) << "the workers would stop with no program left";
    EXPECT_TRUE(window_visible(WIN_MAIN)) << "the main window stays hidden";
    EXPECT_EQ(shared_text(STATUS_TITLE), L"Restart: Failed");
    EXPECT_EQ(window_title(WIN_MAIN), L"Restart: Failed");

    status_title_set_writer(nullptr);
    window_close(WIN_MAIN);
}

}  // namespace
