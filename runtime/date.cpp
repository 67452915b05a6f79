// Calendar arithmetic of the proleptic Gregorian calendar and date formatting by mask.
#include "runtime/date.h"

#include <algorithm>

namespace {

constexpr int64_t SECONDS_PER_DAY = 86400;

// Dates further out than about a hundred million years would give years beyond int; they are clamped so
// that any int64 a caller hands in formats without overflow.
constexpr int64_t DATE_LIMIT = int64_t{100'000'000} * 146097 / 400 * SECONDS_PER_DAY;

int64_t floor_div(int64_t a, int64_t b) {
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

// Days since 1970-01-01 for a year, month 1..12 and day; the day may lie outside the month and counts on
// linearly. Eras of 400 years keep the arithmetic exact for years before 1970 and before year 0.
int64_t days_from_civil(int64_t year, int64_t month, int64_t day) {
    year -= month <= 2 ? 1 : 0;
    const int64_t era = floor_div(year, 400);
    const int64_t year_of_era = year - era * 400;                                          // 0..399
    const int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;  // 0..365
    const int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
    return era * 146097 + day_of_era - 719468;
}

void civil_from_days(int64_t days, int64_t& year, int& month, int& day) {
    days += 719468;
    const int64_t era = floor_div(days, 146097);
    const int64_t day_of_era = days - era * 146097;  // 0..146096
    const int64_t year_of_era =
        (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;  // 0..399
    const int64_t day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
    const int64_t month_index = (5 * day_of_year + 2) / 153;  // 0..11, from March
    day = static_cast<int>(day_of_year - (153 * month_index + 2) / 5 + 1);
    month = static_cast<int>(month_index < 10 ? month_index + 3 : month_index - 9);
    year = year_of_era + era * 400 + (month <= 2 ? 1 : 0);
}

void append_padded(std::wstring& out, int64_t value, int width) {
    if (value < 0) {
        out += L'-';
        value = -value;
    }
    wchar_t digits[24];
    int count = 0;
    do {
        digits[count++] = static_cast<wchar_t>(L'0' + value % 10);
        value /= 10;
    } while (value > 0);
    for (int i = count; i < width; ++i) out += L'0';
    while (count > 0) out += digits[--count];
}

}  // namespace

Date date_from_parts(const DateParts& parts) {
    // A month outside 1..12 carries into the year, so that "month 13" means January of the next year.
    const int64_t month_zero = int64_t{parts.month} - 1;
    const int64_t year = int64_t{parts.year} + floor_div(month_zero, 12);
    const int64_t month = month_zero - floor_div(month_zero, 12) * 12 + 1;
    const int64_t days = days_from_civil(year, month, parts.day);
    return days * SECONDS_PER_DAY + int64_t{parts.hour} * 3600 + int64_t{parts.minute} * 60 + parts.second;
}

DateParts date_parts(Date date) {
    date = std::clamp(date, -DATE_LIMIT, DATE_LIMIT);
    const int64_t days = floor_div(date, SECONDS_PER_DAY);
    const int64_t seconds = date - days * SECONDS_PER_DAY;
    DateParts parts;
    int64_t year = 0;
    civil_from_days(days, year, parts.month, parts.day);
    parts.year = static_cast<int>(year);
    parts.hour = static_cast<int>(seconds / 3600);
    parts.minute = static_cast<int>(seconds / 60 % 60);
    parts.second = static_cast<int>(seconds % 60);
    return parts;
}

std::wstring date_format(std::wstring_view mask, Date date) {
    const DateParts parts = date_parts(date);
    std::wstring out;
    out.reserve(mask.size() + 8);
    size_t i = 0;
    while (i < mask.size()) {
        const std::wstring_view rest = mask.substr(i);
        if (rest.starts_with(L"%yyyy")) {
            append_padded(out, parts.year, 4);
            i += 5;
        } else if (rest.starts_with(L"%yy")) {
            append_padded(out, (parts.year % 100 + 100) % 100, 2);
            i += 3;
        } else if (rest.starts_with(L"%mm")) {
            append_padded(out, parts.month, 2);
            i += 3;
        } else if (rest.starts_with(L"%dd")) {
            append_padded(out, parts.day, 2);
            i += 3;
        } else if (rest.starts_with(L"%hh")) {
            append_padded(out, parts.hour, 2);
            i += 3;
        } else if (rest.starts_with(L"%ii")) {
            append_padded(out, parts.minute, 2);
            i += 3;
        } else if (rest.starts_with(L"%ss")) {
            append_padded(out, parts.second, 2);
            i += 3;
        } else {
            out += mask[i];
            ++i;
        }
    }
    return out;
}
