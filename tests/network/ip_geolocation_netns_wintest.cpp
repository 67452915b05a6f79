// The geolocation lookup's real path (name resolution, libcurl, the reply) against a server of the test's
// own on 127.0.0.1:80, inside a network namespace whose hosts file maps the service's name to loopback:
// nothing leaves the machine. Run through tools/netns-run.sh with tests/network/netns_hosts.
#include <windows.h>
#include <winsock2.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "net_fake_platform.h"
#include "network/ip_geolocation.h"

namespace {

// Answers each connection with the next reply of its script (the last one repeats) and keeps the request
// lines it saw.
struct LoopbackHttpServer {
    SOCKET listener = INVALID_SOCKET;
    std::thread thread;
    std::mutex lock;
    std::vector<std::string> replies;
    std::vector<std::string> requests;
    std::atomic<bool> stopping{false};

    bool start() {
        listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(80);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (listener == INVALID_SOCKET || bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            listen(listener, 8) != 0) {
            return false;
        }
        thread = std::thread([this] { serve(); });
        return true;
    }
    void serve() {
        std::size_t served = 0;
        while (!stopping) {
            const SOCKET client = accept(listener, nullptr, nullptr);
            if (client == INVALID_SOCKET) return;
            std::string request;
            char buffer[2048];
            while (request.find("\r\n\r\n") == std::string::npos) {
                const int got = recv(client, buffer, sizeof buffer, 0);
                if (got <= 0) break;
                request.append(buffer, static_cast<std::size_t>(got));
            }
            std::string reply;
            {
                std::lock_guard guard(lock);
                requests.push_back(request.substr(0, request.find("\r\n")));
                reply = replies.empty() ? std::string() : replies[std::min(served, replies.size() - 1)];
            }
            ++served;
            for (std::size_t sent = 0; sent < reply.size();) {
                const int put = send(client, reply.data() + sent, static_cast<int>(reply.size() - sent), 0);
                if (put <= 0) break;
                sent += static_cast<std::size_t>(put);
            }
            shutdown(client, SD_SEND);
            closesocket(client);
        }
    }
    void script(std::vector<std::string> list) {
        std::lock_guard guard(lock);
        replies = std::move(list);
        requests.clear();
    }
    std::vector<std::string> seen() {
        std::lock_guard guard(lock);
        return requests;
    }
    ~LoopbackHttpServer() {
        stopping = true;
        closesocket(listener);  // wakes the accept
        if (thread.joinable()) thread.join();
    }
};

std::string http_reply(const std::string& status, const std::string& body, const std::string& extra = {}) {
    return "HTTP/1.1 " + status +
           "\r\nContent-Type: application/json\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n" + extra + "\r\n" + body;
}

constexpr char SUCCESS[] = R"({"status":"success","country":"Testland","countryCode":"TL","city":"Loopback",)"
                           R"("lat":-33.8688,"lon":151.2093,"offset":36000,"as":"AS64511 Test","query":"192.0.2.44"})";

// Only inside the namespace that maps the service's name to loopback: anywhere else the request could leave
// the machine, so the test refuses to run there.
bool inside_test_network(std::string& why) {
    if (!std::getenv("SOTRIX_NETNS_CONTROL")) {
        why = "not inside the test network (run through tools/netns-run.sh --hosts tests/network/netns_hosts)";
        return false;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* found = nullptr;
    if (getaddrinfo(IP_LOOKUP_HOST, "80", &hints, &found) != 0 || !found) {
        why = "the service's name does not resolve here";
        return false;
    }
    const auto* address = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    const bool loopback = ntohl(address->sin_addr.s_addr) == INADDR_LOOPBACK;
    freeaddrinfo(found);
    if (!loopback) why = "the service's name does not resolve to 127.0.0.1 (hosts file missing)";
    return loopback;
}

TEST(IpGeolocationNetNs, TheRealRequestReachesTheLocalServerAndFailuresKeepTheLastGoodRecord) {
    WSADATA data;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
    std::string why;
    ASSERT_TRUE(inside_test_network(why)) << why;
    net_test_reset();
    LoopbackHttpServer server;
    ASSERT_TRUE(server.start()) << "cannot listen on 127.0.0.1:80";

    server.script({http_reply("200 OK", SUCCESS)});
    IPLocaleInfo record;
    ASSERT_EQ(ip_geolocation_lookup(L"", record), 1);
    EXPECT_EQ(record.query, L"192.0.2.44");
    EXPECT_EQ(record.As, L"AS64511 Test");
    EXPECT_EQ(coordinate_text(record.lat), L"-33.8688");
    auto requests = server.seen();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0], "GET " + ip_lookup_url("", L"").substr(7) + " HTTP/1.1");
    const std::wstring time = shared_text(IP_LOOKUP_TIME_TEXT);
    EXPECT_FALSE(time.empty());

    // A failure reply, a body beyond the cap and a redirect loop: 0, and the record stays as it was.
    const std::string huge(IP_LOOKUP_MAX_BODY + 4096, ' ');
    const std::vector<std::vector<std::string>> failures = {
        {http_reply("200 OK", R"({"status":"fail","message":"reserved range","query":"192.0.2.44"})")},
        {http_reply("200 OK", std::string(R"({"status":"success","query":"1.1.1.1","pad":")") + huge + "\"}")},
        {http_reply("302 Found", "", "Location: http://ip-api.com/json/loop\r\n")},
    };
    for (const auto& script : failures) {
        server.script(script);
        EXPECT_EQ(ip_geolocation_lookup(L"", record), 0) << script.front().substr(0, 20);
        EXPECT_EQ(record.query, L"192.0.2.44");
        EXPECT_EQ(record.country, L"Testland");
    }
    requests = server.seen();
    EXPECT_LE(requests.size(), static_cast<std::size_t>(IP_LOOKUP_MAX_REDIRECTS + 1));  // the loop was cut
    EXPECT_EQ(shared_text(IP_LOOKUP_TIME_TEXT), time);
    WSACleanup();
}

}  // namespace
