// The real Sotrix.exe's geolocation lookup end to end, in a network of its own (tools/netns-run.sh with
// tests/network/netns_hosts, which maps the service's name to 127.0.0.1): our server on 127.0.0.1:80 answers
// the program's request, and the Networks tab's adapter list shows the reply's block, or no block after a
// failed lookup.
#include <windows.h>

#include <gtest/gtest.h>

#include "integration/program_support.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "core/control_numbers.h"
#include "network/test_network_win.h"
#include "runtime/loopback_http_server.h"

namespace {

// What the service is asked: its JSON path for the caller's own address and every member the record keeps.
constexpr char REQUEST_LINE[] =
    "GET /json/?fields=status,message,continent,continentCode,country,countryCode,region,regionName,city,district,"
    "zip,lat,lon,timezone,offset,currency,isp,org,as,asname,reverse,query HTTP/1.1\r\n";

// A reply without a district; the coordinates are exact in binary, so their texts have no rounding to settle.
constexpr char SUCCESS[] =
    R"({"status":"success","continent":"Oceania","continentCode":"OC","country":"Testland","countryCode":"TL",)"
    R"("region":"QK","regionName":"Quokka Reach","city":"Wombat Springs","zip":"6099","lat":-31.5,"lon":115.875,)"
    R"("timezone":"Australia/Perth","offset":28800,"currency":"AUD","isp":"Loopback Fibre Pty",)"
    R"("org":"Sotrix Test Org","as":"AS64500 Loopback Transit","asname":"LOOPBACK-TRANSIT",)"
    R"("reverse":"host-44.loopback.test","query":"192.0.2.44"})";

constexpr char FAILURE[] = R"({"status":"fail","message":"private range","query":"192.0.2.45"})";

constexpr wchar_t LOOKUP_HEADER[] = L"-- IP Lookup [F6]: ";

// A row of the adapter list: the name in a column of 17 characters (16 before a value that starts with "-"),
// a space and the value.
std::wstring R(std::wstring name, const std::wstring& value) {
    name.resize(value.starts_with(L'-') ? 16 : 17, L' ');
    return name + L" " + value;
}

// The rows of SUCCESS's block after its header line, top first.
std::vector<std::wstring> success_block() {
    return {
        R(L"External IP", L"192.0.2.44"),
        R(L"Continent", L"Oceania(OC)"),
        R(L"Country", L"Testland(TL)"),
        R(L"Region", L"Quokka Reach(QK)"),
        R(L"City", L"Wombat Springs"),
        R(L"Zip Code", L"6099"),
        R(L"Latitude", L"-31.5"),
        R(L"Longitude", L"115.875"),
        R(L"Time Zone", L"Australia/Perth"),
        R(L"Time Offset", L"28800 Seconds"),
        L"DNS: host-44.loopback.test",
        L"AS1: AS64500 Loopback Transit",
        L"AS2: LOOPBACK-TRANSIT",
        L"ORG: Sotrix Test Org",
        L"ISP: Loopback Fibre Pty",
    };
}

// The lookup's header line; rows.end() when there is none.
std::vector<std::wstring>::const_iterator lookup_header(const std::vector<std::wstring>& rows) {
    return std::find_if(rows.begin(), rows.end(),
                        [](const std::wstring& row) { return row.starts_with(LOOKUP_HEADER); });
}

// The rows that follow the lookup's header line, as many as SUCCESS's block has; empty without a header.
std::vector<std::wstring> lookup_block(const std::vector<std::wstring>& rows) {
    const auto header = lookup_header(rows);
    if (header == rows.end()) return {};
    const auto count = std::min(rows.end() - header - 1, static_cast<std::ptrdiff_t>(success_block().size()));
    return {header + 1, header + 1 + count};
}

bool lookup_shown(const std::vector<std::wstring>& rows) { return !lookup_block(rows).empty(); }

bool adapters_listed(const std::vector<std::wstring>& rows) {
    return any_row_has(rows, {L"IP Address", L"10.77.0.1"}) && any_row_has(rows, {L"IP Address", L"10.77.0.2"});
}

// Every test asks the one server: port 80 is taken for a while after a server on it ends.
class GeolocationNetNs : public ProgramTest {
protected:
    static void SetUpTestSuite() { server_ = std::make_unique<LoopbackHttpServer>(80); }
    static void TearDownTestSuite() { server_.reset(); }

    void SetUp() override {
        ASSERT_TRUE(server_->started()) << "cannot listen on 127.0.0.1:80";
        std::string why;
        ASSERT_TRUE(inside_test_network(why)) << why;
        ASSERT_TRUE(folder_prepare(L"sotrix-geo-"));
        file_write(folder_ / L"Sotrix.ini", "\n");
    }

    // Starts the program on the Networks tab with the server answering `reply`; the main window and its
    // adapter and event lists.
    void start_networks(const char* reply) {
        server_->script({loopback_reply(200, "OK", "", reply)});
        requests_before_ = server_->request_count();
        Program& program = start(L"norepair networks");
        program_ = &program;
        main_ = wait_for_window(program, WindowKind::MAIN);
        ASSERT_NE(main_, nullptr) << "no main window";
        const std::map<int, HWND> inside = descendants_of(main_);
        adapters_ = inside.at(LIST_NETWORK_ADAPTERS);
        events_ = inside.at(LIST_NETWORK_EVENTS);
    }

    // The request heads the server saw since the program started.
    std::vector<std::string> requests() const {
        const std::vector<std::string> all = server_->requests();
        return {all.begin() + std::min(static_cast<std::size_t>(requests_before_), all.size()), all.end()};
    }

    static inline std::unique_ptr<LoopbackHttpServer> server_;
    int requests_before_ = 0;
    Program* program_ = nullptr;
    HWND main_ = nullptr;
    HWND adapters_ = nullptr;
    HWND events_ = nullptr;
};

TEST_F(GeolocationNetNs, TheStartUpLookupShowsTheReplyInTheAdapterList) {
    ASSERT_NO_FATAL_FAILURE(start_networks(SUCCESS));
    std::vector<std::wstring> rows;
    const bool shown = wait_until(START_MS, [&] {
        rows = list_view_rows(adapters_);
        return lookup_shown(rows);
    });
    ASSERT_TRUE(shown) << "no lookup block; " << requests().size() << " requests; adapter list:" << rows_listing(rows);

    const std::vector<std::string> seen = requests();
    ASSERT_FALSE(seen.empty());
    const std::string& head = seen.front();
    EXPECT_TRUE(head.starts_with(REQUEST_LINE)) << head;
    EXPECT_NE(head.find("\r\nHost: ip-api.com\r\n"), std::string::npos) << head;
    EXPECT_NE(head.find("\r\nUser-Agent: Mozilla/5.0 Gecko/41.0 Firefox/41.0\r\n"), std::string::npos) << head;
    EXPECT_NE(head.find("\r\nAccept-Encoding: gzip\r\n"), std::string::npos) << head;

    // The block stands above the proxy and adapter blocks, after an empty row, and has no District row: the
    // reply has no district.
    EXPECT_EQ(lookup_header(rows) - rows.begin(), 1) << rows_listing(rows);
    EXPECT_EQ(rows.front(), L"") << rows_listing(rows);
    EXPECT_EQ(lookup_block(rows), success_block()) << rows_listing(rows);
    EXPECT_TRUE(adapters_listed(rows)) << rows_listing(rows);

    // A new external address is noted among the network events.
    std::vector<std::wstring> lines;
    const bool noted = wait_until(10000, [&] {
        lines = list_view_rows(events_);
        return any_row_has(lines, {L"External IP: 192.0.2.44"});
    });
    EXPECT_TRUE(noted) << "network events:" << rows_listing(lines);
    EXPECT_TRUE(shut_down(*program_));
}

TEST_F(GeolocationNetNs, AFailedReplyShowsNoBlockUntilF6BringsASuccess) {
    ASSERT_NO_FATAL_FAILURE(start_networks(FAILURE));
    // The scan that asked lists the adapters after the lookup's answer: once both are there, the list shows
    // what the failed lookup left.
    std::vector<std::wstring> rows;
    const bool listed = wait_until(START_MS, [&] {
        rows = list_view_rows(adapters_);
        return !requests().empty() && adapters_listed(rows);
    });
    ASSERT_TRUE(listed) << requests().size() << " requests; adapter list:" << rows_listing(rows);
    EXPECT_FALSE(lookup_shown(rows)) << rows_listing(rows);
    EXPECT_FALSE(any_row_has(rows, {L"External IP"})) << rows_listing(rows);
    EXPECT_FALSE(any_row_has(rows, {L"192.0.2.45"})) << rows_listing(rows);

    // F6 on the Networks tab asks again; now the service answers. The shortcuts exist only once the start-up
    // has ended: press again only when a press went unseen.
    server_->script({loopback_reply(200, "OK", "", SUCCESS)});
    const bool shown = wait_until(START_MS, [&] {
        if (!key_press(main_, VK_F6)) return false;
        return wait_until(8000, [&] {
            rows = list_view_rows(adapters_);
            return lookup_shown(rows);
        });
    });
    ASSERT_TRUE(shown) << requests().size() << " requests; adapter list:" << rows_listing(rows);
    EXPECT_EQ(lookup_block(rows), success_block()) << rows_listing(rows);
    EXPECT_TRUE(shut_down(*program_));
}

}  // namespace
