// Performance-counter paths from the localized names Windows registers by index, and the repair decision.
#pragma once

#include <string>
#include <string_view>

// Indexes of the objects and counters we read; the names behind them depend on the Windows language.
enum PerfNameIndex : unsigned {
    PERF_SYSTEM = 2,
    PERF_PROCESSOR_TIME = 6,
    PERF_DISK_READ_BYTES = 220,
    PERF_DISK_WRITE_BYTES = 222,
    PERF_PROCESS = 230,
    PERF_PHYSICAL_DISK = 234,
    PERF_PROCESSOR = 238,
    PERF_PROCESSES = 248,
    PERF_THREADS = 250,
    PERF_HANDLE_COUNT = 952,
};

// The system up-time counter, used by number: it needs no name.
inline constexpr const wchar_t* PERF_UPTIME_PATH = L"\\2\\674";

// "\object(instance)\counter", or "\object\counter" without an instance.
std::wstring perf_counter_path(std::wstring_view object, std::wstring_view instance, std::wstring_view counter);

// True when the counter names must be repaired: the processor object has no name and the command line
// (lower-cased words, each followed by a space) does not say "norepair".
bool perf_repair_wanted(std::wstring_view processor_name, std::wstring_view command_line);

// The event line when the power or the counter library is missing; empty when both are there.
std::wstring libraries_missing_line(bool power_missing, bool counters_missing);
