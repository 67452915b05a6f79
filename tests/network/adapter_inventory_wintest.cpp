// The adapter inventory on Wine's real interfaces: every adapter matched to its interface row, the rows read
// by their real indexes, the loopback counters moving with traffic the test makes, and the adapter thread
// keeping its rounds and ending at once on the quit.
#include <windows.h>
#include <winsock2.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "net_fake_platform.h"
#include "network/adapter_thread.h"
#include "network/network_monitor.h"
#include "runtime/wait_until.h"

namespace {

// Sends `count` datagrams of `size` bytes to a socket of our own on 127.0.0.1.
bool loopback_traffic(int count, int size) {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return false;
    const SOCKET receiver = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    const SOCKET sender = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    bool sent = receiver != INVALID_SOCKET && sender != INVALID_SOCKET &&
                bind(receiver, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                getsockname(receiver, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    const std::string payload(static_cast<std::size_t>(size), 'x');
    for (int i = 0; sent && i < count; ++i) {
        sent = sendto(sender, payload.data(), size, 0, reinterpret_cast<sockaddr*>(&address), sizeof address) == size;
    }
    if (sender != INVALID_SOCKET) closesocket(sender);
    if (receiver != INVALID_SOCKET) closesocket(receiver);
    WSACleanup();
    return sent;
}

TEST(AdapterInventoryWine, EveryAdapterIsMatchedToARowOfItsOwnIndex) {
    net_test_reset();
    network_libraries_load();
    ASSERT_EQ(SharedQuads[IPHLPAPI_LIBRARY].load(), LIBRARY_IPHLPAPI) << "IP Helper did not bind";
    const NetPlatform& platform = net_platform_default();
    adapter_scan_apply(platform);
    const int count = SharedInts[ADAPTER_COUNT].load();
    ASSERT_GT(count, 0) << "GetAdaptersInfo listed no adapter";
    EXPECT_EQ(SharedInts[ADAPTERS_MATCHED].load(), count);
    const std::vector<uint32_t> indexes = platform.interface_indexes();
    EXPECT_EQ(SharedInts[INTERFACE_COUNT].load(), static_cast<int>(indexes.size()));
    const NetAdapters table = net_adapters_copy();
    for (int j = 1; j <= count; ++j) {
        EXPECT_FALSE(table[j].description.empty()) << j;
        EXPECT_NE(std::find(indexes.begin(), indexes.end(), static_cast<uint32_t>(table[j].number)), indexes.end())
            << table[j].description;
        EXPECT_EQ(table[j].mac_text.view().size(), 17u);
        EXPECT_FALSE(table[j].tag.empty());
    }
    EXPECT_GT(list_rows_count(LIST_NETWORK_ADAPTERS), 0);
    network_libraries_free();
}

TEST(AdapterInventoryWine, LoopbackCountersMoveWithTrafficTheTestMakes) {
    net_test_reset();
    network_libraries_load();
    ASSERT_NE(SharedQuads[IPHLPAPI_LIBRARY].load(), 0) << "IP Helper did not bind";
    const NetPlatform& platform = net_platform_default();
    uint32_t loopback = 0;
    InterfaceRowFacts row;
    for (const uint32_t index : platform.interface_indexes()) {
        if (platform.interface_row(index, row) && row.type == 24) loopback = index;
    }
    ASSERT_NE(loopback, 0u) << "no software loopback interface among the interface rows";
    ASSERT_TRUE(platform.interface_row(loopback, row));
    const int64_t before = row.in_octets;
    constexpr int COUNT = 200, SIZE = 1000;
    ASSERT_TRUE(loopback_traffic(COUNT, SIZE)) << "could not send to 127.0.0.1";
    const bool moved = wait_until([&] {
        InterfaceRowFacts now;
        return platform.interface_row(loopback, now) && now.in_octets - before >= int64_t{COUNT} * SIZE;
    });
    EXPECT_TRUE(moved) << "the loopback's InOctets did not grow by the " << COUNT * SIZE << " bytes sent";
    network_libraries_free();
}

TEST(AdapterInventoryWine, TheThreadReadsRescansOnRequestAndEndsAtOnceOnTheQuit) {
    net_test_reset();
    network_libraries_load();
    adapter_scan_apply(net_platform_default());
    const int64_t scans = adapter_scan_count();
    std::atomic<bool> ended{false};
    std::thread thread([&ended] {
        adapter_thread_run(net_platform_default(), fake_net_ui());
        ended = true;
    });
    const bool read = wait_until([] { return SharedInts[NET_READ_COUNTDOWN].load() > 0; });
    SharedInts[NET_RESCAN_REQUEST] = 1;
    const bool rescanned = wait_until([&] { return SharedInts[NET_RESCAN_REQUEST].load() == 0; });
    const int64_t scans_after = adapter_scan_count();
    quit_flag_raise(1);
    // A quit wakes the round's wait at once: the thread ends within one round.
    const bool stopped = wait_until([&ended] { return ended.load(); }, std::chrono::milliseconds(5000));
    if (stopped) {
        thread.join();
    } else {
        thread.detach();
    }
    EXPECT_TRUE(stopped) << "the adapter thread did not end within 5 s of the quit";
    EXPECT_TRUE(read) << "no interface read within the wait limit";
    EXPECT_TRUE(rescanned) << "the rescan request was not served";
    EXPECT_EQ(scans_after, scans + 1);
    EXPECT_FALSE(FakeUi.filter_items.empty());
    quit_flag_clear();
    network_libraries_free();
}

}  // namespace
