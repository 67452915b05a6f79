// The adapter scan and the network filter on a made-up machine: sparse interface indexes, adapters of the
// same description, the rows of the adapter list, the lines of address and connection changes, the filter
// items and the choice the user makes.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "net_fake_platform.h"
#include "network/adapter_scan.h"
#include "runtime/wait_until.h"

namespace {

bool has_row(const std::vector<std::wstring>& rows, const std::wstring& row) {
    return std::find(rows.begin(), rows.end(), row) != rows.end();
}

TEST(AdapterRows, NamesPadValuesDropEmptiesAndMacTextsAreUpperCase) {
    struct Case {
        const wchar_t* name;
        const wchar_t* value;
        bool written;
        const wchar_t* row;
    };
    const Case cases[] = {
        {L"", L"", true, L""},
        {L"-- Proxy: Inactive", L"blank", true, L"-- Proxy: Inactive"},
        {L"IP Address", L"10.0.0.5", true, L"IP Address        10.0.0.5"},
        {L"Time Offset", L"-3600 Seconds", true, L"Time Offset      -3600 Seconds"},
        {L"A name longer than seventeen", L"x", true, L"A name longer tha x"},
        {L"Gateway IP", L"0.0.0.0", false, L""},
        {L"DHCP Lease", L"1970-01-01 00:00:00", false, L""},
        {L"District", L"", false, L""},
    };
    for (const auto& c : cases) {
        std::wstring row = L"unchanged";
        EXPECT_EQ(adapter_info_row_text(c.name, c.value, row), c.written) << c.name;
        if (c.written) {
            EXPECT_EQ(row, c.row);
        }
    }
    const uint8_t mac[6] = {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e};
    EXPECT_EQ(mac_address_text(mac), L"00:1A:2B:3C:4D:5E");
}

TEST(AdapterRows, CellColoursNeverGoBelowZeroAtHighPositions) {
    EXPECT_EQ(adapter_cell_color(1), 227u | (213u << 8) | (176u << 16));
    for (int position = 0; position < NET_ADAPTER_COUNT; ++position) {
        const uint32_t color = adapter_cell_color(position);
        EXPECT_EQ(color >> 24, 0u) << position;  // no borrow into a fourth byte
        EXPECT_EQ(color & 0xFF, 227u);
        EXPECT_EQ((color >> 16) & 0xFF, 176u) << position;
    }
    EXPECT_EQ((adapter_cell_color(28) >> 8) & 0xFF, 0u);
    EXPECT_EQ((adapter_cell_color(31) >> 8) & 0xFF, 0u);
}

TEST(AdapterScan, SparseInterfaceIndexesAreReadByTheirRealNumbers) {
    net_test_reset();
    FakeInfos = {fake_info(7, L"Wired", L"10.0.0.5"), fake_info(23, L"Wireless", L"192.168.1.20"),
                 fake_info(40, L"Idle", L"0.0.0.0")};
    FakeIndexes = {1, 7, 23, 40};
    FakeRows[1] = fake_row(1, L"Loopback", 1, 0, 0);
    FakeRows[7] = fake_row(7, L"Wired", 7, 5000, 3000);
    FakeRows[23] = fake_row(23, L"Wireless", 23, 100, 50);
    FakeRows[40] = fake_row(40, L"Idle", 40, 0, 0);

    EXPECT_EQ(adapter_scan_apply(fake_net_platform()), 2);
    EXPECT_EQ(SharedInts[ADAPTER_COUNT].load(), 3);
    EXPECT_EQ(SharedInts[ADAPTERS_MATCHED].load(), 3);
    EXPECT_EQ(SharedInts[INTERFACE_COUNT].load(), 4);
    EXPECT_EQ(SharedInts[ACTIVE_CONNECTIONS].load(), 2);
    const NetAdapters table = net_adapters_copy();
    EXPECT_EQ(table[1].number, 7);
    EXPECT_EQ(table[1].tag.str(), L"N1");
    EXPECT_EQ(table[1].cell, CELL_NETWORK_FIRST);
    EXPECT_EQ(table[1].mac_text.str(), L"00:1A:2B:3C:4D:07");
    EXPECT_EQ(table[1].type_text.str(), L"Ethernet");
    EXPECT_EQ(table[1].hardware_interface, 1);
    EXPECT_EQ(table[1].connector_present, 1);
    EXPECT_EQ(table[2].number, 23);
    EXPECT_EQ(table[2].tag.str(), L"N2");
    EXPECT_EQ(table[3].number, 40);
    EXPECT_EQ(table[3].tag.str(), L"NX");
    EXPECT_EQ(table[3].cell, 0);
    EXPECT_EQ(CompactCells[CELL_NETWORK_FIRST + 1].shown, CELL_SHOWN);
    EXPECT_EQ(CompactCells[CELL_NETWORK_FIRST + 2].shown, CELL_HIDDEN);

    // The first scan reports the addresses and the connection count, and asks for a lookup.
    const auto events = net_event_texts();
    EXPECT_TRUE(std::find(events.begin(), events.end(), L"N1 IPv4: 10.0.0.5") != events.end());
    EXPECT_TRUE(std::find(events.begin(), events.end(), L"N2 IPv4: 192.168.1.20") != events.end());
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front(), L"Active Connections: 2");
    EXPECT_EQ(FakeLookups, 1);
    EXPECT_EQ(SharedInts[IP_LOOKUP_REQUEST].load(), 0);

    // The block of the adapter matched last stands on top, under the proxy block.
    const auto rows = list_rows_copy(LIST_NETWORK_ADAPTERS);
    ASSERT_GE(rows.size(), 5u);
    EXPECT_EQ(rows[1], L"-- Proxy: Inactive");
    EXPECT_EQ(rows[3].substr(0, 10), L"-- NX:040 ");
    EXPECT_TRUE(has_row(rows, L"IP Address        192.168.1.20"));
    EXPECT_TRUE(has_row(rows, L"Physical Address  00:1A:2B:3C:4D:07"));
    EXPECT_FALSE(has_row(rows, L"Gateway IP        0.0.0.0"));

    // A second scan with nothing changed reports nothing new and asks for no lookup.
    const std::size_t lines = list_rows_count(LIST_NETWORK_EVENTS);
    adapter_scan_apply(fake_net_platform());
    EXPECT_EQ(static_cast<std::size_t>(list_rows_count(LIST_NETWORK_EVENTS)), lines);
    EXPECT_EQ(FakeLookups, 1);
}

TEST(AdapterScan, AdaptersOfTheSameDescriptionAreEachMatchedOnce) {
    net_test_reset();
    FakeInfos = {fake_info(4, L"USB Ethernet", L"10.0.0.5"), fake_info(9, L"USB Ethernet", L"10.0.1.5")};
    FakeIndexes = {4, 9};
    FakeRows[4] = fake_row(4, L"USB Ethernet", 4, 100, 100);
    FakeRows[9] = fake_row(9, L"USB Ethernet", 9, 200, 200);
    adapter_scan_apply(fake_net_platform());
    NetAdapters table = net_adapters_copy();
    EXPECT_EQ(table[1].number, 4);
    EXPECT_EQ(table[2].number, 9);
    EXPECT_EQ(SharedInts[ADAPTERS_MATCHED].load(), 2);
    EXPECT_EQ(SharedInts[ACTIVE_CONNECTIONS].load(), 2);

    // Records that name no index (0): each row takes the first adapter of its description not yet matched.
    net_test_reset();
    FakeInfos = {fake_info(0, L"USB Ethernet", L"10.0.0.5"), fake_info(0, L"USB Ethernet", L"10.0.1.5")};
    FakeIndexes = {4, 9, 11};
    FakeRows[4] = fake_row(4, L"USB Ethernet", 4, 100, 100);
    FakeRows[9] = fake_row(9, L"USB Ethernet", 9, 200, 200);
    FakeRows[11] = fake_row(11, L"USB Ethernet", 11, 300, 300);
    adapter_scan_apply(fake_net_platform());
    table = net_adapters_copy();
    EXPECT_EQ(table[1].number, 4);
    EXPECT_EQ(table[2].number, 9);
    EXPECT_EQ(SharedInts[ADAPTERS_MATCHED].load(), 2);
    EXPECT_EQ(SharedInts[ACTIVE_CONNECTIONS].load(), 2);
    EXPECT_EQ(table[1].cell, CELL_NETWORK_FIRST);
    EXPECT_EQ(table[2].cell, CELL_NETWORK_FIRST + 1);
}

TEST(AdapterScan, MissingLibraryOrUnreadableListLeavesNoAdapters) {
    net_test_reset();
    FakeLibraryLoaded = false;
    EXPECT_EQ(adapter_scan_apply(fake_net_platform()), 0);
    EXPECT_EQ(list_row(LIST_NETWORK_ADAPTERS, 0), L"Unable to load iphlpapi.dll");
    adapter_scan_apply(fake_net_platform());
    EXPECT_EQ(list_rows_count(LIST_NETWORK_ADAPTERS), 1);  // only the first scan says so

    net_test_reset();
    FakeInfos = {fake_info(7, L"Wired", L"10.0.0.5")};
    FakeIndexes = {7};
    FakeRows[7] = fake_row(7, L"Wired", 7, 5000, 3000);
    adapter_scan_apply(fake_net_platform());
    FakeInfosReadable = false;
    EXPECT_EQ(adapter_scan_apply(fake_net_platform()), 0);
    EXPECT_EQ(SharedInts[ADAPTER_COUNT].load(), 0);
    EXPECT_EQ(list_rows_count(LIST_NETWORK_ADAPTERS), 0);
    EXPECT_EQ(net_adapters_copy()[1].number, 0);
    EXPECT_EQ(CompactCells[CELL_NETWORK_FIRST].shown, CELL_HIDDEN);
}

TEST(NetworkFilter, ItemsNameEachActiveAdapterAndTheChoiceFollowsItsAddress) {
    net_test_reset();
    FakeInfos = {fake_info(7, L"Wired", L"10.0.0.5"), fake_info(23, L"Wireless", L"192.168.1.20"),
                 fake_info(40, L"Idle", L"0.0.0.0")};
    FakeIndexes = {7, 23, 40};
    FakeRows[7] = fake_row(7, L"Wired", 7, 5000, 3000);
    FakeRows[23] = fake_row(23, L"Wireless", 23, 100, 50);
    FakeRows[23].receive_speed = 0;
    FakeRows[40] = fake_row(40, L"Idle", 40, 0, 0);
    shared_text_set(NET_FILTER_MAC, L"00:1A:2B:3C:4D:17");  // the wireless adapter (23 = 0x17)
    adapter_scan_apply(fake_net_platform());
    network_filter_apply(fake_net_ui());

    const std::vector<std::wstring> items = {
        L"Show ALL Active Networks",
        L"Filter N1:007 (00:1A:2B:3C:4D:07)        10.0.0.5 Wired",
        L"Filter N2:023 (00:1A:2B:3C:4D:17)    192.168.1.20 Wireless",
    };
    EXPECT_EQ(FakeUi.filter_items, items);
    EXPECT_EQ(FakeUi.filter_selected, 2);
    EXPECT_EQ(SharedInts[NET_FILTER_ITEM].load(), 2);
    EXPECT_EQ(SharedInts[NET_FILTER_ADAPTER].load(), 23);
    EXPECT_EQ(shared_text(NET_FILTER_ADAPTERS), L"007023");
    EXPECT_EQ(AdapterOperStatus[1].load(), 1);
    EXPECT_EQ(CompactCells[CELL_NETWORK_FIRST].text_color, static_cast<int32_t>(adapter_cell_color(1)));
    EXPECT_EQ(CompactCells[CELL_NETWORK_FIRST + 1].text_color, static_cast<int32_t>(Palette[18]));  // no speed

    // The user picks the first adapter, then all.
    network_filter_choose(1);
    EXPECT_EQ(SharedInts[NET_FILTER_ADAPTER].load(), 7);
    EXPECT_EQ(shared_text(NET_FILTER_MAC), L"00:1A:2B:3C:4D:07");
    network_filter_choose(0);
    EXPECT_EQ(SharedInts[NET_FILTER_ADAPTER].load(), -1);
    EXPECT_EQ(shared_text(NET_FILTER_MAC), L"");
    // An item beyond the list changes no address.
    shared_text_set(NET_FILTER_MAC, L"00:1A:2B:3C:4D:07");
    network_filter_choose(9);
    EXPECT_EQ(shared_text(NET_FILTER_MAC), L"00:1A:2B:3C:4D:07");

    // An address no adapter has keeps item 0 but survives for a later scan.
    shared_text_set(NET_FILTER_MAC, L"AA:BB:CC:DD:EE:FF");
    SharedInts[NET_FILTER_ADAPTER] = -1;
    network_filter_apply(fake_net_ui());
    EXPECT_EQ(FakeUi.filter_selected, 0);
    EXPECT_EQ(SharedInts[NET_FILTER_ADAPTER].load(), -1);
    EXPECT_EQ(shared_text(NET_FILTER_MAC), L"AA:BB:CC:DD:EE:FF");

    // No active adapter: only the first item.
    FakeRows[7].in_octets = FakeRows[7].out_octets = 0;
    FakeRows[23].in_octets = FakeRows[23].out_octets = 0;
    adapter_scan_apply(fake_net_platform());
    network_filter_apply(fake_net_ui());
    EXPECT_EQ(FakeUi.filter_items, std::vector<std::wstring>{L"Show ALL Active Networks"});
}

}  // namespace

namespace {

// The event loop reads the table (the filter choice) while the adapter thread rebuilds it: the rebuild
// replaces the table only under its lock, so a reader holding the lock sees the old table whole.
TEST(AdapterScan, ARebuildWaitsForAReaderThatHoldsTheTable) {
    net_test_reset();
    FakeInfos = {fake_info(7, L"Wired", L"10.0.0.5")};
    FakeIndexes = {7};
    FakeRows[7] = fake_row(7, L"Wired", 7, 5000, 3000);
    adapter_scan_apply(fake_net_platform());
    FakeRows[7].index = 8;
    FakeIndexes = {8};
    FakeRows[8] = fake_row(8, L"Wired", 8, 5000, 3000);
    FakeRows.erase(7);
    FakeInfos = {fake_info(8, L"Wired", L"10.0.0.5")};

    std::atomic<bool> done{false};
    std::thread rebuild;
    {
        std::lock_guard guard(NetAdapterLock);
        rebuild = std::thread([&done] {
            adapter_scan_apply(fake_net_platform());
            done = true;
        });
        // The rebuild must not touch the table while the reader holds it; half a second is ample for an
        // unguarded rebuild to show.
        const bool touched = wait_until([] { return NetAdapterTable[1].number != 7; }, std::chrono::milliseconds(500));
        EXPECT_FALSE(touched) << "the table changed under the reader's lock";
        EXPECT_FALSE(done.load());
    }
    const bool finished = wait_until([&done] { return done.load(); });
    if (finished) {
        rebuild.join();
    } else {
        rebuild.detach();
    }
    ASSERT_TRUE(finished) << "the rebuild did not finish once the reader let go";
    EXPECT_EQ(net_adapter_mac_of(8), L"00:1A:2B:3C:4D:08");
    EXPECT_EQ(net_adapter_mac_of(7), L"");
}

}  // namespace
