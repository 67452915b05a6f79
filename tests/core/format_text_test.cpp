// Tests of the duration, age, size, frequency, percentage, choice, base-36 and marker texts.
#include "core/format_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <limits>
#include <string>
#include <utility>

#include "core/language.h"
#include "core/shared_state.h"
#include "runtime/date.h"

namespace {

constexpr int64_t MAX64 = std::numeric_limits<int64_t>::max();
constexpr int64_t MIN64 = std::numeric_limits<int64_t>::min();
constexpr int32_t MAX32 = std::numeric_limits<int32_t>::max();
constexpr int32_t MIN32 = std::numeric_limits<int32_t>::min();

// The age and translated texts read the shared language and stamp; each test restores both.
class FormatTextShared : public ::testing::Test {
protected:
    void SetUp() override {
        saved_language_ = SharedInts[LANGUAGE].load();
        saved_stamp_ = SharedQuads[AGE_STAMP].load();
    }
    void TearDown() override {
        SharedInts[LANGUAGE].store(saved_language_);
        SharedQuads[AGE_STAMP].store(saved_stamp_);
    }
    int32_t saved_language_ = 0;
    int64_t saved_stamp_ = 0;
};

// format_age reads the clock itself; repeat until the second did not tick during the call.
std::wstring age_text_for(int64_t age_seconds) {
    std::wstring text;
    for (int attempt = 0; attempt < 5; ++attempt) {
        const Date before = date_now();
        SharedQuads[AGE_STAMP].store(before - age_seconds);
        text = format_age();
        if (date_now() == before) {
            break;
        }
    }
    return text;
}

}  // namespace

TEST(FormatDuration, NonZeroPartsOnly) {
    const std::pair<int64_t, const wchar_t*> cases[] = {
        {0, L"0s"},
        {-5, L"0s"},
        {MIN64, L"0s"},
        {59, L"59s"},
        {60, L"1m"},
        {3600, L"1h"},
        {86'400, L"1d"},
        {86'460, L"1d 1m"},
        {90'061, L"1d 1h 1m 1s"},
        {MAX64, L"106751991167300d 15h 30m 7s"},
    };
    for (const auto& [seconds, expected] : cases) {
        EXPECT_EQ(format_duration(seconds), expected) << seconds;
    }
}

TEST(FormatDuration, DaysHoursMinutes) {
    const std::pair<int64_t, const wchar_t*> cases[] = {
        {0, L""},
        {59, L""},
        {-59, L""},
        {60, L"1m"},
        {3660, L"1h 1m"},
        {7200, L"2h"},
        {86'400, L"1d"},
        {90'061, L"1d 1h 1m"},
        {-90, L"-1m"},
        {-90'061, L"-1d -1h -1m"},
        {MIN64, L"-106751991167300d -15h -30m"},
    };
    for (const auto& [seconds, expected] : cases) {
        EXPECT_EQ(format_duration_dhm(seconds), expected) << seconds;
    }
}

TEST_F(FormatTextShared, AgeInEnglishAndGerman) {
    SharedQuads[AGE_STAMP].store(0);
    for (const int32_t language : {LANGUAGE_ENGLISH, LANGUAGE_GERMAN, LANGUAGE_FRENCH}) {
        SharedInts[LANGUAGE].store(language);
        EXPECT_EQ(format_age(), L"") << "language " << language;
    }
    SharedInts[LANGUAGE].store(LANGUAGE_ENGLISH);
    EXPECT_EQ(age_text_for(125), L"~ 2m 5s ago");
    SharedInts[LANGUAGE].store(LANGUAGE_FRENCH);
    EXPECT_EQ(age_text_for(125), L"~ 2m 5s ago");
    SharedInts[LANGUAGE].store(LANGUAGE_GERMAN);
    EXPECT_EQ(age_text_for(125), L"~ von 2m 5s");
}

TEST_F(FormatTextShared, AgeOfAnyStampIsSafe) {
    SharedInts[LANGUAGE].store(LANGUAGE_ENGLISH);
    SharedQuads[AGE_STAMP].store(MAX64);  // in the future
    EXPECT_EQ(format_age(), L"~ 0s ago");
    SharedQuads[AGE_STAMP].store(MIN64);  // the age does not fit and stays at the limit
    EXPECT_EQ(format_age(), L"~ " + format_duration(MAX64) + L" ago");
}

TEST(FormatMemoryMb, AmountThenPercent) {
    struct Case {
        int64_t megabytes;
        int32_t percent;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {8192, 45, L"8192M 45%"},     {16'384, 7, L"16.0G  7%"}, {131'072, 100, L" 128G100%"},
        {9999, 0, L"9999M  0%"},      {10'000, 0, L" 9.8G  0%"}, {102'348, 0, L"99.9G  0%"},
        {102'349, 0, L" 100G  0%"},   {0, 0, L"   0M  0%"},      {-5, -5, L"  -5M -5%"},
        {MAX64, 1000, L"9007G100%"},  // both fields cut, never widened
        {MIN64, MIN32, L"-922M-21%"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(format_memory_mb(c.megabytes, c.percent), c.expected) << c.megabytes << " MB, " << c.percent << "%";
    }
}

TEST(FormatFrequency, MegaOrGigahertzInSevenCharacters) {
    const std::pair<int32_t, const wchar_t*> cases[] = {
        {3600, L" 3.6GHz"}, {800, L" 800MHz"},   {12'999, L"  12GHz"}, {9999, L"10.0GHz"},
        {999, L" 999MHz"},  {1000, L" 1.0GHz"},  {10'000, L"  10GHz"}, {0, L"   0MHz"},
        {-5, L"  -5MHz"},   {MAX32, L"2147GHz"}, {MIN32, L"-214MHz"},
    };
    for (const auto& [megahertz, expected] : cases) {
        EXPECT_EQ(format_frequency(megahertz), expected) << megahertz;
    }
}

TEST(FormatPercent, TwoDigitsOrMax) {
    const std::pair<int32_t, const wchar_t*> cases[] = {
        {0, L" 0%"},     {5, L" 5%"},  {99, L"99%"},  {100, L"MAX"},   {1000, L"MAX"},
        {MAX32, L"MAX"}, {-5, L"-5%"}, {-50, L"-5%"}, {MIN32, L"-2%"},
    };
    for (const auto& [percent, expected] : cases) {
        EXPECT_EQ(format_percent(percent), expected) << percent;
    }
}

TEST(FormatCountDelta, SignedChangeOrNothing) {
    EXPECT_EQ(format_count_delta(L"(", 5, 3, L")"), L"(+2)");
    EXPECT_EQ(format_count_delta(L"(", 3, 5, L")"), L"(-2)");
    EXPECT_EQ(format_count_delta(L"(", 4, 4, L")"), L"");
    // The change of two int32 values can need 33 bits.
    EXPECT_EQ(format_count_delta(L"", MAX32, MIN32, L""), L"+4294967295");
    EXPECT_EQ(format_count_delta(L"", MIN32, MAX32, L""), L"-4294967295");
}

TEST(RightAlignNumberOrText, PositiveNumberElseFallback) {
    EXPECT_EQ(right_align_number_or_text(0, 4, L"--"), L"  --");
    EXPECT_EQ(right_align_number_or_text(12'345, 4, L"--"), L"1234");
    EXPECT_EQ(right_align_number_or_text(7, 3, L"x"), L"  7");
    EXPECT_EQ(right_align_number_or_text(-3, 3, L"n/a"), L"n/a");
    EXPECT_EQ(right_align_number_or_text(-3, 2, L"n/a"), L"n/");
    EXPECT_EQ(right_align_number_or_text(5, 0, L"x"), L"");
}

TEST(ChoiceTexts, IifAndNotEmpty) {
    EXPECT_EQ(iif_text(1, L"a", L"b"), L"a");
    EXPECT_EQ(iif_text(MIN64, L"a", L"b"), L"a");
    EXPECT_EQ(iif_text(0, L"a", L"b"), L"b");
    EXPECT_EQ(iif_not_empty(L" x ", L"filled", L"empty"), L"filled");
    EXPECT_EQ(iif_not_empty(L"   ", L"filled", L"empty"), L"empty");
    EXPECT_EQ(iif_not_empty(L"", L"filled", L"empty"), L"empty");
}

TEST_F(FormatTextShared, ChooseTextAndYesNoInEnglish) {
    text_maps_load(LANGUAGE_ENGLISH);
    const auto choose = [](int32_t index) {
        return choose_text(index,
                           {L"one", L"two", L"three", L"four", L"five", L"six", L"seven", L"eight", L"nine", L"ten"});
    };
    EXPECT_EQ(choose(1), L"one");
    EXPECT_EQ(choose(2), L"two");
    EXPECT_EQ(choose(10), L"ten");
    EXPECT_EQ(choose(0), L"Type 0");
    EXPECT_EQ(choose(11), L"Type 11");
    EXPECT_EQ(choose(17), L"Type 17");
    EXPECT_EQ(choose(-1), L"Type -1");
    EXPECT_EQ(choose(MIN32), L"Type -2147483648");
    // A shorter list never reads past its end.
    EXPECT_EQ(choose_text(3, {L"one", L"two"}), L"Type 3");
    EXPECT_EQ(yes_no_text(1), L"Yes");
    EXPECT_EQ(yes_no_text(-7), L"Yes");
    EXPECT_EQ(yes_no_text(0), L"No");
}

TEST_F(FormatTextShared, ChooseTextAndYesNoInGerman) {
    text_maps_load(LANGUAGE_GERMAN);
    const std::wstring type_text = choose_text(0, {L"one", L"two"});
    const std::wstring yes = yes_no_text(1);
    const std::wstring no = yes_no_text(0);
    text_maps_load(LANGUAGE_ENGLISH);
    EXPECT_EQ(type_text, L"Typ 0");
    EXPECT_EQ(yes, L"Ja");
    EXPECT_EQ(no, L"Nein");
}

TEST(Base36, EncodeAndRoundTrip) {
    EXPECT_EQ(base36_encode(0), L"0");
    EXPECT_EQ(base36_encode(35), L"Z");
    EXPECT_EQ(base36_encode(36), L"10");
    EXPECT_EQ(base36_encode(1295), L"ZZ");
    EXPECT_EQ(base36_encode(-1), L"");
    EXPECT_EQ(base36_encode(MIN64), L"");
    EXPECT_EQ(base36_encode(MAX64), L"1Y2P0IJ32E8E7");
    for (const int64_t value : {int64_t{0}, int64_t{1}, int64_t{35}, int64_t{36}, int64_t{1295}, int64_t{1296},
                                int64_t{123'456'789}, int64_t{1} << 40, MAX64 - 1, MAX64}) {
        EXPECT_EQ(base36_decode(base36_encode(value), MAX64), value) << value;
    }
}

TEST(Base36, DecodeCapsAndRejects) {
    const std::wstring forty_z(40, L'Z');
    struct Case {
        std::wstring digits;
        int64_t maximum;
        int64_t expected;
    };
    const Case cases[] = {
        {L"zz", 9999, 1295},
        {L"ZZ", 1000, 1000},
        {L"ZZZ", 2000, 2000},
        {L"1-2", 9999, 0},
        {L"", 9999, 0},
        {L" 1", 9999, 0},
        {L"1 ", 9999, 0},
        {L"+1", 9999, 0},
        {L"\u00e4", 9999, 0},
        {L"00Z", 9999, 35},
        {forty_z, MAX64, MAX64},
        {forty_z, 5000, 5000},
        {forty_z + L"-", MAX64, 0},        // a bad character after the cap still rejects the text
        {L"1Y2P0IJ32E8E8", MAX64, MAX64},  // one above the largest int64
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(base36_decode(cases[i].digits, cases[i].maximum), cases[i].expected) << "case " << i;
    }
}

TEST(TextAfterMarker, FieldAfterTheMarker) {
    struct Case {
        const wchar_t* text;
        const wchar_t* marker;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"135~Storage Monitor~", L"135", L"Storage Monitor"},
        {L"135~Storage Monitor", L"135", L"Storage Monitor"},
        {L"134~Network~135~Storage Monitor~", L"135", L"Storage Monitor"},
        {L"135~Storage Monitor~", L"134", L""},
        {L"12~a~b~", L"12", L"a"},
        {L"135~", L"135", L""},
        {L"", L"135", L""},
        {L"135~x~", L"", L""},
        {L"1", L"1", L""},  // the part would begin after the end of the text
        {L"x5", L"5", L""},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(text_after_marker(cases[i].text, cases[i].marker), cases[i].expected) << "case " << i;
    }
}
