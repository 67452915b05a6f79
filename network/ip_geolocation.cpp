// The IP geolocation lookup over the HTTP front end, its JSON reply and the rows the adapter list shows.
#include "network/ip_geolocation.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>

#include "core/control_numbers.h"
#include "core/event_lists.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "network/adapter_scan.h"
#include "runtime/date.h"
#include "runtime/http_get.h"
#include "runtime/json_store.h"
#include "runtime/text.h"

IPLocaleInfo IpLocale;

namespace {

constexpr char FIELDS[] =
    "status,message,continent,continentCode,country,countryCode,region,regionName,city,district,zip,lat,lon,"
    "timezone,offset,currency,isp,org,as,asname,reverse,query";

void text_member(const nlohmann::json& value, std::wstring& target) {
    if (value.is_string()) target = wide_from_utf8(value.get_ref<const std::string&>());
}

// A number a float can hold; a larger one (converting it would be undefined) is no coordinate and stays 0.
void float_member(const nlohmann::json& value, float& target) {
    if (!value.is_number()) return;
    const double number = value.get<double>();
    if (std::isfinite(number) && std::fabs(number) <= std::numeric_limits<float>::max()) {
        target = static_cast<float>(number);
    }
}

// A whole number of the signed 64-bit range; a larger unsigned one would wrap, so it stays 0.
void integer_member(const nlohmann::json& value, int64_t& target) {
    if (value.is_number_integer() && (!value.is_number_unsigned() || value.get<uint64_t>() <= INT64_MAX)) {
        target = value.get<int64_t>();
    }
}

}  // namespace

std::string ip_lookup_url(std::string_view host, std::wstring_view address) {
    return "http://" + std::string(host) + "/json/" + utf8_from_wide(address) + "?fields=" + FIELDS;
}

bool ip_locale_parse(std::string_view body, IPLocaleInfo& record) {
    if (body.size() > IP_LOOKUP_MAX_BODY) return false;
    // The stores' parse: nesting beyond JSON_STORE_MAX_DEPTH is refused before the library sees it.
    nlohmann::json root;
    std::wstring error;
    if (!json_parse_text(body, root, error) || !root.is_object()) return false;
    IPLocaleInfo fresh;
    for (const auto& [key, value] : root.items()) {
        const std::wstring name = text_lower_ascii(wide_from_utf8(key));
        if (name == L"query")
            text_member(value, fresh.query);
        else if (name == L"status")
            text_member(value, fresh.status);
        else if (name == L"continent")
            text_member(value, fresh.continent);
        else if (name == L"continentcode")
            text_member(value, fresh.continentCode);
        else if (name == L"country")
            text_member(value, fresh.country);
        else if (name == L"countrycode")
            text_member(value, fresh.countryCode);
        else if (name == L"region")
            text_member(value, fresh.region);
        else if (name == L"regionname")
            text_member(value, fresh.regionName);
        else if (name == L"city")
            text_member(value, fresh.city);
        else if (name == L"district")
            text_member(value, fresh.district);
        else if (name == L"zip")
            text_member(value, fresh.zip);
        else if (name == L"lat")
            float_member(value, fresh.lat);
        else if (name == L"lon")
            float_member(value, fresh.lon);
        else if (name == L"timezone")
            text_member(value, fresh.timezone);
        else if (name == L"offset")
            integer_member(value, fresh.offset);
        else if (name == L"currency")
            text_member(value, fresh.currency);
        else if (name == L"isp")
            text_member(value, fresh.isp);
        else if (name == L"org")
            text_member(value, fresh.org);
        else if (name == L"as")
            text_member(value, fresh.As);
        else if (name == L"asname")
            text_member(value, fresh.asname);
        else if (name == L"reverse")
            text_member(value, fresh.reverse);
    }
    record = std::move(fresh);
    return true;
}

int32_t ip_geolocation_lookup_at(std::string_view host, std::wstring_view address, IPLocaleInfo& record) {
    HttpOptions options;
    options.cancel = &SharedInts[QUIT_FLAG];
    options.connect_timeout_ms = IP_LOOKUP_CONNECT_MS;
    options.total_timeout_ms = IP_LOOKUP_TOTAL_MS;
    options.max_body_bytes = IP_LOOKUP_MAX_BODY;
    options.max_redirects = IP_LOOKUP_MAX_REDIRECTS;
    HttpResponse response;
    if (!http_get(ip_lookup_url(host, address), response, options)) return 0;
    return ip_locale_accept(response.body, record);
}

int32_t ip_locale_accept(std::string_view body, IPLocaleInfo& record) {
    IPLocaleInfo reply;
    if (!ip_locale_parse(body, reply) || reply.status != L"success") return 0;
    record = std::move(reply);
    shared_text_set(IP_LOOKUP_TIME_TEXT, date_format(L": %yyyy-%mm-%dd %hh:%ii:%ss", date_now()));
    return 1;
}

int32_t ip_geolocation_lookup(std::wstring_view address, IPLocaleInfo& record) {
    return ip_geolocation_lookup_at(IP_LOOKUP_HOST, address, record);
}

std::wstring coordinate_text(float degrees) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, degrees, std::chars_format::fixed);
    if (result.ec != std::errc()) return L"0";
    return wide_from_utf8(std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
}

std::vector<std::wstring> ip_lookup_rows(const IPLocaleInfo& record) {
    std::vector<std::wstring> rows;
    const std::wstring time = shared_text(IP_LOOKUP_TIME_TEXT);
    if (time.empty()) return rows;
    const auto add = [&rows](std::wstring_view name, std::wstring_view value) {
        std::wstring row;
        if (adapter_info_row_text(name, value, row)) rows.push_back(std::move(row));
    };
    const auto pair = [](const std::wstring& name, const std::wstring& code) {
        return name.empty() && code.empty() ? std::wstring() : name + L"(" + code + L")";
    };
    const auto named = [&add](std::wstring_view prefix, const std::wstring& value) {
        if (!value.empty()) add(std::wstring(prefix) + value, L"blank");
    };
    add(L"", L"");
    add(L"-- " + tr(L"IP Lookup") + L" [F6]" + time, L"blank");
    if (!record.query.empty() && record.query != shared_text(EXTERNAL_IP_TEXT)) {
        shared_text_set(EXTERNAL_IP_TEXT, record.query);
        event_line_add(LIST_NETWORK_EVENTS, tr(L"External IP") + L": " + record.query);
    }
    add(tr(L"External IP"), record.query);
    add(tr(L"Continent"), pair(record.continent, record.continentCode));
    add(tr(L"Country"), pair(record.country, record.countryCode));
    add(tr(L"Region"), pair(record.regionName, record.region));
    add(tr(L"District"), record.district);
    add(tr(L"City"), record.city);
    add(tr(L"Zip Code"), record.zip);
    add(tr(L"Latitude"), coordinate_text(record.lat));
    add(tr(L"Longitude"), coordinate_text(record.lon));
    add(tr(L"Time Zone"), record.timezone);
    add(tr(L"Time Offset"), std::to_wstring(record.offset) + L" " + tr(L"Seconds"));
    named(L"DNS: ", record.reverse);
    named(L"AS1: ", record.As);
    named(L"AS2: ", record.asname);
    named(L"ORG: ", record.org);
    named(L"ISP: ", record.isp);
    return rows;
}
