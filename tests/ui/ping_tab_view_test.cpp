// The Ping tab's rows, colours and timelines from PSys records, the hover sample's bounds, the status texts,
// and the list frames that decide whether a redraw is needed.
#include <gtest/gtest.h>

#include <list>
#include <string>

#include "core/shared_tables.h"
#include "runtime/date.h"
#include "ui/ping_tab_view.h"

namespace {

PSys host_of(std::wstring addr, std::wstring name, int actv, int time, int last) {
    PSys host;
    host.Addr = std::move(addr);
    host.Host = std::move(name);
    host.Actv = actv;
    host.Time = time;
    host.Last = last;
    return host;
}

// A row from its four columns: the name column padded to 40, the others given at their exact widths.
std::wstring row_of(std::wstring name, const std::wstring& state, const std::wstring& recv, const std::wstring& lost) {
    EXPECT_EQ(state.size(), 15u) << "state column in the expectation";
    EXPECT_EQ(recv.size(), 7u) << "received column in the expectation";
    EXPECT_EQ(lost.size(), 14u) << "lost column in the expectation";
    name.resize(40, L' ');
    return name + state + recv + lost;
}

TEST(PingTabView, RowTextsOfUpDownPausedNewAndLongNamedHosts) {
    PSys up = host_of(L"192.168.1.1", L"router", 1, 12, 1);
    up.PTTL = 64;
    up.Sent = 100;
    up.Recv = 95;
    up.Lost = 5;
    PSys down = host_of(L"10.0.0.7", L"", 1, -1, -1);
    down.Sent = 12;
    down.Recv = 10;
    down.Lost = 2;
    PSys paused = host_of(L"10.0.0.8", L"nas", 0, 3, 1);
    paused.Sent = 7;
    paused.Recv = 7;
    const PSys never = host_of(L"10.0.0.9", L"   ", 1, 0, 0);  // added, not pinged yet; a blank name
    const PSys long_name = host_of(L"172.16.254.100", L"a-very-long-host-name.branch.example.internal", 1, 150, 1);
    PSys lost_unsent = host_of(L"10.0.0.10", L"", 1, -1, -1);  // a store that holds Lost without Sent
    lost_unsent.Lost = 3;
    PSys all_lost = host_of(L"10.0.0.11", L"", 1, -1, -1);
    all_lost.Sent = 7;
    all_lost.Lost = 7;

    struct Case {
        const char* what;
        const PSys& host;
        std::wstring row;
    };
    const Case cases[] = {
        {"up", up, row_of(L"192.168.1.1 (router)", L"   12   64    -", L"     95", L"      5   5.0%")},
        {"down", down, row_of(L"10.0.0.7", L"   \u25A0\u25A0  Down  \u25A0\u25A0", L"     10", L"      2  16.7%")},
        {"paused", paused,
         row_of(L"10.0.0.8 (nas)", L"   \u25A0\u25A0 Paused \u25A0\u25A0", L"      7", L"      -      -")},
        {"never answered", never, row_of(L"10.0.0.9", L"    -    -    -", L"      -", L"      -      -")},
        {"long name", long_name,
         row_of(L"172.16.254.100 (a-very-long-host-name.br", L"  150    -    -", L"      -", L"      -      -")},
        {"lost with nothing sent", lost_unsent,
         row_of(L"10.0.0.10", L"   \u25A0\u25A0  Down  \u25A0\u25A0", L"      -", L"      3      -")},
        {"all lost", all_lost,
         row_of(L"10.0.0.11", L"   \u25A0\u25A0  Down  \u25A0\u25A0", L"      -", L"      7 100.0%")},
    };
    for (const Case& c : cases) {
        const std::wstring row = ping_row_text(c.host);
        EXPECT_EQ(row, c.row) << c.what;
        EXPECT_EQ(row.size(), std::size_t(PING_ROW_CHARACTERS)) << c.what;
    }
}

TEST(PingTabView, TranslatedStateWordsKeepTheStateColumnWidth) {
    const PSys paused = host_of(L"10.0.0.8", L"", 0, 0, 0);
    const std::wstring row = ping_row_text(paused, PingRowWords{L"Angehalten und lang", L" Aus "});
    EXPECT_EQ(row.size(), std::size_t(PING_ROW_CHARACTERS));
    EXPECT_EQ(row.substr(40, 15), L"\u25A0\u25A0 Angehalte \u25A0\u25A0");
    EXPECT_EQ(row.substr(55), L"      -      -      -");
}

TEST(PingTabView, RowColoursByStateAndSelection) {
    struct Case {
        const char* what;
        int actv, last, time, hili;
        PingRowColors colors;
    };
    constexpr uint32_t back = 0xF0F0F0;
    const Case cases[] = {
        {"paused", 0, -1, -1, 0, {0x800080, back}},
        {"down", 1, -1, -1, 0, {0x0000FF, back}},
        {"down by its state, with a time", 1, -1, 5, 0, {0x0000FF, back}},
        {"timed out without a state yet", 1, 0, -1, 0, {0x000000, back}},
        {"fast", 1, 1, 99, 0, {0x000000, back}},
        {"at the slow limit", 1, 1, 100, 0, {0x13458B, back}},
        {"selected", 1, 1, 5, 1, {0x000000, 0xFFCC99}},
    };
    for (const Case& c : cases) {
        PSys host = host_of(L"10.0.0.1", L"", c.actv, c.time, c.last);
        host.HiLi = c.hili;
        const PingRowColors colors = ping_row_colors(host, 100, back);
        EXPECT_EQ(colors.text, c.colors.text) << c.what;
        EXPECT_EQ(colors.back, c.colors.back) << c.what;
    }
}

TEST(PingTabView, TimelineShowsTheNewestSamplesAtTheRightEdge) {
    struct Case {
        std::size_t samples;
        int width;
        std::size_t first, shown;
        int empty;
    };
    const Case cases[] = {
        {10, 200, 0, 10, 190}, {200, 200, 0, 200, 0}, {3300, 3200, 100, 3200, 0}, {0, 50, 0, 0, 50}, {5, 0, 5, 0, 0},
    };
    for (const Case& c : cases) {
        const PingTimelineSpan span = ping_timeline_span(c.samples, c.width);
        EXPECT_EQ(span.first_sample, c.first) << c.samples << " in " << c.width;
        EXPECT_EQ(span.shown, c.shown) << c.samples << " in " << c.width;
        EXPECT_EQ(span.empty_columns, c.empty) << c.samples << " in " << c.width;
    }
}

TEST(PingTabView, TimelineColumnColoursAndBars) {
    struct Case {
        const char* what;
        int64_t value;
        bool full;
        PingColumnPaint paint;
    };
    const Case cases[] = {
        {"timed out", -1, false, {true, 0x0000FF, 13}},
        {"exactly the slow limit", 100, false, {true, 0x00FFFF, 13}},
        {"resumed", -2, true, {true, 0xFFCC99, 13}},
        {"paused", -4, false, {true, 0x808080, 13}},
        {"50 ms, comprehensive", 50, true, {true, 0x00CC00, 6}},
        {"99 ms, comprehensive", 99, true, {true, 0x00CC00, 12}},
        {"5 ms, comprehensive: too short a bar", 5, true, {false, 0, 0}},
        {"0 ms, comprehensive", 0, true, {false, 0, 0}},
        {"50 ms, option off", 50, false, {false, 0, 0}},
        {"unknown mark", -3, true, {false, 0, 0}},
    };
    for (const Case& c : cases) {
        const PingColumnPaint paint = ping_column_paint(c.value, 100, c.full, 13);
        EXPECT_EQ(paint.drawn, c.paint.drawn) << c.what;
        if (!c.paint.drawn) continue;
        EXPECT_EQ(paint.color, c.paint.color) << c.what;
        EXPECT_EQ(paint.bar_height, c.paint.bar_height) << c.what;
    }
}

TEST(PingTabView, TheHoverSampleNeverLiesPastTheSamples) {
    struct Case {
        int column, width;
        std::size_t samples;
        PingHoverKind kind;
        std::size_t index;
    };
    const Case cases[] = {
        {-1, 200, 10, PingHoverKind::OUTSIDE, 0},       {200, 200, 10, PingHoverKind::OUTSIDE, 0},
        {250, 200, 10, PingHoverKind::OUTSIDE, 0},      {0, 200, 10, PingHoverKind::BEFORE_FIRST, 0},
        {189, 200, 10, PingHoverKind::BEFORE_FIRST, 0}, {190, 200, 10, PingHoverKind::SAMPLE, 0},
        {199, 200, 10, PingHoverKind::SAMPLE, 9},       {0, 200, 3200, PingHoverKind::SAMPLE, 3000},
        {199, 200, 3200, PingHoverKind::SAMPLE, 3199},  {5, 200, 0, PingHoverKind::BEFORE_FIRST, 0},
        {0, 0, 5, PingHoverKind::OUTSIDE, 0},
    };
    for (const Case& c : cases) {
        const PingHoverSample hover = ping_hover_sample(c.column, c.width, c.samples);
        EXPECT_EQ(hover.kind, c.kind) << "column " << c.column << " of " << c.width << " over " << c.samples;
        if (hover.kind == PingHoverKind::SAMPLE) {
            EXPECT_EQ(hover.index, c.index) << "column " << c.column;
            EXPECT_LT(hover.index, c.samples);
        }
    }
}

TEST(PingTabView, StatusMessageIsCutToTheHeaderLength) {
    EXPECT_EQ(ping_status_message_text(L"Font Size 12", 76), L">> Font Size 12");
    EXPECT_EQ(ping_status_message_text(std::wstring(100, L'x'), 76), L">> " + std::wstring(73, L'x'));
    EXPECT_EQ(ping_status_message_text(L"abc", 0), L">> abc");  // no header measured yet
}

TEST(PingTabView, SpanTextInEachForm) {
    const Date first = date_from_parts({2026, 3, 4, 10, 0, 0});
    const Date newest = first + 3 * 3600 + 5;
    EXPECT_EQ(ping_span_text(first, newest, PingSpanForm::WITH_DURATION), L"03-04 10:00:00 - 03-04 13:00:05 = 3h 5s");
    EXPECT_EQ(ping_span_text(first, newest, PingSpanForm::BOTH_DATES), L"03-04 10:00:00 - 03-04 13:00:05");
    EXPECT_EQ(ping_span_text(first, newest, PingSpanForm::NEWEST_ONLY), L"03-04 13:00:05");
}

TEST(PingTabView, SpanDatesComeFromTheRowWithMostSamplesOrTheFirstHost) {
    std::list<PSys> hosts(2);
    for (Date s = 1; s <= 5; ++s) hosts.front().PV.push_back({s, 1});
    for (Date s = 100; s < 110; ++s) hosts.back().PV.push_back({s, 1});
    Date first = 0;
    Date newest = 0;
    ASSERT_TRUE(ping_span_dates(hosts, 1, 4, &first, &newest));
    EXPECT_EQ(first, 106);  // the newest four of ten
    EXPECT_EQ(newest, 109);
    ASSERT_TRUE(ping_span_dates(hosts, 7, 100, &first, &newest));  // the row is gone: the first host
    EXPECT_EQ(first, 1);
    EXPECT_EQ(newest, 5);
    hosts.front().PV.clear();
    EXPECT_FALSE(ping_span_dates(hosts, 0, 100, &first, &newest));
    EXPECT_FALSE(ping_span_dates(std::list<PSys>{}, 0, 100, &first, &newest));
}

TEST(PingTabView, FrameCountsHostsStoresColoursAndChangesOnlyWithWhatIsShown) {
    std::list<PSys> hosts;
    hosts.push_back(host_of(L"10.0.0.1", L"", 1, 5, 1));
    hosts.push_back(host_of(L"10.0.0.2", L"", 1, -1, -1));
    hosts.push_back(host_of(L"10.0.0.3", L"", 0, -1, -1));  // paused: not counted
    for (Date s = 1; s <= 8; ++s) hosts.back().PV.push_back({s, -4});
    hosts.front().PV.push_back({1, 5});
    PingListLook look;
    look.row_height = 12;
    look.timeline_width = 4;
    look.slow_ms = 100;
    look.background = 0xF0F0F0;

    const PingListFrame frame = ping_list_frame(hosts, look);
    EXPECT_EQ(frame.up_count, 1);
    EXPECT_EQ(frame.down_count, 1);
    EXPECT_EQ(frame.most_samples, 8u);
    EXPECT_EQ(frame.most_samples_row, 2);
    ASSERT_EQ(frame.rows.size(), 3u);
    EXPECT_EQ(frame.rows[2].samples.size(), 4u);  // only the shown samples
    EXPECT_EQ(hosts.front().CFor, 0x000000);
    EXPECT_EQ(std::next(hosts.begin())->CFor, 0x0000FF);
    EXPECT_EQ(hosts.back().CFor, 0x800080);
    EXPECT_EQ(hosts.back().CBak, 0xF0F0F0);

    EXPECT_EQ(ping_list_frame(hosts, look), frame) << "nothing changed, so no redraw";
    hosts.back().PV.push_front({0, -1});  // older than what the timeline shows
    EXPECT_NE(ping_list_frame(hosts, look), frame) << "the sample count is part of the frame";
    PingListFrame before = ping_list_frame(hosts, look);
    hosts.front().PV.back().T = 7;
    EXPECT_NE(ping_list_frame(hosts, look), before) << "a shown sample changed";
    before = ping_list_frame(hosts, look);
    look.full_timeline = true;
    EXPECT_NE(ping_list_frame(hosts, look), before) << "the timeline option changed";
}

}  // namespace
