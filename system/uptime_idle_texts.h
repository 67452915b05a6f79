// The uptime and user-idle cells as texts, the idle history and the System tab's battery row.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

// The uptime in days, hours and minutes above a day, otherwise with seconds.
std::wstring uptime_text(int64_t uptime_s);

// The uptime text centred in the 13 characters of its cell (cut when longer).
std::wstring uptime_cell_text(std::wstring_view uptime);

// The idle cell's value: " " + the idle time + " ".
std::wstring idle_cell_text(int64_t idle_s);

// Beyond the first minute the idle cell is redrawn only when its first four characters change.
bool idle_text_needs_draw(std::wstring_view drawn_text, std::wstring_view value_text);

// A finished idle period as the history keeps it: trimmed, every space replaced by "+".
std::wstring idle_period_entry(std::wstring_view drawn_text);

// The last idle periods, newest first, at most four.
struct IdleHistory {
    std::deque<std::wstring> entries;
    void push(std::wstring entry);
    std::wstring joined() const;  // newest first, joined by ", "
};

// Whether a finished idle period is long enough for a "Long Idle:" line; a threshold below 1 means never.
bool idle_period_is_long(int64_t period_s, int64_t long_idle_s);

// The row of the System tab's battery list: the battery column, the uptime and the idle columns.
struct BatteryRowFacts {
    std::wstring battery_drawn_text;
    std::wstring battery_status_text;
    int64_t remaining_s = -1;
    int32_t column_width = 0;
    int64_t uptime_s = 0;
    std::wstring idle_drawn_text;
    std::wstring idle_history_text;
};
std::wstring battery_list_row(const BatteryRowFacts& facts);
