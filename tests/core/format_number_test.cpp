// Tests of the fixed-point, grouped and right-justified number texts.
#include "core/format_number.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

TEST(FormatNumber, RoundsHalvesAwayFromZeroOnEveryPlatform) {
    struct Case {
        float value;
        int decimals;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {0.5f, 0, L"1"},
        {-0.5f, 0, L"-1"},
        {2.5f, 0, L"3"},
        {1.25f, 1, L"1.3"},
        {-1.25f, 1, L"-1.3"},
        {0.0005f, 3, L"0.001"},
        {9.765625f, 1, L"9.8"},
        {0.0f, 1, L"0.0"},
        {-0.0f, 1, L"0.0"},    // exactly zero has no sign
        {-0.01f, 1, L"-0.0"},  // a negative value keeps it
        {123456789.0f, 0, L"123456792"},
        {3.4028234663852886e38f, 0, L"340282346638528859811704183484516925440"},
        {-9223372036854775808.0f, 0, L"-9223372036854775808"},
        {1.536f, 3, L"1.536"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(format_fixed(c.value, c.decimals), c.expected) << c.value << " with " << c.decimals;
    }
}

TEST(FormatNumber, RightJustifyPadsOrCuts) {
    EXPECT_EQ(right_justify(L"abc", 5), L"  abc");
    EXPECT_EQ(right_justify(L"abc", 3), L"abc");
    EXPECT_EQ(right_justify(L"abcdef", 3), L"abc");
    EXPECT_EQ(right_justify(L"abc", 0), L"");
    EXPECT_EQ(right_justify(L"abc", -4), L"");
}

TEST(FormatNumber, GroupedNumberPutsACommaBetweenGroupsOfThree) {
    struct Case {
        int64_t value;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {0, L"0"},
        {999, L"999"},
        {1000, L"1,000"},
        {-1000, L"-1,000"},
        {-999, L"-999"},
        {100000, L"100,000"},
        {15502147584, L"15,502,147,584"},
        {std::numeric_limits<int64_t>::max(), L"9,223,372,036,854,775,807"},
        {std::numeric_limits<int64_t>::min(), L"-9,223,372,036,854,775,808"},
    };
    for (const Case& c : cases) EXPECT_EQ(grouped_number(c.value), c.expected) << c.value;
}

}  // namespace
