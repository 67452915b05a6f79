// Tests of the ping monitor on Windows' own ICMP, DNS and ARP (found by name): loopback hosts answer; in a
// network of its own a host that does not exist times out and is shown down, and a host is named from a
// resolver the test runs itself.
#include <windows.h>
#include <winsock2.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "core/control_numbers.h"
#include "network/ping_hosts.h"
#include "network/ping_monitor.h"
#include "ping_fake_platform.h"
#include "runtime/date.h"
#include "runtime/program_libraries.h"

namespace {

constexpr int TIMEOUT_MS = 1500;

std::optional<PSys> host_by_address(uint32_t address) {
    std::lock_guard guard(PingListMutex);
    for (const PSys& host : PingHostList) {
        if (static_cast<uint32_t>(host.Valu) == address) return host;
    }
    return std::nullopt;
}

bool in_network_namespace() { return std::getenv("SOTRIX_NETNS_CONTROL") != nullptr; }

TEST(PingProbeWine, LoopbackHostsAnswerTheRealEcho) {
    ping_state_reset();
    const PingPlatform& platform = ping_platform_default();
    for (uint32_t n = 1; n <= 2; ++n) {
        const EchoResult reply = platform.echo(address_of(127, 0, 0, n), TIMEOUT_MS);
        EXPECT_TRUE(reply.answered) << "127.0.0." << n;
        EXPECT_GE(reply.time_ms, 0);
        EXPECT_GT(reply.ttl, 0);
    }
    SharedInts[PING_TIMEOUT_MS] = TIMEOUT_MS;
    for (uint32_t n = 1; n <= 3; ++n) ping_host_add(address_of(127, 0, 0, n), L"loop", false, 1024);
    ASSERT_TRUE(ping_round_run(platform, fake_ping_ui(), date_now()));
    EXPECT_EQ(SharedInts[PING_UP_COUNT].load(), 3);
    EXPECT_EQ(SharedInts[PING_DOWN_COUNT].load(), 0);
    EXPECT_EQ(host_by_address(address_of(127, 0, 0, 3))->Recv, 1);
}

TEST(PingProbeNetNs, AHostThatDoesNotExistTimesOutAndIsShownDown) {
    ASSERT_TRUE(in_network_namespace()) << "runs only in a network of its own (tools/netns-run.sh)";
    ping_state_reset();
    SharedInts[PING_TIMEOUT_MS] = TIMEOUT_MS;
    ping_host_add(address_of(10, 77, 0, 2), L"sxb", false, 1024);
    ping_host_add(address_of(10, 77, 0, 9), L"nobody", false, 1024);
    const Date now = date_now();
    ASSERT_TRUE(ping_round_run(ping_platform_default(), fake_ping_ui(), now));
    const PSys nobody = *host_by_address(address_of(10, 77, 0, 9));
    EXPECT_EQ(std::make_tuple(nobody.Time, nobody.Lost, nobody.Last, nobody.Down), std::make_tuple(-1, 1, -1, now));
    EXPECT_EQ(host_by_address(address_of(10, 77, 0, 2))->Recv, 1);
    EXPECT_EQ(SharedInts[PING_DOWN_COUNT].load(), 1);
    EXPECT_EQ(SharedInts[PING_FLASH_COUNT].load(), 3);
}

// A DNS server of a few lines on 127.0.0.1:53: it answers the PTR question for 10.77.0.2 with a name that carries
// a control character and upper case, the A question for "sxb.test", and every other question with "no such name".
class TinyResolver {
public:
    bool start() {
        WSADATA data;
        if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return false;
        socket_ = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
        if (socket_ == INVALID_SOCKET) return false;
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(53);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) return false;
        DWORD limit = 100;
        setsockopt(socket_, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&limit), sizeof(limit));
        thread_ = std::thread([this] { serve(); });
        return true;
    }
    ~TinyResolver() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        if (socket_ != INVALID_SOCKET) closesocket(socket_);
        WSACleanup();
    }
    int questions() const { return questions_.load(); }

private:
    static std::string name_of(const std::string& packet, size_t& at) {
        std::string name;
        while (at < packet.size() && packet[at] != 0) {
            const size_t length = static_cast<unsigned char>(packet[at++]);
            if (at + length > packet.size()) return {};
            if (!name.empty()) name += '.';
            name += packet.substr(at, length);
            at += length;
        }
        ++at;
        return name;
    }

    void serve() {
        char buffer[512];
        while (!stop_.load()) {
            sockaddr_in from{};
            int from_length = sizeof(from);
            const int got =
                recvfrom(socket_, buffer, sizeof(buffer), 0, reinterpret_cast<sockaddr*>(&from), &from_length);
            if (got < 12) continue;
            ++questions_;
            const std::string query(buffer, static_cast<size_t>(got));
            size_t at = 12;
            const std::string name = name_of(query, at);
            if (at + 4 > query.size()) continue;
            const int type = static_cast<unsigned char>(query[at]) << 8 | static_cast<unsigned char>(query[at + 1]);
            std::string reply = query.substr(0, at + 4);
            reply[2] = static_cast<char>(0x81);  // a response, recursion desired
            reply[3] = static_cast<char>(0x80);  // recursion available, no error
            reply[6] = reply[7] = reply[8] = reply[9] = reply[10] = reply[11] = 0;
            if (type == 12 && _stricmp(name.c_str(), "2.0.77.10.in-addr.arpa") == 0) {
                reply[7] = 1;
                // "Sxb", a bell and "Host" before the question's name (Wine's reader takes a PTR target only
                // with a compression pointer in it).
                const std::string target = std::string("\x08Sxb\x07Host", 9) + std::string("\xC0\x0C", 2);
                reply += query.substr(12, at - 12);  // the owner name written out, not as a pointer
                reply += std::string("\x00\x0C\x00\x01\x00\x00\x00\x3C", 8);
                reply += static_cast<char>(target.size() >> 8);
                reply += static_cast<char>(target.size() & 0xFF);
                reply += target;
            } else if (type == 1 && _stricmp(name.c_str(), "sxb.test") == 0) {
                reply[7] = 1;
                reply += query.substr(12, at - 12);
                reply += std::string("\x00\x01\x00\x01\x00\x00\x00\x3C\x00\x04\x0A\x4D\x00\x02", 14);
            } else {
                reply[3] = static_cast<char>(0x83);  // no such name
            }
            sendto(socket_, reply.data(), static_cast<int>(reply.size()), 0, reinterpret_cast<sockaddr*>(&from),
                   from_length);
        }
    }

    SOCKET socket_ = INVALID_SOCKET;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<int> questions_{0};
};

TEST(PingProbeNetNs, AHostIsNamedByReverseDnsFromTheNetworksResolver) {
    ASSERT_TRUE(in_network_namespace()) << "runs only in a network of its own (tools/netns-run.sh)";
    ping_state_reset();
    TinyResolver resolver;
    ASSERT_TRUE(resolver.start()) << "no resolver on 127.0.0.1:53";
    ASSERT_NE(dns_library_load(LIBRARY_DNSAPI), 0) << "Dnsapi.dll with DnsQuery_W and DnsRecordListFree";
    EXPECT_EQ(dns_resolve_ipv4(L"sxb.test"), address_of(10, 77, 0, 2));
    EXPECT_EQ(dns_reverse_lookup(address_of(10, 77, 0, 2)), L"sxbhost.2.0.77.10.in-addr.arpa");
    EXPECT_GT(resolver.questions(), 0) << "the name did not come from the test's resolver";
    EXPECT_EQ(dns_reverse_lookup(address_of(10, 77, 0, 1)), L"");

    SharedInts[PING_TIMEOUT_MS] = TIMEOUT_MS;
    ping_host_add(address_of(10, 77, 0, 2), L"", false, 1024);
    ASSERT_TRUE(ping_round_run(ping_platform_default(), fake_ping_ui(), date_now()));
    EXPECT_EQ(host_by_address(address_of(10, 77, 0, 2))->Host, L"sxbhost.2.0.77.10.in-addr.arpa");
    library_free(LIBRARY_DNSAPI);
}

// The bytes of address space the process has reserved or committed, its own allocations and Wine's alike.
size_t address_space_used() {
    size_t used = 0;
    MEMORY_BASIC_INFORMATION region{};
    for (const char* at = nullptr; VirtualQuery(at, &region, sizeof(region)) == sizeof(region);) {
        if (region.State != MEM_FREE) used += region.RegionSize;
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= at) break;
        at = next;
    }
    return used;
}

// The stack reserved for the calling thread: every region of the allocation that holds a local variable.
size_t stack_reserved() {
    MEMORY_BASIC_INFORMATION region{};
    const int local = 0;
    if (VirtualQuery(&local, &region, sizeof(region)) != sizeof(region)) return 0;
    void* const base = region.AllocationBase;
    size_t reserved = 0;
    for (const char* at = static_cast<const char*>(base);
         VirtualQuery(at, &region, sizeof(region)) == sizeof(region) && region.AllocationBase == base;
         at += region.RegionSize) {
        reserved += region.RegionSize;
    }
    return reserved;
}

std::atomic<size_t> probe_stack_most{0};

EchoResult echo_noting_stack(uint32_t address, int timeout_ms) {
    const size_t reserved = stack_reserved();
    size_t seen = probe_stack_most.load();
    while (reserved > seen && !probe_stack_most.compare_exchange_weak(seen, reserved)) {
    }
    return ping_platform_default().echo(address, timeout_ms);
}

int64_t round_ms(const PingPlatform& platform) {
    const int64_t start = millisecond_clock();
    EXPECT_TRUE(ping_round_run(platform, fake_ping_ui(), date_now()));
    return millisecond_clock() - start;
}

// The real echo with the product's time-out: a round over the network's silent hosts (10.77.0.3 to .254) lasts
// about one echo time-out, not one per few silent hosts; then loopback hosts fill the list to its limit. The first
// round of each starts the probe threads, the later ones reuse them. Prints the figures: round times, the
// threads' start, address space. Wine spends a few milliseconds of its own on every echo, one after another.
TEST(PingProbeNetNs, ARoundOverManySilentHostsLastsAboutOneEchoTimeOut) {
    ASSERT_TRUE(in_network_namespace()) << "runs only in a network of its own (tools/netns-run.sh)";
    ping_state_reset();
    constexpr int TIMEOUT = 2500;
    constexpr int HOSTS = 1024;
    SharedInts[PING_TIMEOUT_MS] = TIMEOUT;
    int silent = 0;
    for (uint32_t n = 3; n <= 254; ++n, ++silent) ping_host_add(address_of(10, 77, 0, n), L"silent", false, HOSTS);
    PingPlatform platform = ping_platform_default();
    platform.echo = echo_noting_stack;
    const size_t space_before = address_space_used();
    const int64_t silent_first = round_ms(platform);
    const int64_t silent_again = round_ms(platform);
    EXPECT_EQ(SharedInts[PING_DOWN_COUNT].load(), silent);
    EXPECT_GE(silent_again, TIMEOUT * 9 / 10);
    EXPECT_LT(silent_again, TIMEOUT * 2) << "a round of " << silent << " silent hosts took several echo time-outs";

    for (uint32_t n = 0; ping_host_count() < HOSTS; ++n) {
        ping_host_add(address_of(127, 1, n / 250, 1 + n % 250), L"loop", false, HOSTS);
    }
    const int64_t full_first = round_ms(platform);
    const int64_t full_again = round_ms(platform);
    EXPECT_EQ(SharedInts[PING_DOWN_COUNT].load(), silent);
    EXPECT_EQ(SharedInts[PING_UP_COUNT].load(), HOSTS - silent);
    EXPECT_LT(full_again, TIMEOUT + 10 * HOSTS) << "a round of a full list took several echo time-outs";
    const size_t space_after = address_space_used();
    size_t threads = 0;
    {
        std::lock_guard guard(PingListMutex);
        threads = PingThreads.size();
    }
    if (sizeof(void*) == 8) {
        EXPECT_EQ(threads, static_cast<size_t>(HOSTS));
    }
    std::printf(
        "[ figures  ] echo time-out %d ms, %zu-bit; %d silent hosts: %lld ms (starting %d threads), %lld ms\n"
        "[ figures  ] %d hosts: %lld ms (starting %d more threads), %lld ms; %zu probe threads\n"
        "[ figures  ] address space: %zu MiB before, %zu MiB after, %zu KiB per thread; "
        "stack reserved per probe: %zu KiB\n",
        TIMEOUT, sizeof(void*) * 8, silent, static_cast<long long>(silent_first), silent,
        static_cast<long long>(silent_again), HOSTS, static_cast<long long>(full_first), HOSTS - silent,
        static_cast<long long>(full_again), threads, space_before >> 20, space_after >> 20,
        threads ? (space_after - space_before) / threads >> 10 : 0, probe_stack_most.load() >> 10);
}

}  // namespace
