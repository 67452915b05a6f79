// The processor arithmetic and the CPU cell and row texts.
#include "system/cpu_readout.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

TEST(CpuReadout, IdleStateSeparatorByProcessorCount) {
    EXPECT_EQ(idle_state_separator(1), L"  ");
    EXPECT_EQ(idle_state_separator(24), L"  ");
    EXPECT_EQ(idle_state_separator(25), L" ");
    EXPECT_EQ(idle_state_separator(32), L" ");
    EXPECT_EQ(idle_state_separator(33), L"");
}

TEST(CpuReadout, ClockAveragesOverTheCountedProcessors) {
    std::vector<PowerRecord> records(4);
    const uint32_t mhz[] = {3000, 3001, 800, 800};
    const uint32_t idle[] = {1, 2, 2, 0};
    for (int i = 0; i < 4; ++i) {
        records[i].current_mhz = mhz[i];
        records[i].current_idle_state = idle[i];
    }
    ClockAverages averages = processor_clock_averages(records, 4, L"  ");
    EXPECT_EQ(averages.average_mhz, 1900);  // 7601 / 4, truncated
    EXPECT_EQ(averages.average_idle, 1);    // 5 / 4 = 1.25
    EXPECT_EQ(averages.idle_states, L"1  2  2  0  ");

    averages = processor_clock_averages(records, 2, L"");  // 1.5 rounds away from zero
    EXPECT_EQ(averages.average_idle, 2);
    EXPECT_EQ(averages.idle_states, L"12");

    // A count beyond the records, or none at all, divides by what is there or gives zeros.
    EXPECT_EQ(processor_clock_averages(records, 100, L" ").average_mhz, 1900);
    EXPECT_EQ(processor_clock_averages(records, 0, L" ").average_mhz, 0);
    EXPECT_EQ(processor_clock_averages({}, 8, L" ").idle_states, L"");
}

TEST(CpuReadout, ClockPercentWithoutDivisionByZero) {
    EXPECT_EQ(clock_percent(3600, 3600), 100);
    EXPECT_EQ(clock_percent(1800, 3600), 50);
    EXPECT_EQ(clock_percent(3000, 3599), 85);  // mhz / (highest / 100), both truncated
    EXPECT_EQ(clock_percent(40, 80), 50);      // below 100 MHz the percent is exact
    EXPECT_EQ(clock_percent(40, 0), 0);
    EXPECT_EQ(clock_percent(40, -1), 0);
}

TEST(CpuReadout, LoadAverageRoundsAndNeedsAProcessor) {
    EXPECT_EQ(load_average_percent(150.0, 4), 38);  // 37.5 rounds away from zero
    EXPECT_EQ(load_average_percent(149.9, 4), 37);
    EXPECT_EQ(load_average_percent(0.0, 1), 0);
    EXPECT_EQ(load_average_percent(50.0, 0), -1);
    EXPECT_EQ(round_half_away(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(round_half_away(1e300), std::numeric_limits<int64_t>::max());
}

TEST(CpuReadout, ClockEstimateRoundsUpToTheNextFive) {
    EXPECT_EQ(clock_estimate_mhz(299'300'000), 2995);
    EXPECT_EQ(clock_estimate_mhz(300'000'000), 3005);
    EXPECT_EQ(clock_estimate_mhz(300'499'999), 3005);
    EXPECT_EQ(clock_estimate_mhz(0), 0);
    EXPECT_EQ(clock_estimate_mhz(-5), 0);
}

TEST(CpuReadout, CellTextsInTheLoadAndCountForms) {
    CpuReadoutInput input;
    input.mhz = 2400;
    input.load_sample = 5;
    input.logical_count = 8;
    CpuReadoutTexts texts = cpu_readout_build(input);
    EXPECT_EQ(texts.value_text, L" 5% 2.4GHz");
    EXPECT_EQ(texts.speed_row, L"2400MHz\n5%");
    EXPECT_EQ(texts.caption, L"2400MHz");
    EXPECT_EQ(texts.load_row, L"5%\n2400MHz");
    EXPECT_EQ(texts.load_average, 5);

    input.load_sample = 100;
    input.temperature = 45.4f;
    texts = cpu_readout_build(input);
    EXPECT_EQ(texts.value_text, L"MAX 2.4GHz  45C");

    input.temperature = 0;
    input.idle_average = 1;
    input.throttle = 3;
    texts = cpu_readout_build(input);
    EXPECT_EQ(texts.value_text, L"MAX 2.4GHz C1P3");
    EXPECT_EQ(texts.load_row, L"100%\n2400MHz C1P3");
    EXPECT_TRUE(texts.throttle_shown);

    // Without counters: the count stands in for the load, and stays so (no "-1%").
    input.load_sample = -1;
    input.idle_average = 0;
    input.mhz = 800;
    texts = cpu_readout_build(input);
    EXPECT_EQ(texts.value_text, L" 8x800MHz");
    EXPECT_EQ(texts.speed_row, L"800MHz\n");
    EXPECT_EQ(texts.load_row, L"8x\n800MHz");
    EXPECT_EQ(texts.load_average, 0);
    EXPECT_FALSE(texts.throttle_shown);
}

TEST(CpuReadout, SpeedRowShowsChangesOnlyAfterTheFirstRow) {
    const std::array<int32_t, 4> now{120, 1500, 40000, 0};
    const std::array<int32_t, 4> shown{118, 1500, 40100, 0};
    EXPECT_EQ(cpu_speed_row_tail(now, shown, false, L"1  2  "), L"\n120\n1500\n40000\n0\n1  2  ");
    EXPECT_EQ(cpu_speed_row_tail(now, shown, true, L""), L"\n120  ( +2 )\n1500\n40000  ( -100 )\n0\n");
}

TEST(CpuReadout, BaseSpeedRowWithItsFallbacks) {
    ProcessorFacts facts;
    facts.max_clock = L"3600";
    facts.manufacturer = L"GenuineIntel";
    facts.name = L"Intel Core i7";
    facts.processor_id = L"BFEBFBFF000906EA";
    facts.l2_cache = L"1536";
    facts.l3_cache = L"12288";
    facts.cores = L"6";
    facts.logical_count = 12;
    EXPECT_EQ(cpu_base_speed_row(facts),
              L"3600MHz\nGenuineIntel\nIntel Core i7, ID:BFEBFBFF000906EA\n1536K + 12288K\n6  ( 12 )");

    facts.name = L"  ";
    facts.description = L"Intel64 Family 6";
    facts.processor_id.clear();
    facts.l2_cache.clear();
    facts.l3_cache = L" ";
    facts.cores.clear();
    EXPECT_EQ(cpu_base_speed_row(facts), L"3600MHz\nGenuineIntel\nIntel64 Family 6\n?K + ?K\n?  ( 12 )");
}

TEST(CpuReadout, ProcessorNameAndCountFallbacks) {
    EXPECT_EQ(processor_name_fallback(L"   Intel(R)  Core   i5"), L"Intel(R) Core i5");
    EXPECT_EQ(processor_name_fallback(L""), L"Unknown CPU");
    EXPECT_EQ(processor_name_fallback(L"    "), L"Unknown CPU");

    EXPECT_EQ(logical_count_choose(L"16", 8), 16);
    EXPECT_EQ(logical_count_choose(L"", 8), 8);
    EXPECT_EQ(logical_count_choose(L"NumberOfLogicalProcessors", 8), 8);
    EXPECT_EQ(logical_count_choose(L"4096", 8), 144);  // never more than the core table holds
    EXPECT_EQ(logical_count_choose(L"0", 0), 1);
    EXPECT_EQ(logical_count_choose(L"99999999999999999999999", 4), 144);
    EXPECT_EQ(leading_integer(L"  42abc"), 42);
}
