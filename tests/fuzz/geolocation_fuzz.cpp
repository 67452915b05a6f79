// The geolocation service's reply: any body through ip_locale_accept as the lookup hands it over, and the rows the
// adapter list shows of what it took.
//
// Properties: a body that is not one JSON object, or nested deeper than a store may be, is refused and the record
// keeps the last good lookup; only a "success" status is taken; the record taken, written as a reply and read again,
// is the same record; the rows stay within the lookup block's count.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "network/ip_geolocation.h"
#include "runtime/json_store.h"
#include "runtime/text.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// The deepest nesting of a JSON text, as the library's own event parser sees it; -1 when it is not JSON.
class DepthCounter : public nlohmann::json_sax<nlohmann::json> {
public:
    int Depth = 0;
    int Deepest = 0;

    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t&) override { return true; }
    bool string(string_t&) override { return true; }
    bool binary(binary_t&) override { return true; }
    bool start_object(std::size_t) override { return open(); }
    bool key(string_t&) override { return true; }
    bool end_object() override { return close(); }
    bool start_array(std::size_t) override { return open(); }
    bool end_array() override { return close(); }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override { return false; }

private:
    bool open() {
        Deepest = std::max(Deepest, ++Depth);
        return true;
    }
    bool close() {
        --Depth;
        return true;
    }
};

int json_depth(std::string_view body) {
    DepthCounter counter;
    return nlohmann::json::sax_parse(body.begin(), body.end(), &counter, nlohmann::detail::input_format_t::json, false)
               ? counter.Deepest
               : -1;
}

bool same_record(const IPLocaleInfo& a, const IPLocaleInfo& b) {
    return a.query == b.query && a.status == b.status && a.continent == b.continent &&
           a.continentCode == b.continentCode && a.country == b.country && a.countryCode == b.countryCode &&
           a.region == b.region && a.regionName == b.regionName && a.city == b.city && a.district == b.district &&
           a.zip == b.zip && a.lat == b.lat && a.lon == b.lon && a.timezone == b.timezone && a.offset == b.offset &&
           a.currency == b.currency && a.isp == b.isp && a.org == b.org && a.As == b.As && a.asname == b.asname &&
           a.reverse == b.reverse;
}

// The record as the service would send it.
std::string reply_of(const IPLocaleInfo& record) {
    nlohmann::json reply = nlohmann::json::object();
    const std::pair<const char*, const std::wstring*> texts[] = {{"query", &record.query},
                                                                 {"status", &record.status},
                                                                 {"continent", &record.continent},
                                                                 {"continentCode", &record.continentCode},
                                                                 {"country", &record.country},
                                                                 {"countryCode", &record.countryCode},
                                                                 {"region", &record.region},
                                                                 {"regionName", &record.regionName},
                                                                 {"city", &record.city},
                                                                 {"district", &record.district},
                                                                 {"zip", &record.zip},
                                                                 {"timezone", &record.timezone},
                                                                 {"currency", &record.currency},
                                                                 {"isp", &record.isp},
                                                                 {"org", &record.org},
                                                                 {"as", &record.As},
                                                                 {"asname", &record.asname},
                                                                 {"reverse", &record.reverse}};
    for (const auto& [name, text] : texts) reply[name] = utf8_from_wide(*text);
    reply["lat"] = static_cast<double>(record.lat);
    reply["lon"] = static_cast<double>(record.lon);
    reply["offset"] = record.offset;
    return reply.dump();
}

IPLocaleInfo last_good() {
    IPLocaleInfo record;
    record.query = L"192.0.2.1";
    record.status = L"success";
    record.city = L"the last good lookup";
    record.lat = 1.5f;
    return record;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    fuzz_program_reset();

    IPLocaleInfo parsed;
    const bool read = ip_locale_parse(body, parsed);
    const int depth = json_depth(body);
    if (depth > JSON_STORE_MAX_DEPTH) fuzz_require(!read, "a reply nested deeper than a store may be is refused");
    if (depth < 0) fuzz_require(!read, "a reply that is not JSON is refused");

    IPLocaleInfo record = last_good();
    const int32_t taken = ip_locale_accept(body, record);
    if (!read || parsed.status != L"success") {
        fuzz_require(taken == 0 && same_record(record, last_good()), "a refused reply keeps the last good lookup");
        fuzz_require(shared_text(IP_LOOKUP_TIME_TEXT).empty(), "a refused reply sets no lookup time");
        return 0;
    }
    fuzz_require(taken == 1 && same_record(record, parsed), "a successful reply is taken");
    fuzz_require(!shared_text(IP_LOOKUP_TIME_TEXT).empty(), "a taken reply sets the lookup time");

    IPLocaleInfo again;
    fuzz_require(ip_locale_parse(reply_of(record), again), "the record written as a reply reads");
    fuzz_require(same_record(again, record), "the record written as a reply reads as the same record");

    // The block: a blank row, its title and at most sixteen rows of facts.
    fuzz_require(ip_lookup_rows(record).size() <= 18, "the lookup block has at most 18 rows");
    return 0;
}
