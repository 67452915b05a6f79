// Dates: 64-bit seconds since 1970 counted in local time (also on i386), and formatting by mask.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

using Date = int64_t;

struct DateParts {
    int year = 1970;  // full year, e.g. 2026
    int month = 1;    // 1..12
    int day = 1;      // 1..31
    int hour = 0;     // 0..23
    int minute = 0;   // 0..59
    int second = 0;   // 0..59
};

// Current local date and time as seconds since 1970-01-01 00:00:00 (local wall clock, no zone shift).
Date date_now();

// Seconds since 1970 in UTC, now.
int64_t utc_seconds_now();

// The local date of a UTC moment (seconds since 1970, UTC), with the zone's daylight-saving rule of that
// moment, not of today: an event of July read in December keeps its summer time.
Date date_from_utc(int64_t utc_seconds);

// Calendar conversions of the proleptic Gregorian calendar; valid for every int64 date a program meets.
Date date_from_parts(const DateParts& parts);
DateParts date_parts(Date date);

// Formats a date by mask: %yyyy (4-digit year), %yy (2-digit year), %mm, %dd, %hh, %ii (minutes) and %ss,
// each zero-padded to two digits; every other character is copied. Example: "%yyyy-%mm-%dd %hh:%ii:%ss".
std::wstring date_format(std::wstring_view mask, Date date);

// Milliseconds since the first call in this process, from a monotonic clock.
int64_t millisecond_clock();
