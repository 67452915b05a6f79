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

int64_t utc_seconds_now() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const int64_t ticks = (static_cast<int64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return ticks / 10000000 - 11644473600LL;  // 100-ns ticks since 1601 to seconds since 1970
}

Date date_from_utc(int64_t utc_seconds) {
    // SystemTimeToTzSpecificLocalTime applies the daylight-saving rule in force at that moment.
    const DateParts utc = date_parts(utc_seconds);
    SYSTEMTIME universal{};
    universal.wYear = static_cast<WORD>(utc.year);
    universal.wMonth = static_cast<WORD>(utc.month);
    universal.wDay = static_cast<WORD>(utc.day);
    universal.wHour = static_cast<WORD>(utc.hour);
    universal.wMinute = static_cast<WORD>(utc.minute);
    universal.wSecond = static_cast<WORD>(utc.second);
    SYSTEMTIME local{};
    if (utc.year < 1601 || utc.year > 30827 || !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
        return utc_seconds;
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
