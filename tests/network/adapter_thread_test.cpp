// The adapter thread's rounds on a made-up machine: traffic deltas into the cells, the traffic list and
// the graphs, the filter on the traffic list, a counter going back, a status change, the internet state.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/format_bytes.h"
#include "net_fake_platform.h"
#include "network/adapter_thread.h"
#include "runtime/wait_until.h"

namespace {

void two_adapters() {
    net_test_reset();
    FakeInfos = {fake_info(7, L"Wired", L"10.0.0.5"), fake_info(23, L"Wireless", L"192.168.1.20")};
    FakeIndexes = {7, 23};
    FakeRows[7] = fake_row(7, L"Wired", 7, 5000, 3000);
    FakeRows[23] = fake_row(23, L"Wireless", 23, 100, 50);
    adapter_scan_apply(fake_net_platform());
    network_filter_apply(fake_net_ui());
    list_rows_clear(LIST_NETWORK_EVENTS);
}

std::atomic<int> networks_copies{0};

// The fake's window side with a clipboard copy that counts and sets the request back, as the real one does.
const NetUi& copying_net_ui() {
    static const NetUi ui = [] {
        NetUi copying = fake_net_ui();
        copying.clipboard_copy = [] {
            ++networks_copies;
            SharedInts[COPY_TAB_REQUEST] = -1;
        };
        return copying;
    }();
    return ui;
}

bool has_event(const std::wstring& text) {
    const auto events = net_event_texts();
    return std::find(events.begin(), events.end(), text) != events.end();
}

TEST(AdapterThread, AReadTurnsCounterGrowthIntoCellsTrafficLinesAndGraphSamples) {
    two_adapters();
    AdapterThreadState state;
    adapter_thread_start(state);
    FakeRows[7].out_octets += 4096;
    FakeRows[7].in_octets += 8192;
    adapter_thread_round(state, fake_net_platform(), fake_net_ui(), 5);
    EXPECT_EQ(SharedInts[NET_READ_COUNTDOWN].load(), ADAPTER_READ_ROUNDS);
    const NetAdapters table = net_adapters_copy();
    EXPECT_EQ(table[1].sent_delta, 4096);
    EXPECT_EQ(table[1].received_delta, 8192);
    EXPECT_EQ(table[2].sent_delta, 0);
    ASSERT_EQ(list_rows_count(LIST_NETWORK_ID), 1);  // only the adapter that moved
    const std::wstring line = list_row(LIST_NETWORK_ID, 0);
    EXPECT_NE(line.find(L"N1\n4096\n7096\n8192\n13192"), std::wstring::npos) << line.size();
    const std::vector<std::pair<int, int64_t>> samples = {{GRAPH_NET_SEND, 4}, {GRAPH_NET_RECEIVE, 8}};
    EXPECT_EQ(FakeUi.graph_samples, samples);
    EXPECT_EQ(CompactCells[CELL_NETWORK_FIRST].value_text.view().substr(0, 2), L"N1");
    EXPECT_EQ(SharedQuads[NET_SEND_KB].load(), 4);
    // The first connected state is reported without a rescan.
    EXPECT_TRUE(has_event(L"Internet:Network"));
    EXPECT_EQ(state.scans, 0);

    // No read until the countdown runs out.
    adapter_thread_round_end();
    adapter_thread_round(state, fake_net_platform(), fake_net_ui(), 5);
    EXPECT_EQ(FakeUi.graph_samples.size(), 2u);

    // The filter limits the traffic list to its adapter; the graphs still sum all.
    list_rows_clear(LIST_NETWORK_ID);
    SharedInts[NET_FILTER_ITEM] = 2;
    SharedInts[NET_FILTER_ADAPTER] = 23;
    FakeRows[7].out_octets += 1000;
    FakeRows[23].out_octets += 3000;
    SharedInts[NET_READ_COUNTDOWN] = 0;
    adapter_thread_round(state, fake_net_platform(), fake_net_ui(), 6);
    ASSERT_EQ(list_rows_count(LIST_NETWORK_ID), 1);
    EXPECT_NE(list_row(LIST_NETWORK_ID, 0).find(L"N2\n3000"), std::wstring::npos);
    EXPECT_EQ(FakeUi.graph_samples.back(), (std::pair<int, int64_t>{GRAPH_NET_RECEIVE, 0}));
    EXPECT_EQ(SharedQuads[NET_SEND_KB].load(), 3);  // 4000 bytes
}

TEST(AdapterThread, ACounterGoingBackOrAStatusChangeIsReportedAndRescannedInTheSameRound) {
    two_adapters();
    AdapterThreadState state;
    adapter_thread_start(state);
    FakeRows[7].in_octets = 10;
    adapter_thread_round(state, fake_net_platform(), fake_net_ui(), 5);
    EXPECT_TRUE(has_event(L"N1 Reconnected"));
    EXPECT_EQ(state.scans, 1);
    EXPECT_EQ(state.rescan_countdown, ADAPTER_RESCAN_ROUNDS);
    EXPECT_EQ(net_adapters_copy()[1].received_total, 10);  // the rescan took the new totals

    FakeRows[23].oper_status = 2;
    SharedInts[NET_READ_COUNTDOWN] = 0;
    adapter_thread_round(state, fake_net_platform(), fake_net_ui(), 6);
    EXPECT_TRUE(has_event(L"N2 OperStatus: Down"));
    EXPECT_EQ(state.scans, 2);
    EXPECT_EQ(AdapterOperStatus[2].load(), 2);

    // A link that comes back before the next read is seen by the rescan, which reports it.
    FakeRows[23].oper_status = 1;
    SharedInts[NET_RESCAN_REQUEST] = 1;
    adapter_thread_round(state, fake_net_platform(), fake_net_ui(), 6);
    EXPECT_TRUE(has_event(L"N2 OperStatus: Up"));
    EXPECT_EQ(state.scans, 3);
    EXPECT_EQ(AdapterOperStatus[2].load(), 1);
    // An unchanged state is not reported again by a rescan.
    list_rows_clear(LIST_NETWORK_EVENTS);
    SharedInts[NET_RESCAN_REQUEST] = 1;
    adapter_thread_round(state, fake_net_platform(), fake_net_ui(), 6);
    EXPECT_FALSE(has_event(L"N2 OperStatus: Up"));

    // The internet going away is reported and rescanned too.
    FakeInternetConnected = false;
    FakeInternetFlags = 0;
    SharedInts[NET_READ_COUNTDOWN] = 0;
    adapter_thread_round(state, fake_net_platform(), fake_net_ui(), 7);
    EXPECT_TRUE(has_event(L"Internet: Not Detected"));
    EXPECT_EQ(state.scans, 5);
}

// The first adapter's counters over a few reads, the second adapter sending 1 KiB every read. A read shows the
// growth since the last read that found the adapter's row; a counter that went back, a read without the row
// (or with a row that now belongs to another adapter) and the first read after one show no traffic, never a
// negative or repeated amount, and the totals follow the row.
TEST(AdapterThread, TrafficShowsOnlyGrowthSinceTheLastReadOfTheSameRow) {
    enum Change { GROW, SET, NO_ROW, OTHER_ROW };
    struct Read {
        Change change;
        int64_t out, in;         // added (GROW) or set (SET) to the first adapter's octets
        int64_t sent, received;  // the deltas shown
        int64_t sent_total, received_total;
        bool reconnected;
    };
    struct Case {
        const char* name;
        int64_t start_out, start_in;
        std::vector<Read> reads;
    };
    constexpr int64_t WRAP = int64_t{1} << 32;
    const Case cases[] = {
        {"normal",
         3000,
         5000,
         {{GROW, 4096, 8192, 4096, 8192, 7096, 13192, false}, {GROW, 2048, 0, 2048, 0, 9144, 13192, false}}},
        {"reset",
         3000,
         5000,
         {{GROW, 4096, 8192, 4096, 8192, 7096, 13192, false},
          {SET, 1000, 2000, 0, 0, 1000, 2000, true},
          {GROW, 4096, 1024, 4096, 1024, 5096, 3024, false}}},
        {"one counter back",
         3000,
         5000,
         {{SET, 9000, 4000, 0, 0, 9000, 4000, true}, {GROW, 1024, 2048, 1024, 2048, 10024, 6048, false}}},
        {"32-bit wrap",
         WRAP - 5000,
         WRAP - 3000,
         {{GROW, 2048, 1024, 2048, 1024, WRAP - 2952, WRAP - 1976, false},
          {SET, 1000, 7000, 0, 0, 1000, 7000, true},
          {GROW, 3072, 0, 3072, 0, 4072, 7000, false}}},
        {"no row, then the row again",
         3000,
         5000,
         {{GROW, 4096, 8192, 4096, 8192, 7096, 13192, false},
          {NO_ROW, 0, 0, 0, 0, 7096, 13192, false},
          {NO_ROW, 0, 0, 0, 0, 7096, 13192, false},
          {SET, 50000, 90000, 0, 0, 50000, 90000, false},
          {GROW, 2048, 4096, 2048, 4096, 52048, 94096, false}}},
        {"a row of another adapter, then its own",
         3000,
         5000,
         {{GROW, 4096, 8192, 4096, 8192, 7096, 13192, false},
          {OTHER_ROW, 0, 0, 0, 0, 7096, 13192, false},
          {SET, 20000, 30000, 0, 0, 20000, 30000, false},
          {GROW, 1024, 0, 1024, 0, 21024, 30000, false}}},
    };
    const auto counters_set = [](InterfaceRowFacts& row, int64_t out, int64_t in) {
        row.out_octets = out;
        row.in_octets = in;
        row.out_packets = out / 100;
        row.in_packets = in / 100;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        two_adapters();
        FakeRows[7] = fake_row(7, L"Wired", 7, c.start_in, c.start_out);
        adapter_scan_apply(fake_net_platform());
        AdapterThreadState state;
        adapter_thread_start(state);
        const InterfaceRowFacts own = FakeRows[7];
        int64_t out = c.start_out;
        int64_t in = c.start_in;
        int step = 0;
        for (const Read& read : c.reads) {
            SCOPED_TRACE("read " + std::to_string(++step));
            FakeRows[23].out_octets += 1024;
            switch (read.change) {
                case GROW:
                    out += read.out;
                    in += read.in;
                    break;
                case SET:
                    out = read.out;
                    in = read.in;
                    break;
                case NO_ROW: FakeRows.erase(7); break;
                case OTHER_ROW: FakeRows[7] = fake_row(7, L"Bluetooth PAN", 0x99, 100, 100); break;
            }
            if (read.change == GROW || read.change == SET) {
                FakeRows[7] = own;
                counters_set(FakeRows[7], out, in);
            }
            list_rows_clear(LIST_NETWORK_ID);
            list_rows_clear(LIST_NETWORK_EVENTS);
            FakeUi.graph_samples.clear();
            SharedInts[NET_READ_COUNTDOWN] = 0;
            adapter_thread_round(state, fake_net_platform(), fake_net_ui(), step);

            const std::wstring cell =
                (L"N1" + format_bytes(read.sent, FORMAT_BYTES_TRAFFIC) +
                 format_bytes(read.sent_total, FORMAT_BYTES_TRAFFIC) + shared_text(NET_CELL_SEPARATOR) +
                 format_bytes(read.received, FORMAT_BYTES_TRAFFIC) +
                 format_bytes(read.received_total, FORMAT_BYTES_TRAFFIC))
                    .substr(0, 60);
            EXPECT_EQ(CompactCells[CELL_NETWORK_FIRST].value_text.str(), cell);
            int own_rows = 0;
            for (const std::wstring& row : list_rows_copy(LIST_NETWORK_ID)) {
                if (row.find(L" - N1\n") == std::wstring::npos) continue;
                ++own_rows;
                EXPECT_NE(
                    row.find(L"N1\n" + std::to_wstring(read.sent) + L"\n" + std::to_wstring(read.sent_total) + L"\n" +
                             std::to_wstring(read.received) + L"\n" + std::to_wstring(read.received_total)),
                    std::wstring::npos);
            }
            EXPECT_EQ(own_rows, read.sent + read.received != 0 ? 1 : 0);
            const std::vector<std::pair<int, int64_t>> samples = {{GRAPH_NET_SEND, (read.sent + 1024) / 1024},
                                                                  {GRAPH_NET_RECEIVE, read.received / 1024}};
            EXPECT_EQ(FakeUi.graph_samples, samples);
            EXPECT_EQ(has_event(L"N1 Reconnected"), read.reconnected);
            const NetAdapter adapter = net_adapters_copy()[1];
            EXPECT_EQ(adapter.sent_total, read.sent_total);
            EXPECT_EQ(adapter.received_total, read.received_total);
            EXPECT_GE(adapter.packets_sent_delta, 0);
            EXPECT_GE(adapter.packets_received_delta, 0);
            EXPECT_EQ(adapter.packets_sent_delta + adapter.packets_received_delta == 0, read.sent + read.received == 0);
        }
    }
}

// The thread copies the Networks tab when asked and no other tab; a quit ends it at once: a quit raised
// before the start leaves a pending copy and the round undone.
TEST(AdapterThread, TheLoopCopiesTheNetworksTabAndAQuitEndsItAtOnce) {
    two_adapters();
    networks_copies = 0;
    SharedInts[COPY_TAB_REQUEST] = TAB_NETWORKS;
    quit_flag_raise(1);
    adapter_thread_run(fake_net_platform(), copying_net_ui());
    EXPECT_EQ(networks_copies.load(), 0) << "a copy after the quit";
    EXPECT_EQ(SharedInts[NET_READ_COUNTDOWN].load(), 0) << "a round after the quit";
    quit_flag_clear();

    SharedInts[COPY_TAB_REQUEST] = TAB_STORAGE;
    std::thread thread([] { adapter_thread_run(fake_net_platform(), copying_net_ui()); });
    // A read sets the countdown, the round ends count it down; another tab's request is left alone.
    EXPECT_TRUE(wait_until([] {
        const int countdown = SharedInts[NET_READ_COUNTDOWN].load();
        return countdown > 0 && countdown < ADAPTER_READ_ROUNDS - 1;
    }));
    EXPECT_EQ(SharedInts[COPY_TAB_REQUEST].load(), TAB_STORAGE);
    SharedInts[COPY_TAB_REQUEST] = TAB_NETWORKS;
    EXPECT_TRUE(wait_until([] { return SharedInts[COPY_TAB_REQUEST].load() == -1; })) << "the copy was not served";
    quit_flag_raise(1);
    thread.join();
    quit_flag_clear();
    EXPECT_EQ(networks_copies.load(), 1);
}

TEST(AdapterThread, InternetTextNamesTheLastKindThatAppliesThenItsExtras) {
    struct Case {
        uint32_t flags;
        const wchar_t* text;
    };
    net_test_reset();
    const Case cases[] = {
        {0x00, L"Internet:"},
        {0x40, L"Internet:Unknown"},
        {0x41, L"Internet:Modem/VPN"},
        {0x43, L"Internet:Network"},
        {0x06, L"Internet:Network+Proxy"},
        {0x3D, L"Internet:Modem/VPN+Proxy Busy Offline+RAS"},
    };
    for (const auto& c : cases) EXPECT_EQ(internet_state_text(c.flags), c.text) << c.flags;
}

}  // namespace
