// HTTP GET over libcurl's easy interface: one synchronous request on the calling thread, bounded in time and size.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

struct HttpOptions {
    // Gives up as soon as the pointed value is above 0 (the program passes its quit flag); null = never.
    // Checked before the request starts and then about once a second while the transfer waits.
    const std::atomic<int32_t>* cancel = nullptr;
    long connect_timeout_ms = 30000;
    // Limit on the whole request, redirects included; a value of 0 or below takes the default, so a
    // server that accepts and never answers cannot hold the thread for ever.
    long total_timeout_ms = 120000;
    // Limit on the decoded body (after gzip), so a huge or hostile reply cannot exhaust memory.
    size_t max_body_bytes = size_t{1} << 20;
    int max_redirects = 10;  // below 0 counts as 0 (no redirect followed)
};

struct HttpResponse {
    long status = 0;      // HTTP status of the last response received; 0 when none came
    std::string body;     // decoded body bytes; empty after a failure
    std::string headers;  // header lines of the last response, each ending in "\r\n"
    std::wstring error;   // empty on success, otherwise why the request failed
};

// Initialises libcurl once per process; call it on the main thread at start-up, before any worker
// thread starts. http_get calls it too, so a forgotten call is safe. Returns false when libcurl
// could not be initialised (every http_get then fails).
bool http_global_init();

// The limits a request runs with: the options, with the defaults where a value is 0 or below.
struct HttpLimits {
    long connect_timeout_ms;
    long total_timeout_ms;
    long max_redirects;
};
HttpLimits http_limits_effective(const HttpOptions& options);

// Fetches url with GET, following redirects, and fills response. True when a complete response arrived,
// whatever its status code (the caller checks response.status); false with response.error set on any
// failure (no connection, time-out, cancel, too many redirects, body too large). Never throws.
bool http_get(const std::string& url, HttpResponse& response, const HttpOptions& options = {});
