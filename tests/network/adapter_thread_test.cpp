// The adapter thread's rounds on a made-up machine: traffic deltas into the cells, the traffic list and
// the graphs, the filter on the traffic list, a counter going back, a status change, the internet state.
#include <gtest/gtest.h>

#include "net_fake_platform.h"
#include "network/adapter_thread.h"

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
    adapter_thread_round_end(fake_net_ui());
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
