// What the Ping tab shows of the host list: row texts and colours, timeline columns, the sample under the
// pointer, the status line's texts, and the frames that tell a list or status redraw whether anything changed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <string>
#include <string_view>
#include <vector>

#include "core/shared_tables.h"
#include "runtime/date.h"

constexpr int PING_ROW_CHARACTERS = 76;  // 40 address and name, 15 time/TTL/TOS, 7 received, 14 lost
constexpr int PING_NAME_CHARACTERS = 40;

// Row and timeline colours (0x00BBGGRR).
enum PingColor : uint32_t {
    PING_COLOR_PAUSED = 0x800080,
    PING_COLOR_DOWN = 0x0000FF,
    PING_COLOR_FAST = 0x000000,
    PING_COLOR_SLOW_TEXT = 0x13458B,
    PING_COLOR_SELECTED = 0xFFCC99,
    PING_COLOR_TIMELINE = 0x000000,
    PING_COLOR_TIMELINE_RULE = 0x606060,
    PING_COLOR_NO_SAMPLES = 0x701919,
    PING_COLOR_TIMED_OUT = 0x0000FF,
    PING_COLOR_SLOW = 0x00FFFF,
    PING_COLOR_RESUMED = 0xFFCC99,
    PING_COLOR_INACTIVE = 0x808080,
    PING_COLOR_REPLY = 0x00CC00,
    PING_COLOR_STATUS_BACK = 0xFFFFFF,
    PING_COLOR_MESSAGE = 0x0000FF,
    PING_COLOR_HEADER = 0xFF0000,
};

// Sample values that are no round-trip time.
enum PingSampleMark : int64_t {
    PING_SAMPLE_TIMED_OUT = -1,
    PING_SAMPLE_RESUMED = -2,
    PING_SAMPLE_INACTIVE = -4,
};

// The words of a row that the text table translates.
struct PingRowWords {
    std::wstring paused = L"Paused";
    std::wstring down = L" Down ";
};

// The 76-character row of a host: address and name cut or padded to 40, then the state or the latest time,
// TTL and TOS, then received, lost and the lost percentage. A number too long for its column widens the row
// rather than lose digits. The percentage of a host never sent to shows "-".
std::wstring ping_row_text(const PSys& host, const PingRowWords& words = {});

struct PingRowColors {
    uint32_t text = 0;
    uint32_t back = 0;
    bool operator==(const PingRowColors&) const = default;
};
// The row colours of a host: paused purple, down red, below the slow limit black, else brown; the light blue
// background of a selected host, else the list's.
PingRowColors ping_row_colors(const PSys& host, int slow_ms, uint32_t list_background);

// Which samples a timeline of `width` columns shows: the newest min(count, width), ending at the right edge;
// left of them `empty_columns` that no sample reaches.
struct PingTimelineSpan {
    std::size_t first_sample = 0;  // index of the oldest sample shown
    std::size_t shown = 0;
    int empty_columns = 0;
};
PingTimelineSpan ping_timeline_span(std::size_t sample_count, int width);

// How one timeline column of a row `height` pixels high shows a sample value: nothing (left black), or a
// bar of `bar_height` standing on the bottom edge (full height for the marks and slow replies).
struct PingColumnPaint {
    bool drawn = false;
    uint32_t color = 0;
    int bar_height = 0;
};
PingColumnPaint ping_column_paint(int64_t value, int slow_ms, bool full_timeline, int height);

// The sample under a timeline column (the pointer's x less the timeline's x): outside the timeline, left of
// the first sample, or the sample's index, which is always below sample_count.
enum class PingHoverKind : uint8_t { OUTSIDE, BEFORE_FIRST, SAMPLE };
struct PingHoverSample {
    PingHoverKind kind = PingHoverKind::OUTSIDE;
    std::size_t index = 0;
};
PingHoverSample ping_hover_sample(int column, int width, std::size_t sample_count);

// The list's column header in English (the text table gives its translations); its column ends match the rows.
inline constexpr std::wstring_view PING_LIST_HEADER =
    L"IP Address (Host Name)               Time(ms)  TTL  TOS   Recv   Lost  Lost%";

// The status line's message: ">> " and the message, cut to the header's length (uncut while it is unknown).
std::wstring ping_status_message_text(std::wstring_view message, int header_length);

// The time span text of the timelines from the first shown sample to the newest, in the widest form that
// fits: with the duration, with both dates, or the newest date alone.
enum class PingSpanForm : uint8_t { NEWEST_ONLY, BOTH_DATES, WITH_DURATION };
std::wstring ping_span_text(Date first, Date newest, PingSpanForm form);
// The texts that measure the widest text of each longer form, after the first date.
inline constexpr std::wstring_view PING_SPAN_MEASURE_DURATION = L" - mm-dd hh:ii:ss = 60d 24h 60m 60s";
inline constexpr std::wstring_view PING_SPAN_MEASURE_DATES = L" - mm-dd hh:ii:ss";
// The first shown and the newest sample date of the host at `row` (the first host when the row is gone), for a
// timeline of `width`; false when the list or that host has no samples.
bool ping_span_dates(const std::list<PSys>& hosts, int row, int width, Date* first, Date* newest);

// Everything that decides the list canvas's pixels. A draw whose frame equals the last drawn one is skipped.
struct PingRowFrame {
    std::wstring text;
    PingRowColors colors;
    std::vector<int64_t> samples;  // the shown ones, oldest first
    std::size_t sample_count = 0;
    bool operator==(const PingRowFrame&) const = default;
};
struct PingListLook {
    int row_height = 0;
    int timeline_x = 0;
    int timeline_width = 0;
    int slow_ms = 0;
    uint32_t background = 0;
    bool full_timeline = false;
    bool operator==(const PingListLook&) const = default;
};
struct PingListFrame {
    PingListLook look;
    std::vector<PingRowFrame> rows;
    int up_count = 0;  // active hosts whose latest time is above -1
    int down_count = 0;
    std::size_t most_samples = 0;
    int most_samples_row = 0;
    bool operator==(const PingListFrame&) const = default;
};
// The frame of the list as it stands, in list order; stores each host's row colours in CFor and CBak.
// The caller holds PingListMutex.
PingListFrame ping_list_frame(std::list<PSys>& hosts, const PingListLook& look, const PingRowWords& words = {});
