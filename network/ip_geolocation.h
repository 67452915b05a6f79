// The IP geolocation lookup: the computer's public address and where it is, from a JSON web service.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The reply of the service; member names as the reply names them ("as" is `As`).
struct IPLocaleInfo {
    std::wstring query;   // the address the reply describes
    std::wstring status;  // "success" when the lookup worked
    std::wstring continent, continentCode, country, countryCode, region, regionName, city, district, zip;
    float lat = 0.0f;  // degrees
    float lon = 0.0f;
    std::wstring timezone;
    int64_t offset = 0;  // seconds
    std::wstring currency, isp, org, As, asname, reverse;
};

// The last good record (the one the Networks tab shows); only the scanning thread touches it.
extern IPLocaleInfo IpLocale;

// The service's host; the request is plain HTTP.
inline constexpr char IP_LOOKUP_HOST[] = "ip-api.com";

// Bounds of one lookup: the reply is one small object.
inline constexpr long IP_LOOKUP_CONNECT_MS = 30000;
inline constexpr long IP_LOOKUP_TOTAL_MS = 60000;
inline constexpr std::size_t IP_LOOKUP_MAX_BODY = 64 * 1024;
inline constexpr int IP_LOOKUP_MAX_REDIRECTS = 3;

// "http://" + host + "/json/" + address + "?fields=" + the member list.
std::string ip_lookup_url(std::string_view host, std::wstring_view address);

// Reads a reply body into a fresh record: false when it is larger than IP_LOOKUP_MAX_BODY, not a JSON object, or
// nested deeper than JSON_STORE_MAX_DEPTH. Members are matched without regard to case; a missing member, one of
// another type, and a number the member cannot hold stay empty or 0. Never throws.
bool ip_locale_parse(std::string_view body, IPLocaleInfo& record);

// Takes a reply body: when it is a JSON object whose status is "success", the record takes it, IP_LOOKUP_TIME_TEXT
// the time, and the result is 1; otherwise 0 and the record keeps the last good lookup.
int32_t ip_locale_accept(std::string_view body, IPLocaleInfo& record);

// Asks the service at host about the address (empty: the caller's own). On a reply whose status is
// "success" the record takes it, IP_LOOKUP_TIME_TEXT the time, and the result is 1. On any failure (no
// connection, time-out, too large, too many redirects, not JSON, another status) the result is 0 and the
// record and the time text keep the last good lookup. Gives up when QUIT_FLAG is raised.
int32_t ip_geolocation_lookup_at(std::string_view host, std::wstring_view address, IPLocaleInfo& record);
int32_t ip_geolocation_lookup(std::wstring_view address, IPLocaleInfo& record);

// A coordinate as its shortest exact decimal text: 52.52 rather than 52.5200004578.
std::wstring coordinate_text(float degrees);

// The lookup block of the adapter list, top first; none before the first successful lookup. Notes a new
// external address as an event line and in EXTERNAL_IP_TEXT.
std::vector<std::wstring> ip_lookup_rows(const IPLocaleInfo& record);
