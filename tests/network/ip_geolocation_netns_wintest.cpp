// The geolocation lookup's real path (name resolution, libcurl, the reply) against a server of the test's
// own on 127.0.0.1:80, inside a network namespace whose hosts file maps the service's name to loopback:
// nothing leaves the machine. Run through tools/netns-run.sh with tests/network/netns_hosts.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net_fake_platform.h"
#include "network/ip_geolocation.h"
#include "network/test_network_win.h"
#include "runtime/loopback_http_server.h"

namespace {

constexpr char SUCCESS[] = R"({"status":"success","country":"Testland","countryCode":"TL","city":"Loopback",)"
                           R"("lat":-33.8688,"lon":151.2093,"offset":36000,"as":"AS64511 Test","query":"192.0.2.44"})";

TEST(IpGeolocationNetNs, TheRealRequestReachesTheLocalServerAndFailuresKeepTheLastGoodRecord) {
    WSADATA data;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
    std::string why;
    ASSERT_TRUE(inside_test_network(why)) << why;
    net_test_reset();
    LoopbackHttpServer server(80);
    ASSERT_TRUE(server.started()) << "cannot listen on 127.0.0.1:80";

    server.script({loopback_reply(200, "OK", "", SUCCESS)});
    IPLocaleInfo record;
    ASSERT_EQ(ip_geolocation_lookup(L"", record), 1);
    EXPECT_EQ(record.query, L"192.0.2.44");
    EXPECT_EQ(record.As, L"AS64511 Test");
    EXPECT_EQ(coordinate_text(record.lat), L"-33.8688");
    ASSERT_EQ(server.request_count(), 1);
    const std::string head = server.last_request();
    EXPECT_EQ(head.substr(0, head.find("\r\n")), "GET " + ip_lookup_url("", L"").substr(7) + " HTTP/1.1");
    const std::wstring time = shared_text(IP_LOOKUP_TIME_TEXT);
    EXPECT_FALSE(time.empty());

    // A failure reply, a body beyond the cap and a redirect loop: 0, and the record stays as it was.
    const std::string huge(IP_LOOKUP_MAX_BODY + 4096, ' ');
    const std::vector<std::vector<std::string>> failures = {
        {loopback_reply(200, "OK", "", R"({"status":"fail","message":"reserved range","query":"192.0.2.44"})")},
        {loopback_reply(200, "OK", "", std::string(R"({"status":"success","query":"1.1.1.1","pad":")") + huge + "\"}")},
        {loopback_reply(302, "Found", "Location: http://ip-api.com/json/loop\r\n", "")},
    };
    int before_last = 0;  // requests before the last script, the redirect loop
    for (const auto& script : failures) {
        before_last = server.request_count();
        server.script(script);
        EXPECT_EQ(ip_geolocation_lookup(L"", record), 0) << script.front().substr(0, 20);
        EXPECT_EQ(record.query, L"192.0.2.44");
        EXPECT_EQ(record.country, L"Testland");
    }
    EXPECT_LE(server.request_count() - before_last, IP_LOOKUP_MAX_REDIRECTS + 1);  // the loop was cut
    EXPECT_EQ(shared_text(IP_LOOKUP_TIME_TEXT), time);
    WSACleanup();
}

}  // namespace
