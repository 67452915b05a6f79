// Counter paths, the repair decision and the missing-library line.
#include "system/perf_counter_paths.h"

#include <gtest/gtest.h>

#include "core/language.h"

TEST(PerfCounterPaths, PathsWithAndWithoutInstance) {
    EXPECT_EQ(perf_counter_path(L"Processor", L"3", L"% Processor Time"), L"\\Processor(3)\\% Processor Time");
    EXPECT_EQ(perf_counter_path(L"System", L"", L"Threads"), L"\\System\\Threads");
    EXPECT_EQ(perf_counter_path(L"", L"0", L""), L"\\(0)\\");  // names missing: the path shows it
}

TEST(PerfCounterPaths, RepairOnlyWithoutNameAndWithoutNorepair) {
    EXPECT_TRUE(perf_repair_wanted(L"", L""));
    EXPECT_TRUE(perf_repair_wanted(L"", L"restart "));
    EXPECT_FALSE(perf_repair_wanted(L"", L"restart norepair "));
    EXPECT_FALSE(perf_repair_wanted(L"", L"NOREPAIR "));
    EXPECT_FALSE(perf_repair_wanted(L"Processor", L""));
}

TEST(PerfCounterPaths, MissingLibrariesLine) {
    text_maps_load(LANGUAGE_ENGLISH);
    EXPECT_EQ(libraries_missing_line(false, false), L"");
    EXPECT_EQ(libraries_missing_line(true, false), L"Unable to load powrprof.dll for full CPU statistics");
    EXPECT_EQ(libraries_missing_line(false, true), L"Unable to load pdh.dll for full CPU statistics");
    EXPECT_EQ(libraries_missing_line(true, true), L"Unable to load powrprof.dll and pdh.dll for full CPU statistics");
}
