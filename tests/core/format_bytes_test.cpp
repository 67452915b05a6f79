// Tests of the byte-count styles and the byte-count change text.
#include "core/format_bytes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "core/shared_state.h"

namespace {

constexpr int64_t MAX64 = std::numeric_limits<int64_t>::max();
constexpr int64_t MIN64 = std::numeric_limits<int64_t>::min();
constexpr int64_t KI = 1024;
constexpr int64_t MI = KI * KI;
constexpr int64_t GI = MI * KI;
constexpr int64_t TI = GI * KI;

struct BytesCase {
    int64_t value;
    int style;
    const wchar_t* expected;
};

void expect_cases(std::initializer_list<BytesCase> cases) {
    for (const BytesCase& c : cases) {
        EXPECT_EQ(format_bytes(c.value, c.style), c.expected) << "value " << c.value << ", style " << c.style;
    }
}

// Style 8 reads the unit from the shared state; every test leaves it as it found it.
class FormatBytesFixedUnit : public ::testing::Test {
protected:
    void SetUp() override { saved_ = SharedInts[BYTE_UNIT].load(); }
    void TearDown() override { SharedInts[BYTE_UNIT].store(saved_); }
    int32_t saved_ = 0;
};

}  // namespace

TEST(FormatBytes, ZeroGivesEachStylesZeroText) {
    expect_cases({
        {0, 0, L"    0.0!"},
        {0, 1, L"    -- "},
        {0, 2, L"0.0!"},
        {0, 3, L"   -- "},
        {0, 4, L"0"},
        {0, 5, L"0.0!"},
        {0, 6, L"0"},
        {0, 7, L"  -- "},
        {0, 9, L""},
        {0, 42, L"    0.0!"},
        {0, -1, L"    0.0!"},
    });
}

TEST(FormatBytes, BinaryBandsSwitchJustBelowTenThousandOfAUnit) {
    expect_cases({
        {9'999, 2, L"9999B"},
        {10'000, 2, L"10K"},  // 9.765625 K
        {10'239'947, 2, L"10000K"},
        {10'239'948, 2, L"9.8M"},
        {10'485'707'264, 2, L"9999.9M"},
        {10'485'707'265, 2, L"9.8G"},
        {10'737'364'238'336, 2, L"9999.9G"},
        {10'737'364'238'337, 2, L"9.8T"},
        // Signed styles choose the band of the magnitude.
        {-9'999, 2, L"-9999B"},
        {-10'000, 2, L"-10K"},
        {-10'239'948, 2, L"-9.8M"},
    });
}

TEST(FormatBytes, ShortAndMemoryStyles) {
    expect_cases({
        {123'456'789, 2, L"117.7M"},
        {-512, 2, L"-512B"},
        {5'000'000'000'000, 2, L"4656.6G"},
        {123'456'789, 5, L"118M"},  // the memory style differs in the M band only
        {10'239'947, 5, L"10000K"},
        {5'000'000'000'000, 5, L"4656.6G"},
        {-123'456'789, 5, L"-118M"},
    });
}

TEST(FormatBytes, ChangeStyleCarriesItsSignInsideTheField) {
    expect_cases({
        {512, 1, L"  +512B"},
        {-512, 1, L"  -512B"},
        {-1, 1, L"    -1B"},
        {1'536'000, 1, L" +1500K"},
        {10'239'947, 1, L"+10000K"},
        {-10'239'948, 1, L"   -10M"},
        // 2^63 / 2^40 = 8388608: the sign and number are cut to six characters.
        {MIN64, 1, L"-83886T"},
        {MAX64, 1, L"+83886T"},
    });
}

TEST(FormatBytes, FixedWidthStylesKeepTheirWidth) {
    expect_cases({
        {512, 3, L"  512B"},
        {-512, 3, L" -512B"},
        {-10'239'947, 3, L"-1000K"},  // "-10000" cut to five
        {1, 7, L"   0K"},             // no byte band
        {10'000, 7, L"  10K"},
        {10'239'947, 7, L"1000K"},  // "10000" cut to four
        {10'239'948, 7, L"  10M"},
        {-1, 7, L"  -0K"},  // negative rates stay in K and keep their sign
        {-10'000'000'000, 7, L"-976K"},
        {512, 0, L"  512.0B"},
        {10'000, 0, L"    9.8K"},
        {-10'239'947, 0, L"-9999.9K"},
        {512, 42, L"  512.0B"},
        {MIN64, 0, L"-838860T"},
    });
    for (const int style : {0, 1, 3, 7}) {
        const size_t width = format_bytes(0, style).size();
        for (const int64_t value :
             {int64_t{1}, int64_t{-1}, int64_t{9'999}, int64_t{123'456'789}, 5 * TI, MAX64, MIN64}) {
            EXPECT_EQ(format_bytes(value, style).size(), width) << "value " << value << ", style " << style;
        }
    }
}

TEST(FormatBytes, DecimalBitStyles) {
    expect_cases({
        {999, 6, L"999b"},
        {9'999, 6, L"10Kb"},
        {1'000'000, 6, L"1Mb"},
        {1'536'000, 6, L"1.536Mb"},
        {1'010'000, 6, L"1.01Mb"},
        {1'000'400, 6, L"1Mb"},  // 1.000 loses its zeros and its point
        {125'000'000, 6, L"125Mb"},
        {2'500'000'000, 6, L"2.5Gb"},
        {999'999'999'999, 6, L"1000Gb"},
        {1'000'000'000'000, 6, L"1Tb"},
        {MAX64, 6, L"9223372Tb"},
        {-5, 6, L"-5b"},  // upper bounds only: every negative value is a count of bits
        {-123'456'789, 6, L"-123456792b"},
        {999, 4, L"999b"},
        {1'000, 4, L"1Kb"},
        {999'999, 4, L"1000Kb"},
        {1'536'000, 4, L"2Mb"},
        {2'500'000'000, 4, L"3Gb"},
        {-5'000'000'000'000, 4, L"-4999999913984b"},
    });
}

TEST(FormatBytes, GpuMemoryStyle) {
    expect_cases({
        {512, 9, L"0MB"},
        {GI - 1, 9, L"1024MB"},
        {GI, 9, L"1GB"},
        {8 * GI, 9, L"8GB"},
        {TI, 9, L"1TB"},
        {-TI, 9, L"-1048576MB"},
        {MAX64, 9, L"8388608TB"},
    });
}

TEST_F(FormatBytesFixedUnit, WritesTheChosenUnit) {
    struct UnitCase {
        int32_t unit;
        int64_t value;
        const wchar_t* expected;
    };
    const UnitCase cases[] = {
        {1, 512, L"512"},
        {1, 123'456'789, L"123456792"},  // whole counts show their single-precision value
        {1, -512, L"-512"},
        {1, MAX64, L"9223372036854775808"},
        {1, MIN64, L"-9223372036854775808"},
        {2, 1'536, L"2K"},
        {2, 10'240'000, L"10000K"},
        {3, 123'456'789, L"117.7M"},
        {4, 8 * GI, L"8.0G"},
        {5, TI, L"1.0T"},
        {5, MAX64, L"8388608.0T"},
        {0, 512, L""},
        {6, 512, L""},
        {-1, 512, L""},
        {0, 0, L"0!"},
        {3, 0, L"0!"},
    };
    for (const UnitCase& c : cases) {
        SharedInts[BYTE_UNIT].store(c.unit);
        EXPECT_EQ(format_bytes(c.value, 8), c.expected) << "unit " << c.unit << ", value " << c.value;
    }
}

TEST(FormatBytes, EveryStyleAcceptsTheExtremes) {
    for (int style = -1; style <= 10; ++style) {
        for (const int64_t value : {MIN64, MIN64 + 1, MAX64, int64_t{-1}, int64_t{1}}) {
            EXPECT_FALSE(format_bytes(value, style).empty() && style != 8) << "value " << value << ", style " << style;
        }
    }
}

TEST(FormatBytesDelta, WritesTheSignedChangeInTheMemoryStyle) {
    EXPECT_EQ(format_bytes_delta(L"(", 3'000, 1'000, L")"), L"(+2000B)");
    EXPECT_EQ(format_bytes_delta(L"(", 1'000, 3'000, L")"), L"(-2000B)");
    EXPECT_EQ(format_bytes_delta(L"(", 1'000, 1'000, L")"), L"");
    EXPECT_EQ(format_bytes_delta(L"", 123'456'789, 0, L""), L"+118M");
    EXPECT_EQ(format_bytes_delta(L"", 0, 5'000'000'000'000, L" freed"), L"-4656.6G freed");
}

TEST(FormatBytesDelta, ChangeBeyondInt64IsExact) {
    // 2^64 - 1 bytes is 16777216 T once held in single precision.
    EXPECT_EQ(format_bytes_delta(L"", MAX64, MIN64, L""), L"+16777216.0T");
    EXPECT_EQ(format_bytes_delta(L"", MIN64, MAX64, L""), L"-16777216.0T");
    EXPECT_EQ(format_bytes_delta(L"", MIN64, 0, L""), L"-8388608.0T");
    EXPECT_EQ(format_bytes_delta(L"", 0, MIN64, L""), L"+8388608.0T");
}
