// The clock estimate's retries: a sample that moved to another processor or did not count forward is
// measured again, five times at most, so the sampler never waits more than about half a second for it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "system/cpu_readout.h"

namespace {

constexpr uint64_t START = 5'000'000'000;
constexpr uint64_t TICKS_3GHZ = 300'000'000;  // 100 ms at 3 GHz: 3005 MHz after rounding

ClockSample good() { return {2, 2, START, START + TICKS_3GHZ}; }
ClockSample moved() { return {2, 7, START, START + TICKS_3GHZ}; }
ClockSample backwards() { return {2, 2, START + TICKS_3GHZ, START}; }
ClockSample standing() { return {2, 2, START, START}; }

TEST(ClockEstimate, BadSamplesAreMeasuredAgainAtMostFiveTimes) {
    struct Case {
        const char* name;
        std::vector<ClockSample> samples;  // given in turn; the last repeats
        int64_t mhz;
        int measured;
    };
    const Case cases[] = {
        {"the first sample is good", {good()}, 3005, 1},
        {"moved twice, then good", {moved(), moved(), good()}, 3005, 3},
        {"good only at the fifth try", {moved(), backwards(), standing(), moved(), good()}, 3005, 5},
        {"good only at the sixth try", {moved(), moved(), moved(), moved(), moved(), good()}, 0, 5},
        {"always moved", {moved()}, 0, 5},
        {"never counts forward", {backwards()}, 0, 5},
        {"never counts at all", {standing()}, 0, 5},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        int measured = 0;
        const int64_t mhz = clock_estimate_from_samples([&] {
            const size_t index = std::min(static_cast<size_t>(measured), test.samples.size() - 1);
            ++measured;
            return test.samples[index];
        });
        EXPECT_EQ(mhz, test.mhz);
        EXPECT_EQ(measured, test.measured);
    }
}

TEST(ClockEstimate, TheWholeSixtyFourBitCountIsUsed) {
    // The low halves of these counts go backwards; the whole counts are 100 ms at 3 GHz apart.
    const uint64_t first = (uint64_t{7} << 32) | 0xF000'0000u;
    const ClockSample wrapped_low_half{1, 1, first, first + TICKS_3GHZ};
    ASSERT_LT(static_cast<uint32_t>(wrapped_low_half.second_ticks), static_cast<uint32_t>(first));
    EXPECT_EQ(clock_estimate_from_samples([&] { return wrapped_low_half; }), 3005);
}

}  // namespace
