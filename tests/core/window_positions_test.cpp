// Tests of the window positions text.
#include "core/window_positions.h"

#include <gtest/gtest.h>

#include "files_test_support.h"

namespace {

TEST(WindowPositions, TextRoundTripsIncludingNegativeValues) {
    const WindowPositions positions{120, 80, 1500, -12};
    EXPECT_EQ(window_positions_format(positions), L"v120w80x1500y-12");
    WindowPositions back{1, 2, 3, 4};
    window_positions_parse(window_positions_format(positions), back);
    EXPECT_EQ(back.main_x, 120);
    EXPECT_EQ(back.main_y, 80);
    EXPECT_EQ(back.compact_x, 1500);
    EXPECT_EQ(back.compact_y, -12);
    EXPECT_EQ(window_positions_display(positions), L"120, 80\r\n1500, -12");
}

TEST(WindowPositions, ParsingRules) {
    struct Case {
        const wchar_t* text;
        WindowPositions expected;
    };
    const Case cases[] = {
        {L"x-1800y40", {7, 8, -1800, 40}},  // only the compact window
        {L"V1W2X3Y4", {1, 2, 3, 4}},        // either case
        {L"v5v6", {6, 8, 9, 10}},           // a later number wins
        {L"vw", {0, 0, 9, 10}},             // a letter without digits gives 0
        {L"v 5", {0, 8, 9, 10}},            // the number must follow at once
        {L"a1b2 v-3,w+4", {-3, 4, 9, 10}},  // other characters are skipped
        {L"v99999999999w-99999999999", {2147483647, -2147483647 - 1, 9, 10}},
        {L"v-", {0, 8, 9, 10}},
        {L"", {7, 8, 9, 10}},
    };
    for (const Case& c : cases) {
        WindowPositions positions{7, 8, 9, 10};
        window_positions_parse(c.text, positions);
        EXPECT_EQ(positions.main_x, c.expected.main_x) << utf8_from_wide(c.text);
        EXPECT_EQ(positions.main_y, c.expected.main_y) << utf8_from_wide(c.text);
        EXPECT_EQ(positions.compact_x, c.expected.compact_x) << utf8_from_wide(c.text);
        EXPECT_EQ(positions.compact_y, c.expected.compact_y) << utf8_from_wide(c.text);
    }
}

class WindowPositionsShared : public FilesTest {};

TEST_F(WindowPositionsShared, ReadTakesTheLiveWindowsThenTheStoredText) {
    static std::wstring shown;
    SettingsUiHooks hooks;
    hooks.window_position = [](int window, int32_t* x, int32_t* y) {
        if (window != WIN_MAIN) return false;
        *x = 300;
        *y = 200;
        return true;
    };
    hooks.control_text_set = [](int control, std::wstring_view text) {
        if (control == TEXT_POSITIONS_VALUES) shown = text;
    };
    settings_ui_hooks_set(hooks);
    shared_text_set(DIGITS_SAVED, L"x-1800y40");
    window_positions_read();
    EXPECT_EQ(SharedInts[MAIN_X].load(), 300);
    EXPECT_EQ(SharedInts[MAIN_Y].load(), 200);
    EXPECT_EQ(SharedInts[COMPACT_X].load(), -1800);
    EXPECT_EQ(SharedInts[COMPACT_Y].load(), 40);
    EXPECT_EQ(window_positions_text(), L"v300w200x-1800y40");
    EXPECT_EQ(shown, L"300, 200\r\n-1800, 40");
}

}  // namespace
