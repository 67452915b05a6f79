// The Ping tab's row texts, colours, timeline columns, hover sample, status texts and list frames.
#include "ui/ping_tab_view.h"

#include <algorithm>
#include <cwchar>
#include <iterator>

#include "core/format_text.h"

namespace {

constexpr int TIME_COLUMN = 5;
constexpr int STATE_WIDTH = 15;
constexpr int COUNT_WIDTH = 7;
constexpr int LOST_WIDTH = 14;

// Right-justified in width; a longer text stays whole.
std::wstring right_justified(std::wstring text, int width) {
    const auto size = static_cast<int>(text.size());
    if (size < width) text.insert(0, static_cast<std::size_t>(width - size), L' ');
    return text;
}

// A positive value as its digits, else "-", right-justified.
std::wstring value_or_dash(int64_t value, int width) {
    return right_justified(value > 0 ? std::to_wstring(value) : std::wstring(L"-"), width);
}

bool blank(std::wstring_view text) { return text.find_first_not_of(L' ') == std::wstring_view::npos; }

std::wstring name_column(const PSys& host) {
    std::wstring text = host.Addr;
    if (!blank(host.Host)) text += L" (" + host.Host + L")";
    text.resize(PING_NAME_CHARACTERS, L' ');
    return text;
}

// The state text fills exactly its 15 characters: a long translation is shortened inside its marks.
std::wstring state_column(const PSys& host, const PingRowWords& words) {
    if (host.Actv != 0 && host.Time != -1) {
        return value_or_dash(host.Time, TIME_COLUMN) + value_or_dash(host.PTTL, TIME_COLUMN) +
               value_or_dash(host.PTOS, TIME_COLUMN);
    }
    constexpr std::size_t word_room = STATE_WIDTH - 6;  // "■■ " before, " ■■" after
    const std::wstring& word = host.Actv == 0 ? words.paused : words.down;
    return right_justified(L"\u25A0\u25A0 " + word.substr(0, word_room) + L" \u25A0\u25A0", STATE_WIDTH);
}

std::wstring lost_column(const PSys& host) {
    if (host.Lost == 0) return right_justified(L"-      -", LOST_WIDTH);
    std::wstring percent = L"-";
    if (host.Sent > 0) {
        wchar_t buffer[32];
        const float share = static_cast<float>(host.Lost) / static_cast<float>(host.Sent) * 100.0f;
        std::swprintf(buffer, std::size(buffer), L"%.1f%%", static_cast<double>(share));
        percent = buffer;
    }
    return right_justified(std::to_wstring(host.Lost), COUNT_WIDTH) + right_justified(percent, COUNT_WIDTH);
}

}  // namespace

std::wstring ping_row_text(const PSys& host, const PingRowWords& words) {
    return name_column(host) + state_column(host, words) + value_or_dash(host.Recv, COUNT_WIDTH) + lost_column(host);
}

PingRowColors ping_row_colors(const PSys& host, int slow_ms, uint32_t list_background) {
    PingRowColors colors;
    if (host.Actv == 0) {
        colors.text = PING_COLOR_PAUSED;
    } else if (host.Last == -1) {
        colors.text = PING_COLOR_DOWN;
    } else if (host.Time < slow_ms) {
        colors.text = PING_COLOR_FAST;
    } else {
        colors.text = PING_COLOR_SLOW_TEXT;
    }
    colors.back = host.HiLi != 0 ? PING_COLOR_SELECTED : list_background;
    return colors;
}

PingTimelineSpan ping_timeline_span(std::size_t sample_count, int width) {
    PingTimelineSpan span;
    const std::size_t columns = width > 0 ? static_cast<std::size_t>(width) : 0;
    span.shown = std::min(sample_count, columns);
    span.first_sample = sample_count - span.shown;
    span.empty_columns = static_cast<int>(columns - span.shown);
    return span;
}

PingColumnPaint ping_column_paint(int64_t value, int slow_ms, bool full_timeline, int height) {
    const auto full = [height](uint32_t color) { return PingColumnPaint{true, color, height}; };
    if (value == PING_SAMPLE_TIMED_OUT) return full(PING_COLOR_TIMED_OUT);
    if (value >= slow_ms) return full(PING_COLOR_SLOW);
    if (value == PING_SAMPLE_RESUMED) return full(PING_COLOR_RESUMED);
    if (value == PING_SAMPLE_INACTIVE) return full(PING_COLOR_INACTIVE);
    if (value > 0 && full_timeline && height > 0) {
        // height / (slow / value), truncated: the same as height * value / slow for these positive values.
        const int bar = static_cast<int>(static_cast<int64_t>(height) * value / slow_ms);
        if (bar > 0) return PingColumnPaint{true, PING_COLOR_REPLY, bar};
    }
    return {};
}

PingHoverSample ping_hover_sample(int column, int width, std::size_t sample_count) {
    if (column < 0 || column >= width) return {};
    const PingTimelineSpan span = ping_timeline_span(sample_count, width);
    if (column < span.empty_columns) return {PingHoverKind::BEFORE_FIRST, 0};
    return {PingHoverKind::SAMPLE, span.first_sample + static_cast<std::size_t>(column - span.empty_columns)};
}

std::wstring ping_status_message_text(std::wstring_view message, int header_length) {
    std::wstring text = L">> " + std::wstring(message);
    if (header_length > 0 && text.size() > static_cast<std::size_t>(header_length)) text.resize(header_length);
    return text;
}

std::wstring ping_span_text(Date first, Date newest, PingSpanForm form) {
    switch (form) {
        case PingSpanForm::WITH_DURATION:
            return date_format(L"%mm-%dd %hh:%ii:%ss", first) + date_format(L" - %mm-%dd %hh:%ii:%ss", newest) +
                   L" = " + format_duration(newest - first);
        case PingSpanForm::BOTH_DATES:
            return date_format(L"%mm-%dd %hh:%ii:%ss", first) + date_format(L" - %mm-%dd %hh:%ii:%ss", newest);
        case PingSpanForm::NEWEST_ONLY: break;
    }
    return date_format(L"%mm-%dd %hh:%ii:%ss", newest);
}

bool ping_span_dates(const std::list<PSys>& hosts, int row, int width, Date* first, Date* newest) {
    if (hosts.empty()) return false;
    auto host = hosts.begin();
    if (row > 0 && static_cast<std::size_t>(row) < hosts.size()) std::advance(host, row);
    if (host->PV.empty()) return false;
    *first = host->PV[ping_timeline_span(host->PV.size(), width).first_sample].S;
    *newest = host->PV.back().S;
    return true;
}

PingListFrame ping_list_frame(std::list<PSys>& hosts, const PingListLook& look, const PingRowWords& words) {
    PingListFrame frame;
    frame.look = look;
    frame.rows.reserve(hosts.size());
    int row = 0;
    for (PSys& host : hosts) {
        PingRowFrame drawn;
        drawn.colors = ping_row_colors(host, look.slow_ms, look.background);
        host.CFor = static_cast<int32_t>(drawn.colors.text);
        host.CBak = static_cast<int32_t>(drawn.colors.back);
        if (host.Actv != 0) (host.Time > -1 ? frame.up_count : frame.down_count) += 1;
        drawn.text = ping_row_text(host, words);
        drawn.sample_count = host.PV.size();
        if (drawn.sample_count > frame.most_samples) {
            frame.most_samples = drawn.sample_count;
            frame.most_samples_row = row;
        }
        const PingTimelineSpan span = ping_timeline_span(host.PV.size(), look.timeline_width);
        drawn.samples.reserve(span.shown);
        for (std::size_t i = span.first_sample; i < host.PV.size(); ++i) drawn.samples.push_back(host.PV[i].T);
        frame.rows.push_back(std::move(drawn));
        ++row;
    }
    return frame;
}
