// The processor side of the sampler as arithmetic and texts: clock and idle averages, the clock estimate,
// the CPU cell, the Processors tab rows and the processor facts with their fall-backs.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

// Windows' PROCESSOR_POWER_INFORMATION, one per logical processor.
struct PowerRecord {
    uint32_t number = 0;
    uint32_t max_mhz = 0;
    uint32_t current_mhz = 0;
    uint32_t mhz_limit = 0;
    uint32_t max_idle_state = 0;
    uint32_t current_idle_state = 0;
};
static_assert(sizeof(PowerRecord) == 24, "PROCESSOR_POWER_INFORMATION is 24 bytes");

// Integer division with the quotient rounded to the nearest, halves away from zero; 0 for a divisor below 1.
int64_t divide_rounded(int64_t sum, int64_t count);

// A double rounded to the nearest integer, halves away from zero, limited to the int64 range (NaN gives 0).
int64_t round_half_away(double value);

// The text after each idle state: two spaces up to 24 processors, one up to 32, none beyond.
std::wstring idle_state_separator(int64_t logical_count);

struct ClockAverages {
    int64_t average_mhz = 0;
    int64_t average_idle = 0;
    std::wstring idle_states;  // each processor's idle state followed by the separator
};

// Averages over the first `count` records (fewer when the span is shorter); 0 for no processors.
ClockAverages processor_clock_averages(std::span<const PowerRecord> records, int64_t count,
                                       std::wstring_view separator);

// The clock as a percent of the highest clock: mhz / (highest / 100), or mhz × 100 / highest below 100 MHz;
// 0 when the highest clock is not known.
int64_t clock_percent(int64_t mhz, int64_t highest);

// The average load of `count` processors from the sum of their loads, rounded; -1 when there is no processor.
int64_t load_average_percent(double sum, int64_t count);

// A time-stamp count over 100 ms as MHz rounded up to the next multiple of 5 above; 0 when not positive.
int64_t clock_estimate_mhz(int64_t ticks_in_100ms);

// One measurement of the clock estimate: the processor (APIC id) and the time-stamp count before and after
// a wait of 100 ms.
struct ClockSample {
    unsigned first_processor = 0;
    unsigned second_processor = 0;
    uint64_t first_ticks = 0;
    uint64_t second_ticks = 0;
};

// The clock estimate measures at most this often: each try waits 100 ms, and the sampler waits for it.
constexpr int CLOCK_ESTIMATE_TRIES = 5;

// Measures again while a sample moved to another processor or did not count forward (the whole 64-bit
// count: its low half alone wraps about once a second at 4 GHz), at most CLOCK_ESTIMATE_TRIES times.
// The clock in MHz of the first good sample; 0 when none was good.
int64_t clock_estimate_from_samples(const std::function<ClockSample()>& measure);

// Everything the CPU cell and its rows are built from.
struct CpuReadoutInput {
    int64_t mhz = 0;
    int64_t load_sample = -1;  // rounded average load, -1 while the counters gave none
    int64_t logical_count = 1;
    float temperature = 0;  // core 0, 0 = none
    int64_t idle_average = 0;
    int64_t throttle = 0;
};

struct CpuReadoutTexts {
    std::wstring value_text;   // the CPU cell
    std::wstring speed_row;    // clock and load columns of the speed row
    std::wstring caption;      // "2400MHz", the CPU speed graph's subtitle
    std::wstring load_row;     // columns of the next Processors list line
    int32_t load_average = 0;  // what the average graph and the captions show
    bool throttle_shown = false;
};

// The CPU texts. With a load sample the cell shows the load and the clock; without one it shows the
// processor count and the clock, and the average counts as 0.
CpuReadoutTexts cpu_readout_build(const CpuReadoutInput& input);

// The temperature as the CPU cell ends in it: whole degrees and "C", right-justified in 5 characters; empty
// without a temperature (0 or below). The sampler rebuilds the CPU texts when this changes, as it does when
// the clock or the load changes: with a steady clock and load the cell would keep a temperature long gone.
std::wstring cpu_temperature_tail(float temperature);

// The rest of the speed row: processes, threads, handles and throttle, each with its change since it was
// last shown once a row has been shown, then the idle states.
std::wstring cpu_speed_row_tail(const std::array<int32_t, 4>& values, const std::array<int32_t, 4>& shown,
                                bool shown_before, std::wstring_view idle_states);

// The processor facts as the WMI query left them, after our fall-backs.
struct ProcessorFacts {
    std::wstring max_clock;  // MHz
    std::wstring manufacturer;
    std::wstring name;
    std::wstring description;
    std::wstring processor_id;
    std::wstring l2_cache;  // KB
    std::wstring l3_cache;  // KB
    std::wstring cores;
    int64_t logical_count = 1;
};

// The base-speed row: clock, maker, name and id, caches, cores and logical processors.
std::wstring cpu_base_speed_row(const ProcessorFacts& facts);

// The processor name when WMI gave none: the brand text without leading spaces and with runs of spaces
// collapsed, or "Unknown CPU".
std::wstring processor_name_fallback(std::wstring_view brand);

// The logical processor count: the WMI count when positive, else the affinity count; always 1..144.
int64_t logical_count_choose(std::wstring_view wmi_count, int64_t affinity_count);

// The leading decimal number of a text (after spaces), 0 when there is none; never overflows.
int64_t leading_integer(std::wstring_view text);
