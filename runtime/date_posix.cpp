// The local wall clock and a monotonic millisecond clock on POSIX systems.
#include "runtime/date.h"

#include <chrono>
#include <ctime>

Date date_now() {
    const time_t now = time(nullptr);
    struct tm local {};
    if (localtime_r(&now, &local) == nullptr) return static_cast<Date>(now);
    DateParts parts;
    parts.year = local.tm_year + 1900;
    parts.month = local.tm_mon + 1;
    parts.day = local.tm_mday;
    parts.hour = local.tm_hour;
    parts.minute = local.tm_min;
    parts.second = local.tm_sec > 59 ? 59 : local.tm_sec;  // a leap second would roll into the next minute
    return date_from_parts(parts);
}

int64_t utc_seconds_now() { return static_cast<int64_t>(time(nullptr)); }

Date date_from_utc(int64_t utc_seconds) {
    const time_t moment = static_cast<time_t>(utc_seconds);
    struct tm local {};
    if (localtime_r(&moment, &local) == nullptr) return utc_seconds;
    return utc_seconds + local.tm_gmtoff;
}

int64_t millisecond_clock() {
    using Clock = std::chrono::steady_clock;
    static const Clock::time_point start = Clock::now();
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}
