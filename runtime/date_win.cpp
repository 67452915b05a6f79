// The local wall clock and a monotonic millisecond clock on Windows.
#include "runtime/date.h"

#include <windows.h>

Date date_now() {
    SYSTEMTIME local{};
    GetLocalTime(&local);
    DateParts parts;
    parts.year = local.wYear;
    parts.month = local.wMonth;
    parts.day = local.wDay;
    parts.hour = local.wHour;
    parts.minute = local.wMinute;
    parts.second = local.wSecond;
    return date_from_parts(parts);
}

namespace {

struct ClockSource {
    int64_t frequency = 0;  // performance counter ticks per second; 0 when only GetTickCount64 is there
    int64_t start = 0;
};

int64_t clock_ticks(const ClockSource& source) {
    if (source.frequency > 0) {
        LARGE_INTEGER count{};
        QueryPerformanceCounter(&count);
        return count.QuadPart;
    }
    return static_cast<int64_t>(GetTickCount64());
}

ClockSource clock_source_open() {
    ClockSource source;
    LARGE_INTEGER frequency{};
    LARGE_INTEGER count{};
    if (QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0 && QueryPerformanceCounter(&count)) {
        source.frequency = frequency.QuadPart;
    }
    source.start = clock_ticks(source);
    return source;
}

}  // namespace

int64_t millisecond_clock() {
    static const ClockSource source = clock_source_open();
    const int64_t elapsed = clock_ticks(source) - source.start;
    if (source.frequency <= 0) return elapsed;
    // Split the division so that ticks * 1000 cannot overflow however long the process runs.
    return elapsed / source.frequency * 1000 + elapsed % source.frequency * 1000 / source.frequency;
}
