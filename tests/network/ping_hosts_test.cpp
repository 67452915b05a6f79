// Tests of the ping host list's procedures: addresses, adds and ranges with their limit, counting and
// outage history, sorting, the cell text, and the lock every change of the list takes.
#include "network/ping_hosts.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "network/ping_store.h"
#include "ping_fake_platform.h"
#include "runtime/wait_until.h"

namespace {

std::vector<std::wstring> listed() {
    std::lock_guard guard(PingListMutex);
    std::vector<std::wstring> texts;
    for (const PSys& host : PingHostList) texts.push_back(host.Addr + (host.Host.empty() ? L"" : L" " + host.Host));
    return texts;
}

PSys& host_at(int index) { return *std::next(PingHostList.begin(), index); }

class PingHosts : public ::testing::Test {
protected:
    void SetUp() override { ping_state_reset(); }
};

TEST(PingAddresses, ParseOnlyFourDecimalOctets) {
    struct Case {
        const wchar_t* text;
        std::optional<uint32_t> address;
    };
    for (const Case& c :
         {Case{L"127.0.0.1", 0x0100007F}, Case{L"10.77.0.9", address_of(10, 77, 0, 9)},
          Case{L"255.255.255.255", 0xFFFFFFFF}, Case{L"0.0.0.0", 0}, Case{L"256.1.1.1", std::nullopt},
          Case{L"1.2.3", std::nullopt}, Case{L"1.2.3.4.5", std::nullopt}, Case{L"1.2.3.4 ", std::nullopt},
          Case{L"1..3.4", std::nullopt}, Case{L"0001.2.3.4", std::nullopt}, Case{L"", std::nullopt},
          Case{L"a.b.c.d", std::nullopt}, Case{L"1.2.3.4/x", std::nullopt}}) {
        EXPECT_EQ(ipv4_parse(c.text), c.address) << c.text;
    }
    EXPECT_EQ(ipv4_text(address_of(192, 168, 1, 5)), L"192.168.1.5");
    EXPECT_EQ(ipv4_sort_key(L"192.168.1.5"), 192168001005);
    EXPECT_EQ(ipv4_sort_key(L"x"), 0);
    EXPECT_EQ(ping_creation_key(1700000000, 1234567, 1000), L"1700000000.567");
    EXPECT_EQ(ping_creation_key(1700000000, 1005, 1000), L"1700000000.005");
    const std::wstring first = ping_creation_key_next();
    const std::wstring second = ping_creation_key_next();
    EXPECT_LT(first, second) << "keys made in one go differ";
}

TEST_F(PingHosts, AddsRefuseDuplicatesUpdateDescriptionsAndStopAtTheLimit) {
    EXPECT_EQ(ping_host_add(address_of(127, 0, 0, 1), L"  My Router  ", false, 3), PING_ADD_APPENDED);
    EXPECT_EQ(ping_host_add(address_of(127, 0, 0, 2), L"127.0.0.2", false, 3), PING_ADD_APPENDED);
    EXPECT_EQ(ping_host_add(address_of(127, 0, 0, 1), L"other", false, 3), PING_ADD_DUPLICATE);
    EXPECT_EQ(ping_host_add(address_of(127, 0, 0, 1), L"New Name", true, 3), PING_ADD_UPDATED);
    EXPECT_EQ(ping_host_add(address_of(127, 0, 0, 3), L"", false, 3), PING_ADD_APPENDED);
    EXPECT_EQ(ping_host_add(address_of(127, 0, 0, 4), L"", false, 3), PING_ADD_FULL);
    EXPECT_EQ(listed(), (std::vector<std::wstring>{L"127.0.0.1 new name", L"127.0.0.2", L"127.0.0.3"}));
}

TEST_F(PingHosts, RangesAddAscendingSkipListedHostsAndStopAtTheLimit) {
    ping_host_add(address_of(10, 0, 0, 12), L"", false, 1024);
    EXPECT_EQ(ping_range_add(address_of(10, 0, 0, 14), address_of(10, 0, 0, 11), L"+", 1024), 3);
    EXPECT_EQ(listed(), (std::vector<std::wstring>{L"10.0.0.12", L"10.0.0.11 +", L"10.0.0.13 +", L"10.0.0.14 +"}));
    // The whole /24 against a limit of 1024 hosts: the range stops where the list is full.
    {
        std::lock_guard guard(PingListMutex);
        PingHostList.clear();
        for (uint32_t n = 0; n < 1000; ++n)
            PingHostList.push_back(ping_host_make(address_of(10, 1, n / 256, n % 256), L""));
    }
    EXPECT_EQ(ping_range_add(address_of(10, 2, 0, 0), address_of(10, 2, 0, 255), L"*", 1024), 24);
    EXPECT_EQ(ping_host_count(), 1024);
    EXPECT_EQ(ping_range_add(address_of(10, 3, 0, 0), address_of(10, 3, 0, 255), L"*", 1024), 0);
}

TEST_F(PingHosts, CountingKeepsTheFirstDownDatePausedHostsAndTheSampleLimit) {
    ping_host_add(address_of(127, 0, 0, 1), L"", false, 1024);
    ping_host_add(address_of(10, 77, 0, 9), L"", false, 1024);
    ping_host_add(address_of(127, 0, 0, 3), L"", false, 1024);
    {
        std::lock_guard guard(PingListMutex);
        host_at(2).Actv = 0;
    }
    const std::vector<int32_t> times = {12, 5, 40};
    Date now = 1'700'000'000;
    for (const int32_t time : times) {
        {
            std::lock_guard guard(PingListMutex);
            host_at(0).Time = time;
            host_at(1).Time = -1;
        }
        const PingRoundCounts counts = ping_round_count(now, 2);
        EXPECT_EQ(counts.up, 1);
        EXPECT_EQ(counts.down, 1);
        now += 60;
    }
    std::lock_guard guard(PingListMutex);
    const PSys& up = host_at(0);
    EXPECT_EQ(std::tie(up.Sent, up.Recv, up.Lost, up.Best, up.Wors, up.Last), std::make_tuple(3, 3, 0, 5, 40, 1));
    ASSERT_EQ(up.PV.size(), 2u) << "the oldest sample goes once the limit is reached";
    EXPECT_EQ(up.PV.front().T, 5);
    const PSys& down = host_at(1);
    EXPECT_EQ(std::tie(down.Sent, down.Recv, down.Lost, down.Last), std::make_tuple(3, 0, 3, -1));
    EXPECT_EQ(down.Down, 1'700'000'000) << "the date of the first failed round stays while the host stays down";
    EXPECT_EQ(std::tie(down.Best, down.Wors), std::make_tuple(-1, -1));
    const PSys& paused = host_at(2);
    EXPECT_EQ(paused.Sent, 0);
    ASSERT_EQ(paused.PV.size(), 2u);
    EXPECT_EQ(paused.PV.back().T, SAMPLE_INACTIVE);
}

TEST_F(PingHosts, RangeCleanUpDeletesSilentKeepActiveHostsAndClearsMarks) {
    ping_range_add(address_of(10, 0, 0, 1), address_of(10, 0, 0, 2), L"*", 1024);
    ping_range_add(address_of(10, 0, 0, 3), address_of(10, 0, 0, 3), L"+", 1024);
    {
        std::lock_guard guard(PingListMutex);
        host_at(0).Time = -1;
        host_at(1).Time = 3;
        host_at(2).Time = -1;
    }
    EXPECT_EQ(ping_range_clean_up(), 1);
    EXPECT_EQ(listed(), (std::vector<std::wstring>{L"10.0.0.2", L"10.0.0.3"}));
}

TEST_F(PingHosts, SortingIsStableAndColumnZeroRestoresTheCreationOrder) {
    for (uint32_t n : {3u, 1u, 2u}) ping_host_add(address_of(127, 0, 0, n), L"", false, 1024);
    {
        std::lock_guard guard(PingListMutex);
        host_at(0).Time = 7;
        host_at(1).Time = 7;
        host_at(2).Time = 1;
    }
    ping_hosts_sort(3, false);
    EXPECT_EQ(listed(), (std::vector<std::wstring>{L"127.0.0.2", L"127.0.0.3", L"127.0.0.1"}));
    ping_hosts_sort(3, true);
    EXPECT_EQ(listed(), (std::vector<std::wstring>{L"127.0.0.3", L"127.0.0.1", L"127.0.0.2"}));
    ping_hosts_sort(1, false);
    EXPECT_EQ(listed(), (std::vector<std::wstring>{L"127.0.0.1", L"127.0.0.2", L"127.0.0.3"}));
    ping_hosts_sort(0, false);
    EXPECT_EQ(listed(), (std::vector<std::wstring>{L"127.0.0.3", L"127.0.0.1", L"127.0.0.2"}));
}

TEST(PingCell, TextFitsTheDigitsIntoEightCharacters) {
    EXPECT_EQ(ping_cell_text(3, 0), L" 3\u25B2 0\u25BC  ");
    EXPECT_EQ(ping_cell_text(12, 3), L" 12\u25B2 3\u25BC ");
    EXPECT_EQ(ping_cell_text(12, 34), L" 12\u25B2 34\u25BC");
    EXPECT_EQ(ping_cell_text(999, 24), L"999\u25B2 24\u25BC");
    EXPECT_EQ(ping_cell_text(999, 240), L"999\u25B2240\u25BC");
    EXPECT_EQ(ping_cell_text(1024, 100), std::nullopt);
}

// Drawing and copying walk the list under PingListMutex on other threads: no change of its membership or
// order may happen while they hold it.
TEST_F(PingHosts, EveryChangeOfTheListWaitsForItsLock) {
    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"add", [] { ping_host_add(address_of(127, 0, 0, 9), L"", false, 1024); }},
        {"range", [] { ping_range_add(address_of(10, 0, 0, 1), address_of(10, 0, 0, 3), L"+", 1024); }},
        {"delete", [] { ping_hosts_delete(true); }},
        {"sort", [] { ping_hosts_sort(1, true); }},
        {"clean-up", [] { ping_range_clean_up(); }},
        {"count", [] { ping_round_count(1, 10); }},
        {"prepare", [] { ping_hosts_prepare(1, 10); }},
        {"load", [] { ping_list_load(L"/nonexistent-folder-of-sotrix-tests/SX-Ping.json"); }},
    };
    for (const auto& [name, change] : changes) {
        SCOPED_TRACE(name);
        std::atomic<bool> done{false};
        std::unique_lock held(PingListMutex);
        std::thread worker([&, change = change] {
            change();
            done = true;
        });
        EXPECT_FALSE(wait_until([&] { return done.load(); }, std::chrono::milliseconds(150)))
            << "changed the list while another thread held its lock";
        held.unlock();
        EXPECT_TRUE(wait_until([&] { return done.load(); }));
        worker.join();
    }
}

}  // namespace
