// The sampler's three performance-counter queries: processor loads and counts, up time, disk rates.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <pdh.h>

#include <cstdint>
#include <string>
#include <vector>

struct PerfCounters {
    PDH_HQUERY cpu_query = nullptr;
    std::vector<PDH_HCOUNTER> core_counters;  // one per logical processor, in order
    PDH_HCOUNTER processes = nullptr;
    PDH_HCOUNTER threads = nullptr;
    PDH_HCOUNTER handles = nullptr;
    PDH_HQUERY uptime_query = nullptr;
    PDH_HCOUNTER uptime = nullptr;
    PDH_HQUERY disk_query = nullptr;
    PDH_HCOUNTER disk_write = nullptr;
    PDH_HCOUNTER disk_read = nullptr;
    bool uptime_ok = false;  // the up-time counter gives the uptime
    bool disk_ok = false;
};

// One 2.5-second sample of the processor query.
struct PerfLoadSample {
    bool taken = false;    // the query was collected
    int64_t average = -1;  // rounded average load over the logical processors; -1 none
    int32_t processes = 0;
    int32_t threads = 0;
    int32_t handles = 0;
};

// The name Windows registers for a counter or object index in its language; empty when it has none.
std::wstring perf_counter_name(unsigned index);

// Opens the processor query; repairs missing counter names (and then restarts the program) unless the
// command line says "norepair". Sets PDH_LIBRARY to 0 when the counters cannot be used.
void perf_counters_open(PerfCounters& counters);

// Adds the per-core, count, up-time and disk counters for `core_count` processors.
void perf_counters_add(PerfCounters& counters, int core_count);

// The 2.5-second sample: each core's load into the table and its graph, the rounded average over
// `logical_count` (also into CPU_LOAD_AVG) and the three counts. Nothing is taken while the counters are off
// or the collection fails (which is reported as an event line).
PerfLoadSample perf_loads_sample(PerfCounters& counters, int64_t logical_count);

// The system up time in whole seconds from its counter; false when the counter cannot be read.
bool perf_uptime_read(PerfCounters& counters, int64_t& seconds);

// The disk rates of the last second in bytes; false when the disk query is not usable.
bool perf_disk_read(PerfCounters& counters, int64_t& write_bytes, int64_t& read_bytes);

// Closes the queries (the sampler's end).
void perf_counters_close(PerfCounters& counters);
