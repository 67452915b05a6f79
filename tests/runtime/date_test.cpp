// Tests of the calendar arithmetic, the date masks and the clocks.
#include "runtime/date.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <ctime>
#include <thread>

namespace {

bool is_leap(int64_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int days_in_month(int64_t year, int month) {
    static const int DAYS[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && is_leap(year) ? 29 : DAYS[month - 1];
}

DateParts parts_of(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    DateParts parts;
    parts.year = year;
    parts.month = month;
    parts.day = day;
    parts.hour = hour;
    parts.minute = minute;
    parts.second = second;
    return parts;
}

void expect_parts(const DateParts& parts, int year, int month, int day, int hour, int minute, int second) {
    EXPECT_EQ(parts.year, year);
    EXPECT_EQ(parts.month, month);
    EXPECT_EQ(parts.day, day);
    EXPECT_EQ(parts.hour, hour);
    EXPECT_EQ(parts.minute, minute);
    EXPECT_EQ(parts.second, second);
}

}  // namespace

// Walks every month from 1200 to 2500 counting days with the leap-year rule, and checks both conversions
// on the first and last day of each month: this covers 1970, dates before it, 1900 and 2100 (no leap
// years) and 2000 (a leap year).
TEST(Date, MonthStartsMatchAnIndependentDayCount) {
    int64_t days = 0;
    for (int year = 1970; year > 1200; --year) {
        for (int month = 1; month <= 12; ++month) days -= days_in_month(year - 1, month);
    }
    for (int year = 1200; year <= 2500; ++year) {
        for (int month = 1; month <= 12; ++month) {
            const Date first = days * 86400;
            ASSERT_EQ(date_from_parts(parts_of(year, month, 1)), first) << year << "-" << month;
            const DateParts start = date_parts(first);
            ASSERT_EQ(start.year, year);
            ASSERT_EQ(start.month, month);
            ASSERT_EQ(start.day, 1);
            const int length = days_in_month(year, month);
            const DateParts last = date_parts(first + int64_t{length} * 86400 - 1);
            ASSERT_EQ(last.month, month);
            ASSERT_EQ(last.day, length);
            ASSERT_EQ(last.hour, 23);
            ASSERT_EQ(last.second, 59);
            days += length;
        }
    }
}

TEST(Date, KnownDates) {
    struct Case {
        Date date;
        int year, month, day, hour, minute, second;
    };
    const Case cases[] = {
        {0, 1970, 1, 1, 0, 0, 0},
        {-1, 1969, 12, 31, 23, 59, 59},
        {-86400, 1969, 12, 31, 0, 0, 0},
        {-86401, 1969, 12, 30, 23, 59, 59},
        {951782400, 2000, 2, 29, 0, 0, 0},
        {4107456000, 2100, 2, 28, 0, 0, 0},
        {4107542400, 2100, 3, 1, 0, 0, 0},  // 2100 is no leap year
        {2147483647, 2038, 1, 19, 3, 14, 7},
        {2147483648, 2038, 1, 19, 3, 14, 8},  // past the 32-bit limit
        {-2208988800, 1900, 1, 1, 0, 0, 0},
        {-62167219200, 0, 1, 1, 0, 0, 0},
        {253402300799, 9999, 12, 31, 23, 59, 59},
        // Far from 1970 and 2038 (counted independently, and checked against known dates where there are
        // some).
        {-62135596800, 1, 1, 1, 0, 0, 0},
        {-12219249600, 1582, 10, 15, 12, 0, 0},
        {-11670912001, 1600, 2, 29, 23, 59, 59},  // 1600 is a leap year
        {-62167219201, -1, 12, 31, 23, 59, 59},
        {-210866760000, -4713, 11, 24, 12, 0, 0},  // day 0 of the astronomers' Julian day count
        {13574586615, 2400, 2, 29, 6, 30, 15},
        {253402300800, 10000, 1, 1, 0, 0, 0},
        {31494789964800, 1000000, 3, 1, 0, 0, 0},
        {-31619114035200, -1000000, 3, 1, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.date);
        expect_parts(date_parts(c.date), c.year, c.month, c.day, c.hour, c.minute, c.second);
        EXPECT_EQ(date_from_parts(parts_of(c.year, c.month, c.day, c.hour, c.minute, c.second)), c.date);
    }
}

TEST(Date, RoundTripsOverEverySecondStepAcrossCenturies) {
    // A step that is not a divisor of a day visits every time of day over the range.
    for (Date date = -5'000'000'000; date < 5'000'000'000; date += 86'399 * 37 + 13) {
        const DateParts parts = date_parts(date);
        ASSERT_EQ(date_from_parts(parts), date);
        ASSERT_GE(parts.hour, 0);
        ASSERT_LE(parts.hour, 23);
        ASSERT_GE(parts.minute, 0);
        ASSERT_LE(parts.minute, 59);
        ASSERT_GE(parts.second, 0);
        ASSERT_LE(parts.second, 59);
    }
}

TEST(Date, PartsOutsideTheirRangeCarryOver) {
    const Date new_year = date_from_parts(parts_of(2026, 1, 1));
    EXPECT_EQ(date_from_parts(parts_of(2025, 13, 1)), new_year);
    EXPECT_EQ(date_from_parts(parts_of(2025, 12, 32)), new_year);
    EXPECT_EQ(date_from_parts(parts_of(2025, 12, 31, 24)), new_year);
    EXPECT_EQ(date_from_parts(parts_of(2026, 0, 1)), date_from_parts(parts_of(2025, 12, 1)));
    EXPECT_EQ(date_from_parts(parts_of(2024, 3, 0)), date_from_parts(parts_of(2024, 2, 29)));
    EXPECT_EQ(date_from_parts(parts_of(2026, -11, 1)), date_from_parts(parts_of(2025, 1, 1)));
}

// Any int64 is a valid date: beyond a hundred million years either way (250,000 whole 400-year cycles from
// 1970) a date is held at that bound. Under the sanitizers a signed overflow anywhere fails the run.
TEST(Date, ExtremeValuesStopAtAHundredMillionYears) {
    constexpr Date BOUND = 3'155'695'200'000'000;
    struct Case {
        Date date;
        const wchar_t* text;
    };
    const Case cases[] = {
        {INT64_MAX, L"100001970-01-01 00:00:00"}, {INT64_MAX - 1, L"100001970-01-01 00:00:00"},
        {BOUND, L"100001970-01-01 00:00:00"},     {BOUND - 1, L"100001969-12-31 23:59:59"},
        {INT64_MIN, L"-99998030-01-01 00:00:00"}, {INT64_MIN + 1, L"-99998030-01-01 00:00:00"},
        {-BOUND, L"-99998030-01-01 00:00:00"},    {-BOUND + 1, L"-99998030-01-01 00:00:01"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.date);
        EXPECT_EQ(date_format(L"%yyyy-%mm-%dd %hh:%ii:%ss", c.date), c.text);
    }
    EXPECT_EQ(date_from_parts(date_parts(BOUND)), BOUND);
    EXPECT_EQ(date_from_parts(date_parts(-BOUND)), -BOUND);
    // Every part at the end of int carries over into a date that int64 still holds exactly.
    EXPECT_EQ(date_from_parts(parts_of(INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX)), 73608717254617267);
    EXPECT_EQ(date_from_parts(parts_of(INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN)), -73608841628889728);
}

TEST(Date, FormatTokens) {
    const Date date = date_from_parts(parts_of(2009, 3, 7, 8, 5, 2));
    struct Case {
        const wchar_t* mask;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"%yyyy-%mm-%dd %hh:%ii:%ss", L"2009-03-07 08:05:02"},
        {L" = %yyyy-%mm-%dd  %hh:%ii:%ss = ", L" = 2009-03-07  08:05:02 = "},
        {L"%yyyy", L"2009"},
        {L"%yy", L"09"},
        {L"%mm", L"03"},
        {L"%dd", L"07"},
        {L"%hh", L"08"},
        {L"%ii", L"05"},
        {L"%ss", L"02"},
        {L"%dd%hh%ii%ss", L"07080502"},
        {L"", L""},
        {L"%", L"%"},
        {L"100%", L"100%"},
        {L"%%yyyy", L"%2009"},
        {L"%yyy", L"09y"},
        {L"%y", L"%y"},
        {L"%MM %x %m", L"%MM %x %m"},
        {L"\u00e4%dd\u00f6",
         L"\u00e4"
         L"07"
         L"\u00f6"},
    };
    for (const Case& c : cases) EXPECT_EQ(date_format(c.mask, date), c.expected) << c.mask;
}

TEST(Date, FormatYears) {
    EXPECT_EQ(date_format(L"%yyyy %yy", date_from_parts(parts_of(1969, 12, 31))), L"1969 69");
    EXPECT_EQ(date_format(L"%yyyy %yy", date_from_parts(parts_of(2100, 1, 1))), L"2100 00");
    EXPECT_EQ(date_format(L"%yyyy %yy", date_from_parts(parts_of(812, 1, 1))), L"0812 12");
    EXPECT_EQ(date_format(L"%yyyy %yy", date_from_parts(parts_of(12345, 1, 1))), L"12345 45");
    EXPECT_EQ(date_format(L"%yyyy %yy", date_from_parts(parts_of(-44, 3, 15))), L"-0044 56");
}

TEST(Date, NowIsThePlausibleLocalTime) {
    const Date now = date_now();
    const int64_t utc = static_cast<int64_t>(time(nullptr));
    // Local time differs from UTC by at most 14 hours; a minute more covers a slow test machine.
    EXPECT_LE(now, utc + 14 * 3600 + 60);
    EXPECT_GE(now, utc - 12 * 3600 - 60);
    EXPECT_GE(date_parts(now).year, 2024);
}

TEST(Date, MillisecondClockAdvances) {
    const int64_t before = millisecond_clock();
    EXPECT_GE(before, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    const int64_t after = millisecond_clock();
    EXPECT_GE(after - before, 50);
    EXPECT_LT(after - before, 10000);
    int64_t last = after;
    for (int i = 0; i < 1000; ++i) {
        const int64_t now = millisecond_clock();
        ASSERT_GE(now, last);
        last = now;
    }
}
