// The geolocation reply: a whole record, member names in any case, a failure reply, a cut or huge body, members
// of the wrong type, the request's address, and the rows with coordinates free of float noise.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "net_fake_platform.h"
#include "network/ip_geolocation.h"
#include "runtime/json_store.h"

namespace {

constexpr char SUCCESS[] = R"({"status":"success","continent":"Europe","continentCode":"EU","country":"Germany",
"countryCode":"DE","region":"BE","regionName":"Berlin","city":"Berlin","zip":"10115","lat":52.52,"lon":13.405,
"timezone":"Europe/Berlin","offset":3600,"currency":"EUR","isp":"Example ISP","org":"Example Org",
"AS":"AS64500 Example","asname":"EXAMPLE-AS","reverse":"host.example.net","query":"198.51.100.7"})";

bool has_row(const std::vector<std::wstring>& rows, const std::wstring& row) {
    return std::find(rows.begin(), rows.end(), row) != rows.end();
}

TEST(IpGeolocation, ASuccessReplyFillsTheRecordWhateverTheCaseOfItsNames) {
    net_test_reset();
    IPLocaleInfo record;
    ASSERT_EQ(ip_locale_accept(SUCCESS, record), 1);
    EXPECT_EQ(record.query, L"198.51.100.7");
    EXPECT_EQ(record.As, L"AS64500 Example");
    EXPECT_EQ(record.regionName, L"Berlin");
    EXPECT_EQ(record.offset, 3600);
    EXPECT_FLOAT_EQ(record.lat, 52.52f);
    EXPECT_TRUE(record.district.empty());
    EXPECT_EQ(shared_text(IP_LOOKUP_TIME_TEXT).substr(0, 2), L": ");

    const auto rows = ip_lookup_rows(record);
    EXPECT_TRUE(has_row(rows, L"Latitude          52.52"));
    EXPECT_TRUE(has_row(rows, L"Longitude         13.405"));
    EXPECT_TRUE(has_row(rows, L"Country           Germany(DE)"));
    EXPECT_TRUE(has_row(rows, L"Time Offset       3600 Seconds"));
    EXPECT_TRUE(has_row(rows, L"AS1: AS64500 Example"));
    EXPECT_TRUE(
        std::none_of(rows.begin(), rows.end(), [](const std::wstring& row) { return row.find(L"District") == 0; }));
    EXPECT_EQ(shared_text(EXTERNAL_IP_TEXT), L"198.51.100.7");
    EXPECT_EQ(net_event_texts().front(), L"External IP: 198.51.100.7");
}

TEST(IpGeolocation, FailedCutHugeOrMistypedRepliesNeverWipeTheLastGoodRecord) {
    net_test_reset();
    IPLocaleInfo record;
    ASSERT_EQ(ip_locale_accept(SUCCESS, record), 1);
    const std::wstring time = shared_text(IP_LOOKUP_TIME_TEXT);
    const std::string huge = R"({"status":"success","query":")" + std::string(IP_LOOKUP_MAX_BODY, '9') + R"("})";
    const std::string replies[] = {
        R"({"status":"fail","message":"private range","query":"10.0.0.1"})",
        R"({"status":"success","query":"203.0.113.9")",  // cut off
        huge,
        "",
        "[1,2,3]",
        "<html>busy</html>",
    };
    for (const auto& reply : replies) {
        EXPECT_EQ(ip_locale_accept(reply, record), 0) << reply.substr(0, 40);
        EXPECT_EQ(record.query, L"198.51.100.7");
        EXPECT_EQ(record.city, L"Berlin");
    }
    EXPECT_EQ(shared_text(IP_LOOKUP_TIME_TEXT), time);

    // Members of another type stay empty or 0; the rest of the record is read.
    IPLocaleInfo mistyped;
    ASSERT_TRUE(ip_locale_parse(R"({"status":"success","lat":"north","offset":1.5,"city":7,"zip":"X1"})", mistyped));
    EXPECT_EQ(mistyped.lat, 0.0f);
    EXPECT_EQ(mistyped.offset, 0);
    EXPECT_TRUE(mistyped.city.empty());
    EXPECT_EQ(mistyped.zip, L"X1");
}

// A reply is held to the stores' nesting limit: the object and its members together JSON_STORE_MAX_DEPTH levels deep
// are read, one level more is refused and the last good record stays.
TEST(IpGeolocation, ReplyNestedDeeperThanTheStoresIsRefused) {
    net_test_reset();
    const auto nested = [](int depth) {
        return R"({"status":"success","query":"192.0.2.44","x":)" + std::string(depth - 1, '[') +
               std::string(depth - 1, ']') + "}";
    };
    IPLocaleInfo record;
    ASSERT_EQ(ip_locale_accept(nested(JSON_STORE_MAX_DEPTH), record), 1);
    EXPECT_EQ(record.query, L"192.0.2.44");
    ASSERT_EQ(ip_locale_accept(SUCCESS, record), 1);
    for (const int depth : {JSON_STORE_MAX_DEPTH + 1, 100000}) {
        SCOPED_TRACE(depth);
        EXPECT_EQ(ip_locale_accept(nested(depth), record), 0);
        EXPECT_EQ(record.query, L"198.51.100.7");
    }
}

// Numbers the record's members cannot hold stay 0: a coordinate beyond a float's range (its conversion would be
// undefined) and an offset beyond the signed 64-bit range (it would wrap to another number).
TEST(IpGeolocation, NumbersBeyondTheMembersRangeStayZero) {
    struct Case {
        const char* members;
        float lat;
        float lon;
        int64_t offset;
    };
    const Case cases[] = {
        {R"("lat":1e300,"lon":-3.5e38,"offset":18446744073709551615)", 0.0f, 0.0f, 0},
        {R"("lat":3.4e38,"lon":-90,"offset":9223372036854775807)", 3.4e38f, -90.0f, INT64_MAX},
        {R"("lat":-1e-300,"lon":180.0,"offset":-9223372036854775808)", -0.0f, 180.0f, INT64_MIN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.members);
        IPLocaleInfo record;
        ASSERT_TRUE(ip_locale_parse(std::string(R"({"status":"success",)") + c.members + "}", record));
        EXPECT_EQ(record.lat, c.lat);
        EXPECT_EQ(record.lon, c.lon);
        EXPECT_EQ(record.offset, c.offset);
    }
}

TEST(IpGeolocation, CoordinatesShowTheirShortestDecimalsAndTheUrlAsksForEveryMember) {
    struct Case {
        float value;
        const wchar_t* text;
    };
    const Case cases[] = {{52.52f, L"52.52"}, {-33.8688f, L"-33.8688"}, {0.1f, L"0.1"}, {13.0f, L"13"}, {0.0f, L"0"}};
    for (const auto& c : cases) EXPECT_EQ(coordinate_text(c.value), c.text);
    EXPECT_EQ(ip_lookup_url("ip-api.com", L""),
              "http://ip-api.com/json/?fields=status,message,continent,continentCode,country,countryCode,region,"
              "regionName,city,district,zip,lat,lon,timezone,offset,currency,isp,org,as,asname,reverse,query");
    EXPECT_EQ(ip_lookup_url("ip-api.com", L"192.0.2.1").substr(0, 32), "http://ip-api.com/json/192.0.2.1");
}

TEST(IpGeolocation, TheScanRunsTheLookupWhenAskedAndKeepsTheRowsOfTheLastSuccess) {
    net_test_reset();
    FakeInfos = {fake_info(7, L"Wired", L"10.0.0.5")};
    FakeIndexes = {7};
    FakeRows[7] = fake_row(7, L"Wired", 7, 5000, 3000);
    ASSERT_EQ(ip_locale_parse(SUCCESS, FakeLookupReply), true);
    adapter_scan_apply(fake_net_platform());
    EXPECT_EQ(FakeLookups, 1);
    EXPECT_EQ(list_row(LIST_NETWORK_ADAPTERS, 1), L"-- IP Lookup [F6]: 2026-01-02 03:04:05");
    // F6 asks again; this time the service fails, and the rows of the last success stay.
    FakeLookupReply.status = L"fail";
    SharedInts[IP_LOOKUP_REQUEST] = 1;
    adapter_scan_apply(fake_net_platform());
    EXPECT_EQ(FakeLookups, 2);
    EXPECT_EQ(list_row(LIST_NETWORK_ADAPTERS, 2), L"External IP       198.51.100.7");
}

}  // namespace
