// Tests of the ping monitor on Windows' own ICMP, DNS and ARP (found by name): loopback hosts answer; in a
// network of its own a host that does not exist times out and is shown down, and a host is named from a
// resolver the test runs itself.
#include <windows.h>
#include <winsock2.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "core/control_numbers.h"
#include "network/ping_hosts.h"
#include "network/ping_monitor.h"
#include "ping_fake_platform.h"
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

}  // namespace
