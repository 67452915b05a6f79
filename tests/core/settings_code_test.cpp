// Tests of the 50-character settings code: every position both ways, the base-36 font size and bad codes.
#include "core/settings_code.h"

#include <gtest/gtest.h>

#include "files_test_support.h"

namespace {

const std::wstring DEFAULT_CODE =
    L"11100111100000000001100000"
    L"8000100000000"
    L"00000000000";

TEST(SettingsCode, DefaultsGiveTheKnownCode) {
    EXPECT_EQ(settings_code_encode(settings_code_defaults()), DEFAULT_CODE);
    EXPECT_EQ(DEFAULT_CODE.size(), 50u);
}

TEST(SettingsCode, EachFlagHasItsOwnPosition) {
    for (int flag = 0; flag < SETTINGS_FLAG_COUNT; ++flag) {
        SettingsCodeValues values;
        values.flags.fill(0);
        values.flags[flag] = 1;
        const std::wstring code = settings_code_encode(values);
        ASSERT_EQ(code.size(), 50u);
        for (int i = 0; i < SETTINGS_FLAG_COUNT; ++i) EXPECT_EQ(code[i], i == flag ? L'1' : L'0') << flag << " " << i;
        SettingsCodeValues back;
        back.flags.fill(1);
        ASSERT_TRUE(settings_code_decode(code, back));
        EXPECT_EQ(back.flags, values.flags);
    }
}

TEST(SettingsCode, FlagsAboveOneAndTheThirdStateAreWrittenAsTheyRead) {
    SettingsCodeValues values = settings_code_defaults();
    values.flags[3] = -1;  // disk-activity icon: device not available
    values.flags[4] = 5;
    const std::wstring code = settings_code_encode(values);
    EXPECT_EQ(code[3], L'0');
    EXPECT_EQ(code[4], L'1');
}

// Every choice position, every value of its range, through the code and back.
TEST(SettingsCode, EveryChoiceRoundTripsAtItsPosition) {
    struct Position {
        int position;
        int32_t SettingsCodeValues::*member;
        int32_t low;
        int32_t high;
    };
    const Position positions[] = {
        {27, &SettingsCodeValues::opacity_step, 1, 9},        {28, &SettingsCodeValues::title_mode, 0, 8},
        {29, &SettingsCodeValues::long_idle_choice, 0, 15},   {30, &SettingsCodeValues::ping_mode, 0, 4},
        {31, &SettingsCodeValues::ping_slow_choice, 0, 15},   {32, &SettingsCodeValues::ping_interval_choice, 0, 15},
        {33, &SettingsCodeValues::byte_unit, 0, 5},           {34, &SettingsCodeValues::eventlog_age_choice, 0, 14},
        {35, &SettingsCodeValues::width_step, 0, 15},         {36, &SettingsCodeValues::height_step, 0, 15},
        {37, &SettingsCodeValues::compact_font_size, 10, 26}, {38, &SettingsCodeValues::ping_font_size, 9, 28},
        {39, &SettingsCodeValues::eventlog_font_size, 9, 28},
    };
    for (const Position& position : positions) {
        for (int32_t value = position.low; value <= position.high; ++value) {
            SettingsCodeValues values = settings_code_defaults();
            values.*position.member = value;
            const std::wstring code = settings_code_encode(values);
            ASSERT_EQ(code.size(), 50u);
            // Only this position differs from the default code (unless the value is the default).
            for (int i = 1; i <= 50; ++i) {
                if (i != position.position) {
                    EXPECT_EQ(code[i - 1], DEFAULT_CODE[i - 1]) << position.position << " " << i;
                }
            }
            SettingsCodeValues back = settings_code_defaults();
            ASSERT_TRUE(settings_code_decode(code, back));
            EXPECT_EQ(back.*position.member, value) << "position " << position.position;
        }
    }
}

TEST(SettingsCode, CompactFontSizeIsOneBase36Digit) {
    const struct {
        int32_t size;
        wchar_t digit;
    } cases[] = {{10, L'0'}, {19, L'9'}, {20, L'A'}, {25, L'F'}, {26, L'G'}};
    for (const auto& c : cases) {
        SettingsCodeValues values = settings_code_defaults();
        values.compact_font_size = c.size;
        const std::wstring code = settings_code_encode(values);
        EXPECT_EQ(code.size(), 50u);
        EXPECT_EQ(code[36], c.digit) << c.size;
    }
    // Read back capped to the sizes the window knows.
    const struct {
        wchar_t digit;
        int32_t size;
    } reads[] = {{L'G', 26}, {L'g', 26}, {L'H', 26}, {L'Z', 26}, {L'F', 25}, {L'?', 10}};
    for (const auto& r : reads) {
        std::wstring code = DEFAULT_CODE;
        code[36] = r.digit;
        SettingsCodeValues values = settings_code_defaults();
        ASSERT_TRUE(settings_code_decode(code, values));
        EXPECT_EQ(values.compact_font_size, r.size) << static_cast<char>(r.digit);
    }
}

TEST(SettingsCode, OlderFiftyOneCharacterCodeOfFontSize26IsRead) {
    // position 37 written as the two hexadecimal digits "10"; the list font sizes 12 and 15 after it
    const std::wstring older =
        L"11100111100000000001100000"
        L"8000100000"
        L"10"
        L"36"
        L"00000000000";
    ASSERT_EQ(older.size(), 51u);
    SettingsCodeValues values = settings_code_defaults();
    ASSERT_TRUE(settings_code_decode(older, values));
    EXPECT_EQ(values.compact_font_size, 26);
    EXPECT_EQ(values.ping_font_size, 12);
    EXPECT_EQ(values.eventlog_font_size, 15);
}

TEST(SettingsCode, BadCodesAreRefusedOrRepairedPositionByPosition) {
    SettingsCodeValues start = settings_code_defaults();
    start.ping_mode = 3;
    start.compact_font_size = 14;
    start.opacity_step = 5;
    struct Case {
        const char* name;
        std::wstring code;
        bool accepted;
        void (*check)(const SettingsCodeValues&);
    };
    const Case cases[] = {
        {"empty", L"", false, nullptr},
        {"25 characters", DEFAULT_CODE.substr(0, 25), false, nullptr},
        {"49 characters", DEFAULT_CODE.substr(0, 49), true, nullptr},
        {"51 characters", DEFAULT_CODE + L"0", false, nullptr},
        {"hundreds of characters", std::wstring(300, L'1'), false, nullptr},
        {"26 characters", DEFAULT_CODE.substr(0, 26), true,
         [](const SettingsCodeValues& v) {
             EXPECT_EQ(v.opacity_step, 8);
             EXPECT_EQ(v.title_mode, 0);
             EXPECT_EQ(v.long_idle_choice, 0);
             EXPECT_EQ(v.ping_mode, 3);  // positions 30 and on are not reached
             EXPECT_EQ(v.compact_font_size, 14);
         }},
        {"30 characters", DEFAULT_CODE.substr(0, 26) + L"5370", true,
         [](const SettingsCodeValues& v) {
             EXPECT_EQ(v.opacity_step, 5);
             EXPECT_EQ(v.title_mode, 3);
             EXPECT_EQ(v.long_idle_choice, 7);
             EXPECT_EQ(v.ping_mode, 0);
             EXPECT_EQ(v.compact_font_size, 10);
             EXPECT_EQ(v.ping_font_size, 9);
             EXPECT_EQ(v.eventlog_font_size, 9);
         }},
        {"flag 2 and letters", L"2X" + DEFAULT_CODE.substr(2), true,
         [](const SettingsCodeValues& v) {
             EXPECT_EQ(v.flags[0], 0);
             EXPECT_EQ(v.flags[1], 0);
         }},
        {"out-of-range positions",
         DEFAULT_CODE.substr(0, 26) +
             L"09F"
             L"9G6FFZZ"
             L"ZZZ" +
             std::wstring(11, L'0'),
         true,
         [](const SettingsCodeValues& v) {
             EXPECT_EQ(v.opacity_step, 8);  // 0 is not a step
             EXPECT_EQ(v.title_mode, 0);    // 9 is beyond the last mode
             EXPECT_EQ(v.long_idle_choice, 15);
             EXPECT_EQ(v.ping_mode, 0);         // 9: no such mode
             EXPECT_EQ(v.ping_slow_choice, 1);  // G is no hexadecimal digit
             EXPECT_EQ(v.ping_interval_choice, 6);
             EXPECT_EQ(v.byte_unit, 0);            // F: no such unit
             EXPECT_EQ(v.eventlog_age_choice, 0);  // F: beyond the "no limit" item
             EXPECT_EQ(v.width_step, 0);           // Z
             EXPECT_EQ(v.height_step, 0);
             EXPECT_EQ(v.compact_font_size, 26);
             EXPECT_EQ(v.ping_font_size, 28);  // 35 capped at 19, plus 9
             EXPECT_EQ(v.eventlog_font_size, 28);
         }},
        {"lower-case digits",
         DEFAULT_CODE.substr(0, 26) +
             L"80f"
             L"4fe5eff"
             L"gjj" +
             std::wstring(11, L'0'),
         true,
         [](const SettingsCodeValues& v) {
             EXPECT_EQ(v.long_idle_choice, 15);
             EXPECT_EQ(v.ping_mode, 4);
             EXPECT_EQ(v.ping_slow_choice, 15);
             EXPECT_EQ(v.eventlog_age_choice, 14);
             EXPECT_EQ(v.compact_font_size, 26);
             EXPECT_EQ(v.ping_font_size, 28);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SettingsCodeValues values = start;
        EXPECT_EQ(settings_code_decode(c.code, values), c.accepted);
        if (!c.accepted) {
            EXPECT_EQ(settings_code_encode(values), settings_code_encode(start));
        } else if (c.check) {
            c.check(values);
        }
        // Whatever was read is written back as a valid code.
        EXPECT_EQ(settings_code_encode(values).size(), 50u);
    }
}

TEST(SettingsCode, ValuesOutOfRangeAreWrittenAtTheNearestEnd) {
    SettingsCodeValues values = settings_code_defaults();
    values.compact_font_size = 40;
    values.ping_font_size = 3;
    values.width_step = 99;
    values.opacity_step = -4;
    const std::wstring code = settings_code_encode(values);
    ASSERT_EQ(code.size(), 50u);
    EXPECT_EQ(code[26], L'1');
    EXPECT_EQ(code[34], L'F');
    EXPECT_EQ(code[36], L'G');
    EXPECT_EQ(code[37], L'0');
}

class SettingsCodeShared : public FilesTest {};

TEST_F(SettingsCodeShared, ParseAppliesTheCodeToTheSharedSettings) {
    shared_text_set(SETTINGS_CODE_TEXT,
                    L"00000000000100000000000001"
                    L"324"
                    L"312ACBG"
                    L"122" +
                        std::wstring(11, L'0'));
    ASSERT_TRUE(settings_code_parse());
    EXPECT_EQ(SharedInts[OPT_ALWAYS_ON_TOP].load(), 0);
    EXPECT_EQ(SharedInts[OPT_LOG_FILE].load(), 1);
    EXPECT_EQ(SharedInts[SETTINGS_FLAGS_LAST].load(), 1);
    EXPECT_EQ(SharedInts[OPACITY_STEP].load(), 3);
    EXPECT_EQ(SharedInts[TITLE_MODE].load(), 2);
    EXPECT_EQ(SharedInts[LONG_IDLE_CHOICE].load(), 4);
    EXPECT_EQ(SharedInts[LONG_IDLE_SECONDS].load(), 600);  // fifth field of the list: 10 minutes
    EXPECT_EQ(SharedInts[PING_MODE].load(), 3);
    EXPECT_EQ(SharedInts[PING_SLOW_CHOICE].load(), 1);
    EXPECT_EQ(SharedInts[PING_INTERVAL_CHOICE].load(), 2);
    EXPECT_EQ(SharedInts[BYTE_UNIT].load(), 0);  // A: no such unit
    EXPECT_EQ(SharedInts[EVENTLOG_AGE_CHOICE].load(), 12);
    EXPECT_EQ(SharedInts[MAIN_WIDTH_STEP].load(), 11);
    EXPECT_EQ(SharedInts[MAIN_HEIGHT_STEP].load(), 0);  // G is no hexadecimal digit: the default
    EXPECT_EQ(SharedInts[COMPACT_FONT_SIZE].load(), 11);
    EXPECT_EQ(SharedInts[PING_FONT_SIZE].load(), 11);
    EXPECT_EQ(SharedInts[EVENTLOG_FONT_SIZE].load(), 11);
    EXPECT_EQ(shared_text(SETTINGS_CODE_TEXT), L"");
}

TEST_F(SettingsCodeShared, RefusedCodeChangesNothing) {
    SharedInts[OPACITY_STEP] = 4;
    shared_text_set(SETTINGS_CODE_TEXT, DEFAULT_CODE + L"0");
    EXPECT_FALSE(settings_code_parse());
    EXPECT_EQ(SharedInts[OPACITY_STEP].load(), 4);
    EXPECT_EQ(SharedInts[OPT_ALWAYS_ON_TOP].load(), 1);
}

TEST_F(SettingsCodeShared, BuildTakesTheTrackBarsWhenTheyExist) {
    SharedInts[MAIN_WIDTH_STEP] = 2;
    SharedInts[MAIN_HEIGHT_STEP] = 3;
    EXPECT_EQ(settings_code_build().substr(34, 2), L"23");
    SettingsUiHooks hooks;
    hooks.trackbar_position = [](int control) -> int32_t { return control == TRACK_WINDOW_WIDTH ? 12 : -1; };
    settings_ui_hooks_set(hooks);
    EXPECT_EQ(settings_code_build().substr(34, 2), L"C3");
}

TEST_F(SettingsCodeShared, StartUpDefaultsBuildTheDefaultCode) { EXPECT_EQ(settings_code_build(), DEFAULT_CODE); }

}  // namespace
