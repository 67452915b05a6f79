// The round schedule of the system sampler: per-second steps by the wall clock, the processor step by the
// millisecond timer without drift, the desktop check by rounds.
#include "system/sampler_schedule.h"

#include <gtest/gtest.h>

namespace {

struct Counts {
    int memory = 0, processor = 0, per_second = 0, desktop = 0;
};

// Runs rounds of `period_ms` (125 ms plus the round's own time) from the given start, counting steps.
Counts run(SamplerClock& clock, int rounds, int64_t period_ms, int64_t start_ms, bool realtime = false) {
    Counts counts;
    for (int i = 0; i < rounds; ++i) {
        const int64_t now = start_ms + i * period_ms;
        const SamplerPlan plan = sampler_plan_round(clock, static_cast<int>(now / 1000 % 60), now, realtime, false);
        counts.memory += plan.memory;
        counts.processor += plan.processor;
        counts.per_second += plan.per_second;
        counts.desktop += plan.desktop;
    }
    return counts;
}

}  // namespace

TEST(SamplerSchedule, FirstRoundRunsTheProcessorAndSecondSteps) {
    SamplerClock clock;
    SamplerPlan plan = sampler_plan_round(clock, 17, 0, false, false);
    EXPECT_TRUE(plan.memory && plan.processor && plan.per_second);
    EXPECT_FALSE(plan.desktop);

    SamplerClock at_zero;  // in second 0 the memory step waits for the next second
    plan = sampler_plan_round(at_zero, 0, 5, false, false);
    EXPECT_FALSE(plan.memory);
    EXPECT_TRUE(plan.processor);
}

TEST(SamplerSchedule, StepsFollowTheClocksNotTheRoundLength) {
    for (int64_t period : {125, 160, 300}) {
        SamplerClock clock;
        const int rounds = static_cast<int>(60'000 / period);  // one minute
        const Counts counts = run(clock, rounds, period, 500);
        EXPECT_NEAR(counts.per_second, 60, 1) << period;
        EXPECT_NEAR(counts.memory, 60, 1) << period;
        // Every 2.5 s, give or take the round in which the timer runs out.
        EXPECT_GE(counts.processor, 60'000 / (2500 + period)) << period;
        EXPECT_LE(counts.processor, 25) << period;
        EXPECT_EQ(counts.desktop, rounds / 120) << period;
    }
}

TEST(SamplerSchedule, RealtimeMemoryRunsEveryRound) {
    SamplerClock clock;
    const Counts counts = run(clock, 80, 125, 0, true);
    EXPECT_EQ(counts.memory, 80);
    EXPECT_EQ(counts.per_second, 10);
}

TEST(SamplerSchedule, QuittingSkipsTheStepsButNotTheDesktopCheck) {
    SamplerClock clock;
    clock.round = 119;
    const SamplerPlan plan = sampler_plan_round(clock, 3, 100'000, false, true);
    EXPECT_FALSE(plan.memory || plan.processor || plan.per_second);
    EXPECT_TRUE(plan.desktop);
    EXPECT_EQ(clock.round, 120);
}
