// The Settings tab's control-to-setting table and the checks on combo selections, track-bar positions,
// check states and the long-idle choice.
#include "core/settings_controls.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(SettingsControls, EveryOptionCheckBoxShowsItsOwnOption) {
    struct Expected {
        int control;
        SharedIntIndex option;
    };
    // Each box's option, by the box's label: a swapped pair would store one setting under the other.
    const Expected expected[] = {
        {CHECK_ALWAYS_ON_TOP, OPT_ALWAYS_ON_TOP},
        {CHECK_LOG_FILE, OPT_LOG_FILE},
        {CHECK_LOG_BUFFERING, OPT_LOG_BUFFERING},
        {CHECK_LOG_STORAGE_EVENTS, OPT_LOG_STORAGE_EVENTS},
        {CHECK_LOG_NETWORK_EVENTS, OPT_LOG_NETWORK_EVENTS},
        {CHECK_LOG_DRIVE_SPACE, OPT_LOG_DRIVE_SPACE},
        {CHECK_LOG_SYSTEM_EVENTS, OPT_LOG_SYSTEM_EVENTS},
        {CHECK_RESTORE_SESSION, OPT_RESTORE_SESSION},
        {CHECK_REMEMBER_POSITIONS, OPT_REMEMBER_POSITIONS},
        {CHECK_START_MINIMIZED, OPT_START_MINIMIZED},
        {CHECK_POPUP_ON_DRIVES, OPT_POPUP_ON_DRIVES},
        {CHECK_PING_TIMELINE_FULL, OPT_PING_TIMELINE_FULL},
        {CHECK_REALTIME_MEMORY, OPT_REALTIME_MEMORY},
        {CHECK_REALTIME_NETWORK, OPT_REALTIME_NETWORK},
        {CHECK_EXTENDED_HISTORY, OPT_EXTENDED_HISTORY},
        {CHECK_SOUND, OPT_SOUND},
        {CHECK_TRAY_ICON, OPT_TRAY_ICON},
        {CHECK_DISK_ACTIVITY_ICON, OPT_DISK_ACTIVITY_ICON},
        {CHECK_TRAY_SINGLE_CLICK, OPT_TRAY_SINGLE_CLICK},
        {CHECK_CLOSE_TO_TRAY, OPT_CLOSE_TO_TRAY},
        {CHECK_MINIMIZE_TO_TRAY, OPT_MINIMIZE_TO_TRAY},
        {CHECK_TRANSPARENT, OPT_TRANSPARENT},
        {CHECK_BORDERLESS, OPT_BORDERLESS},
    };
    ASSERT_EQ(option_check_boxes().size(), std::size(expected));
    std::set<int> options;
    for (const Expected& entry : expected) {
        const OptionCheckBox* box = option_check_box(entry.control);
        ASSERT_NE(box, nullptr) << entry.control;
        EXPECT_EQ(box->option, entry.option) << entry.control;
        EXPECT_EQ(box->three_state, entry.control == CHECK_DISK_ACTIVITY_ICON) << entry.control;
        options.insert(box->option);
    }
    EXPECT_EQ(options.size(), std::size(expected)) << "two boxes share an option";
    EXPECT_EQ(option_check_box(COMBO_TITLE_TEXT), nullptr);
}

TEST(SettingsControls, CheckStatesAndFlips) {
    const struct {
        int32_t value;
        int state;
        int32_t flipped;
    } cases[] = {{0, 0, 1}, {1, 1, 0}, {-1, -1, -2}, {-2, -1, -1}, {5, 1, 4}};
    for (const auto& c : cases) {
        EXPECT_EQ(check_state_of(c.value), c.state) << c.value;
        EXPECT_EQ(option_flipped(c.value), c.flipped) << c.value;
    }
}

TEST(SettingsControls, ComboSelectionsOutsideTheListAreIgnored) {
    const struct {
        int selected;
        int count;
        std::optional<int> taken;
    } cases[] = {
        {-1, 9, std::nullopt}, {9, 9, std::nullopt}, {400, 9, std::nullopt}, {0, 0, std::nullopt}, {0, 9, 0}, {8, 9, 8},
        {-7, 9, std::nullopt}};
    for (const auto& c : cases) EXPECT_EQ(combo_choice_taken(c.selected, c.count), c.taken) << c.selected;

    EXPECT_EQ(track_position_taken(0, 1, 9), std::nullopt);
    EXPECT_EQ(track_position_taken(10, 1, 9), std::nullopt);
    EXPECT_EQ(track_position_taken(3, 1, 9), 3);
}

TEST(SettingsControls, ValuesShownByTheirControls) {
    const auto shown = [](int control, int32_t value, int count) {
        return choice_shown(*settings_choice(control), value, count, -1);
    };
    EXPECT_EQ(shown(COMBO_TITLE_TEXT, 8, 9), 8);
    EXPECT_EQ(shown(COMBO_TITLE_TEXT, 9, 9), -1) << "past the end: left as it is";
    EXPECT_EQ(shown(COMBO_PING_FONT_SIZE, 9, 20), 0) << "9 pt is the first item";
    EXPECT_EQ(shown(COMBO_PING_FONT_SIZE, 28, 20), 19);
    EXPECT_EQ(shown(COMBO_PING_FONT_SIZE, 8, 20), -1);
    EXPECT_EQ(shown(COMBO_EVENT_FONT_SIZE, 12, 20), 3);
    EXPECT_EQ(shown(COMBO_BYTE_UNIT, 0, 6), 0);
    EXPECT_EQ(shown(COMBO_BYTE_UNIT, 6, 6), 0) << "an unknown unit shows Auto";
    EXPECT_EQ(shown(COMBO_BYTE_UNIT, 5, 6), 5);
    EXPECT_EQ(shown(COMBO_NETWORK_UNIT, 1, 2), 1);
    EXPECT_EQ(shown(COMBO_NETWORK_UNIT, 7, 2), 0);
    EXPECT_EQ(shown(TRACK_TRANSPARENCY, 0, 0), -1);
    EXPECT_EQ(shown(TRACK_TRANSPARENCY, 9, 0), 9);
    EXPECT_EQ(shown(TRACK_WINDOW_WIDTH, 15, 0), 15);
    EXPECT_EQ(shown(TRACK_WINDOW_HEIGHT, 16, 0), -1);
}

TEST(SettingsControls, LongIdleSecondsOfAChoice) {
    const std::wstring_view choices = L"1,2,3,5,10,15,20,25,30,45,60,120,180,240,300,0";
    EXPECT_EQ(long_idle_seconds(choices, 0), 60);
    EXPECT_EQ(long_idle_seconds(choices, 4), 600);
    EXPECT_EQ(long_idle_seconds(choices, 14), 18000);
    EXPECT_EQ(long_idle_seconds(choices, 15), 0) << "Disabled";
    EXPECT_EQ(long_idle_seconds(choices, 16), 0) << "no such field";
    EXPECT_EQ(long_idle_seconds(choices, -1), 0);
    EXPECT_EQ(long_idle_seconds(L"5,x9,7", 1), 0) << "a field that is not a number";
    EXPECT_EQ(long_idle_seconds(L"5,99999999999", 1), 0) << "too large to be an idle time";
}

}  // namespace
