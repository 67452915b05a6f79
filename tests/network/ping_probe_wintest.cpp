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
    const uint32_t loopback[] = {address_of(127, 0, 0, 1), address_of(127, 0, 0, 2)};
    EchoResult replies[2];
    platform.echo_batch(loopback, 2, TIMEOUT_MS, replies);
    for (size_t n = 0; n < 2; ++n) {
        EXPECT_TRUE(replies[n].answered) << "127.0.0." << n + 1;
        EXPECT_GE(replies[n].time_ms, 0);
        EXPECT_GT(replies[n].ttl, 0);
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

// One batch of real echoes, loopback hosts and hosts of the test network that nobody holds (10.77.0.3 and up)
// side by side: each result belongs to its own address, the loopback ones answered in less than the time-out,
// the silent ones unanswered; and the batch waits for all of its echoes together, one time-out however many
// are silent.
TEST(PingProbeNetNs, ABatchAnswersItsLoopbackHostsAndTimesOutItsSilentOnesTogether) {
    ASSERT_TRUE(in_network_namespace()) << "runs only in a network of its own (tools/netns-run.sh)";
    struct Case {
        const char* name;
        uint32_t loopback;
        uint32_t silent;
    };
    const Case cases[] = {
        {"loopback and silent hosts in turn", 8, 8},
        {"a full batch of silent hosts", 0, PING_ECHO_BATCH},
        {"a full batch of loopback hosts", PING_ECHO_BATCH, 0},
    };
    const PingPlatform& platform = ping_platform_default();
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        std::vector<uint32_t> addresses;
        std::vector<bool> loopback;
        for (uint32_t n = 0; n < std::max(test.loopback, test.silent); ++n) {
            if (n < test.loopback) {
                addresses.push_back(address_of(127, 0, 0, 1 + n));
                loopback.push_back(true);
            }
            if (n < test.silent) {
                addresses.push_back(address_of(10, 77, 0, 3 + n));
                loopback.push_back(false);
            }
        }
        std::vector<EchoResult> results(addresses.size(), EchoResult{true, 99, 99, 99});
        const int64_t start = millisecond_clock();
        platform.echo_batch(addresses.data(), addresses.size(), TIMEOUT_MS, results.data());
        const int64_t took = millisecond_clock() - start;
        for (size_t n = 0; n < addresses.size(); ++n) {
            const in_addr address{.S_un = {.S_addr = addresses[n]}};
            SCOPED_TRACE(inet_ntoa(address));
            if (loopback[n]) {
                EXPECT_TRUE(results[n].answered);
                EXPECT_GE(results[n].time_ms, 0);
                EXPECT_LT(results[n].time_ms, TIMEOUT_MS);
                EXPECT_GT(results[n].ttl, 0);
            } else {
                EXPECT_FALSE(results[n].answered);
                EXPECT_EQ(results[n].time_ms, -1);
            }
        }
        EXPECT_LT(took, TIMEOUT_MS + PING_ECHO_MARGIN_MS) << "the batch waited for its echoes one after another";
        if (test.silent > 0) {
            EXPECT_GE(took, TIMEOUT_MS * 9 / 10) << "the batch ended before its silent hosts' time-out";
        } else {
            EXPECT_LT(took, TIMEOUT_MS / 2) << "answered echoes waited for a time-out";
        }
        std::printf("[ figures  ] %s: %zu echoes in %lld ms\n", test.name, addresses.size(),
                    static_cast<long long>(took));
    }
}

// Wine's ICMP service holds at most 256 echoes at once, of every program of its session, and turns more away
// unsent. With silent echoes (each of the network's silent hosts twice) holding all of them, a batch of loopback
// echoes still comes back answered: what was turned away goes again once there is room.
TEST(PingProbeNetNs, EchoesTurnedAwayWhileTheSystemIsFullGoAgain) {
    ASSERT_TRUE(in_network_namespace()) << "runs only in a network of its own (tools/netns-run.sh)";
    constexpr int SILENT_TIMEOUT_MS = 3000;
    constexpr uint32_t SILENT_BATCHES = 8;
    constexpr uint32_t SILENT_PER_BATCH = 63;  // 10.77.0.3 to 10.77.0.254 are four batches
    const PingPlatform& platform = ping_platform_default();
    std::vector<std::thread> silent;
    for (uint32_t b = 0; b < SILENT_BATCHES; ++b) {
        silent.emplace_back([b, &platform] {
            uint32_t addresses[SILENT_PER_BATCH];
            EchoResult results[SILENT_PER_BATCH];
            for (uint32_t n = 0; n < SILENT_PER_BATCH; ++n)
                addresses[n] = address_of(10, 77, 0, 3 + (b * SILENT_PER_BATCH + n) % 252);
            platform.echo_batch(addresses, SILENT_PER_BATCH, SILENT_TIMEOUT_MS, results);
        });
    }
    Sleep(SILENT_TIMEOUT_MS / 3);  // the silent echoes are all sent by then
    uint32_t loopback[PING_ECHO_BATCH];
    for (uint32_t n = 0; n < PING_ECHO_BATCH; ++n) loopback[n] = address_of(127, 0, 1, 1 + n);
    EchoResult results[PING_ECHO_BATCH];
    const int64_t start = millisecond_clock();
    platform.echo_batch(loopback, PING_ECHO_BATCH, TIMEOUT_MS, results);
    const int64_t took = millisecond_clock() - start;
    for (std::thread& batch : silent) batch.join();
    int answered = 0;
    for (const EchoResult& result : results) answered += result.answered ? 1 : 0;
    EXPECT_EQ(answered, static_cast<int>(PING_ECHO_BATCH));
    std::printf("[ figures  ] %zu loopback echoes beside %u silent ones: %lld ms\n", PING_ECHO_BATCH,
                SILENT_BATCHES * SILENT_PER_BATCH, static_cast<long long>(took));
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

void echo_batch_noting_stack(const uint32_t* addresses, size_t count, int timeout_ms, EchoResult* results) {
    const size_t reserved = stack_reserved();
    size_t seen = probe_stack_most.load();
    while (reserved > seen && !probe_stack_most.compare_exchange_weak(seen, reserved)) {
    }
    ping_platform_default().echo_batch(addresses, count, timeout_ms, results);
}

size_t probe_thread_count() {
    std::lock_guard guard(PingListMutex);
    return PingThreads.size();
}

int64_t round_ms(const PingPlatform& platform) {
    const int64_t start = millisecond_clock();
    EXPECT_TRUE(ping_round_run(platform, fake_ping_ui(), date_now()));
    return millisecond_clock() - start;
}

// The real echoes with the product's time-out: a round over the network's silent hosts (10.77.0.3 to .254) lasts
// about one echo time-out, not one per batch of silent hosts; then loopback hosts fill the list to its limit. The
// first round of each starts the probe threads (a thread per batch and the naming threads), the later ones reuse
// them. Prints the figures: round times, the threads, address space. Wine spends a few milliseconds of its own
// on every echo, one after another.
TEST(PingProbeNetNs, ARoundOverManySilentHostsLastsAboutOneEchoTimeOut) {
    ASSERT_TRUE(in_network_namespace()) << "runs only in a network of its own (tools/netns-run.sh)";
    ping_state_reset();
    constexpr int TIMEOUT = 2500;
    constexpr int HOSTS = 1024;
    SharedInts[PING_TIMEOUT_MS] = TIMEOUT;
    int silent = 0;
    for (uint32_t n = 3; n <= 254; ++n, ++silent) ping_host_add(address_of(10, 77, 0, n), L"silent", false, HOSTS);
    PingPlatform platform = ping_platform_default();
    platform.echo_batch = echo_batch_noting_stack;
    const size_t space_before = address_space_used();
    const int64_t silent_first = round_ms(platform);
    const int64_t silent_again = round_ms(platform);
    const size_t silent_threads = probe_thread_count();
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
    const size_t threads = probe_thread_count();
    EXPECT_EQ(threads, static_cast<size_t>(PING_PROBE_THREADS_MAX));
    std::printf(
        "[ figures  ] echo time-out %d ms, %zu-bit; %d silent hosts: %lld ms (starting %zu threads), %lld ms\n"
        "[ figures  ] %d hosts: %lld ms (starting %zu more threads), %lld ms; %zu probe threads\n"
        "[ figures  ] address space: %zu MiB before, %zu MiB after; stack reserved per probe: %zu KiB\n",
        TIMEOUT, sizeof(void*) * 8, silent, static_cast<long long>(silent_first), silent_threads,
        static_cast<long long>(silent_again), HOSTS, static_cast<long long>(full_first), threads - silent_threads,
        static_cast<long long>(full_again), threads, space_before >> 20, space_after >> 20,
        probe_stack_most.load() >> 10);
}

}  // namespace
