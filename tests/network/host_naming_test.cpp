// Tests of host naming: outside texts made safe, names that may be opened, private addresses, ARP results,
// bounded CNAME chains, and the lookup worker handing names to the monitor one at a time.
#include "network/host_naming.h"

#include <gtest/gtest.h>

#include <map>

#include "core/watched_threads.h"
#include "ping_fake_platform.h"
#include "runtime/threads.h"
#include "runtime/wait_until.h"

namespace {

TEST(HostNaming, TextsFromOutsideKeepOnlyPrintableCharacters) {
    using namespace std::string_literals;
    EXPECT_EQ(host_text_clean(L"a\u0000b\tc\u001b[1m\u007f\u0085d\u2028e\u202Ef\u2066g\u00e4"s), L"abc[1mdefg\u00e4");
    EXPECT_EQ(host_name_from_ptr(L"Host.Example.COM."), L"host.example.com");
    EXPECT_EQ(host_name_from_ptr(L"a\r\nb." + std::wstring(60, L'x')), L"ab." + std::wstring(37, L'x'));
}

TEST(HostNaming, OnlyValidDnsNamesMayBeOpened) {
    for (const wchar_t* good : {L"example.com", L"a-b.c0.example", L"x.y"}) EXPECT_TRUE(dns_name_valid(good)) << good;
    for (const wchar_t* bad :
         {L"", L"localhost", L"-a.example", L"a-.example", L"a..example", L"a.example.", L"a b.example", L"a\".example",
          L"c:\\x.example", L"a.example/path", L"a&b.example", L"\u00e4.example"}) {
        EXPECT_FALSE(dns_name_valid(bad)) << bad;
    }
    EXPECT_FALSE(dns_name_valid(std::wstring(64, L'a') + L".example"));
    EXPECT_FALSE(dns_name_valid(std::wstring(250, L'a').insert(10, L".")));
}

TEST(HostNaming, PrivateAddressesAndReverseNames) {
    struct Case {
        uint32_t address;
        int is_private;
    };
    for (const Case& c :
         {Case{address_of(10, 0, 0, 1), 1}, Case{address_of(172, 15, 0, 1), 0}, Case{address_of(172, 16, 0, 1), 1},
          Case{address_of(172, 31, 255, 254), 1}, Case{address_of(172, 32, 0, 1), 0},
          Case{address_of(192, 168, 1, 1), 1}, Case{address_of(192, 169, 1, 1), 0}, Case{address_of(127, 0, 0, 1), 0},
          Case{address_of(169, 254, 1, 1), 0}}) {
        EXPECT_EQ(is_private_ipv4(c.address), c.is_private) << c.address;
    }
    EXPECT_EQ(reverse_query_name(address_of(10, 0, 0, 1)), L"1.0.0.10.IN-ADDR.ARPA");
    EXPECT_EQ(reverse_query_name(address_of(192, 168, 1, 20)), L"20.1.168.192.IN-ADDR.ARPA");
}

TEST(HostNaming, ArpResultsNameAHostOnlyWhenWhole) {
    const uint8_t mac[8] = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x77, 0x77};
    const uint8_t zero[6] = {};
    const uint8_t ones[6] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(mac_text_from_arp(0, mac, 6), L"00:1A:2B:3C:4D:5E");
    EXPECT_EQ(mac_text_from_arp(67, mac, 6), L"") << "a failed call";
    EXPECT_EQ(mac_text_from_arp(0, mac, 0), L"") << "no bytes";
    EXPECT_EQ(mac_text_from_arp(0, mac, 8), L"") << "more bytes than a hardware address";
    EXPECT_EQ(mac_text_from_arp(0, zero, 6), L"");
    EXPECT_EQ(mac_text_from_arp(0, ones, 6), L"");
    EXPECT_EQ(mac_text_from_arp(0, nullptr, 6), L"");
}

TEST(HostNaming, CnameChainsAreFollowedAFewHopsAndLoopsEnd) {
    ping_state_reset();
    Net.records[L"www.example"] = {true, DNS_RECORD_CNAME, 0, L"edge.example"};
    Net.records[L"edge.example"] = {true, DNS_RECORD_A, address_of(127, 0, 0, 7), L""};
    Net.records[L"loop.example"] = {true, DNS_RECORD_CNAME, 0, L"loop.example"};
    Net.records[L"text.example"] = {true, 16, 0, L""};
    EXPECT_EQ(dns_resolve_with(fake_dns, L"www.example"), address_of(127, 0, 0, 7));
    EXPECT_EQ(dns_resolve_with(fake_dns, L"text.example"), 0u);
    EXPECT_EQ(dns_resolve_with(fake_dns, L"missing.example"), 0u);
    Net.queried.clear();
    EXPECT_EQ(dns_resolve_with(fake_dns, L"loop.example"), 0u);
    EXPECT_EQ(Net.queried.size(), static_cast<size_t>(DNS_CNAME_HOPS_MAX + 1));
    Net.records[reverse_query_name(address_of(127, 0, 0, 7))] = {true, DNS_RECORD_PTR, 0, L"Edge\u001b.Example."};
    EXPECT_EQ(dns_reverse_with(fake_dns, address_of(127, 0, 0, 7)), L"edge.example");
    EXPECT_EQ(dns_reverse_with(nullptr, address_of(127, 0, 0, 7)), L"");
}

// The monitor's side of the handover: takes each result, then frees the slot.
struct FakeMonitor {
    std::vector<std::pair<std::wstring, int32_t>> taken;
    bool take() {
        const int32_t result = SharedInts[PING_REQ_ADD_HOST].load(std::memory_order_acquire);
        if (result == 0) return false;
        taken.emplace_back(shared_text(PING_ADD_NAME), result);
        shared_text_set(PING_ADD_NAME, L"");
        SharedInts[PING_REQ_ADD_HOST].store(0, std::memory_order_release);
        return true;
    }
};

uint32_t resolve_fake(const std::wstring& name) { return dns_resolve_with(fake_dns, name); }

class LookupWorker : public ::testing::Test {
protected:
    void SetUp() override {
        ping_state_reset();
        Net.records[L"one.example"] = {true, DNS_RECORD_A, address_of(127, 0, 0, 1), L""};
        Net.records[L"two.example"] = {true, DNS_RECORD_A, address_of(127, 0, 0, 2), L""};
    }
    void TearDown() override {
        quit_flag_raise(1);
        EXPECT_TRUE(wait_until([] { return lookup_worker_thread() == 0; })) << "the worker did not end on the quit";
        EXPECT_TRUE(thread_wait_all(exit_watched_threads(), 10000)) << "the exit would wait for a worker";
        quit_flag_clear();
    }
};

TEST_F(LookupWorker, NamesAreHandedOverOneAtATimeAndAnUnknownNameGivesMinusOne) {
    lookup_queue_add(L"  one.example   nowhere.example two.example ");
    lookup_worker_start(resolve_fake);
    lookup_worker_start(resolve_fake);  // a second start while one runs starts nothing
    FakeMonitor monitor;
    ASSERT_TRUE(wait_until([&] { return monitor.take() && monitor.taken.size() == 1; }));
    EXPECT_EQ(shared_text(PING_ADD_QUEUE), L"nowhere.example two.example");
    ASSERT_TRUE(wait_until([&] {
        monitor.take();
        return monitor.taken.size() == 3;
    }));
    EXPECT_EQ(monitor.taken, (std::vector<std::pair<std::wstring, int32_t>>{
                                 {L"one.example", static_cast<int32_t>(address_of(127, 0, 0, 1))},
                                 {L"nowhere.example", -1},
                                 {L"two.example", static_cast<int32_t>(address_of(127, 0, 0, 2))}}));
    EXPECT_TRUE(wait_until([] { return lookup_worker_thread() == 0; })) << "an empty queue ends the worker";
    // Names added later start a new worker.
    lookup_queue_add(L"one.example");
    lookup_worker_start(resolve_fake);
    ASSERT_TRUE(wait_until([&] { return monitor.take(); }));
    EXPECT_EQ(monitor.taken.back().first, L"one.example");
}

TEST_F(LookupWorker, TheWorkerWaitingForTheMonitorEndsOnTheQuit) {
    lookup_queue_add(L"one.example two.example");
    lookup_worker_start(resolve_fake);
    ASSERT_TRUE(wait_until([] { return SharedInts[PING_REQ_ADD_HOST].load() != 0; }));
    EXPECT_NE(lookup_worker_thread(), 0);
    EXPECT_NE(lookup_worker_thread(), SharedQuads[NETWORK_THREAD].load());
    // Another add while the worker waits: the one worker takes the new name too, no second one starts.
    lookup_queue_add(L"one.example");
    lookup_worker_start(resolve_fake);
    int running = 0;
    for (const int64_t thread : exit_watched_threads()) running += thread_is_running(thread) ? 1 : 0;
    EXPECT_EQ(running, 1) << "two lookup workers would take names from the one queue";
    // Nobody takes the result: the worker waits until the quit (TearDown checks that it ends).
}

}  // namespace
