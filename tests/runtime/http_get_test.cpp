// Tests of the HTTP GET front end against a loopback server: decoding, redirects, limits, cancel, proxies.
#include "runtime/http_get.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cwctype>
#include <optional>
#include <string>
#include <thread>

#include "runtime/loopback_http_server.h"
#include "runtime/wait_until.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

bool mentions(const std::wstring& error, std::wstring_view word) {
    std::wstring lower = error;
    for (wchar_t& c : lower) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return lower.find(word) != std::wstring::npos;
}

void set_environment(const std::string& name, const std::string& value) {
#ifdef _WIN32
    _putenv_s(name.c_str(), value.c_str());
#else
    setenv(name.c_str(), value.c_str(), 1);
#endif
}

void clear_environment(const std::string& name) {
#ifdef _WIN32
    _putenv_s(name.c_str(), "");  // an empty value removes the variable
#else
    unsetenv(name.c_str());
#endif
}

// Sets an environment variable for one scope and puts the old state back.
struct EnvironmentOverride {
    std::string name;
    std::optional<std::string> previous;

    EnvironmentOverride(std::string variable, const std::string& value) : name(std::move(variable)) {
        if (const char* old = std::getenv(name.c_str())) previous = old;
        set_environment(name, value);
    }
    ~EnvironmentOverride() {
        if (previous) {
            set_environment(name, *previous);
        } else {
            clear_environment(name);
        }
    }
};

class HttpGet : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(http_global_init());
        ASSERT_TRUE(server.started());
    }
    LoopbackHttpServer server;
};

TEST_F(HttpGet, PlainBodyStatusAndHeadersAreCollected) {
    HttpResponse response;
    ASSERT_TRUE(http_get(server.url("/plain"), response)) << std::string(response.error.begin(), response.error.end());
    EXPECT_EQ(response.status, 200);
    EXPECT_EQ(response.body, LOOPBACK_PLAIN_BODY);
    EXPECT_TRUE(response.error.empty());
    EXPECT_EQ(response.headers.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << response.headers;
    EXPECT_NE(response.headers.find("X-Loopback-Route: plain\r\n"), std::string::npos) << response.headers;

    const std::string request = server.last_request();
    EXPECT_EQ(request.rfind("GET /plain HTTP/1.1\r\n", 0), 0u) << request;
    EXPECT_NE(request.find("\r\nUser-Agent: Mozilla/5.0 Gecko/41.0 Firefox/41.0\r\n"), std::string::npos) << request;
    EXPECT_NE(request.find("\r\nAccept-Encoding: gzip\r\n"), std::string::npos) << request;
}

TEST_F(HttpGet, ErrorStatusIsAResponseNotAFailure) {
    HttpResponse response;
    ASSERT_TRUE(http_get(server.url("/no-such-route"), response));
    EXPECT_EQ(response.status, 404);
    EXPECT_EQ(response.body, "no such route\n");
}

TEST_F(HttpGet, GzipBodyIsDecoded) {
    HttpResponse response;
    ASSERT_TRUE(http_get(server.url("/gzip"), response));
    EXPECT_EQ(response.status, 200);
    EXPECT_EQ(response.body, loopback_gzip_text());
}

TEST_F(HttpGet, RedirectIsFollowedAndOnlyTheFinalHeadersAreKept) {
    HttpResponse response;
    ASSERT_TRUE(http_get(server.url("/redirect"), response));
    EXPECT_EQ(response.status, 200);
    EXPECT_EQ(response.body, LOOPBACK_PLAIN_BODY);
    EXPECT_EQ(response.headers.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << response.headers;
    EXPECT_EQ(response.headers.find("Location:"), std::string::npos) << response.headers;
    EXPECT_EQ(server.request_count(), 2);
    EXPECT_EQ(server.last_request().rfind("GET /plain ", 0), 0u);
}

TEST_F(HttpGet, LimitsFailClearlyAndLeaveNoBody) {
    const size_t plain_bytes = LOOPBACK_PLAIN_BODY.size();
    const size_t gzip_bytes = loopback_gzip_text().size();
    ASSERT_LT(loopback_gzip_wire_bytes(), 1000u);
    ASSERT_GT(gzip_bytes, 1000u);
    struct Case {
        const char* path;
        size_t max_body_bytes;
        int max_redirects;
        bool succeeds;
        const wchar_t* error_word;
    };
    const Case cases[] = {
        {"/plain", plain_bytes, 10, true, L""},
        {"/plain", plain_bytes - 1, 10, false, L"larger than"},
        {"/big", size_t{1} << 20, 10, false, L"larger than 1048576 bytes"},
        // The cap counts decoded bytes: the compressed reply fits, its decoded form does not.
        {"/gzip", gzip_bytes, 10, true, L""},
        {"/gzip", 1000, 10, false, L"larger than"},
        {"/loop", size_t{1} << 20, 10, false, L"redirect"},
        {"/redirect", size_t{1} << 20, 0, false, L"redirect"},
        {"/redirect", size_t{1} << 20, -1, false, L"redirect"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(std::string(test.path) + " cap " + std::to_string(test.max_body_bytes) + " redirects " +
                     std::to_string(test.max_redirects));
        HttpOptions options;
        options.max_body_bytes = test.max_body_bytes;
        options.max_redirects = test.max_redirects;
        HttpResponse response;
        // The error names what ended the request: the cap or the redirects, not a time limit.
        EXPECT_EQ(http_get(server.url(test.path), response, options), test.succeeds);
        if (test.succeeds) {
            EXPECT_EQ(response.body.size(), test.max_body_bytes);
            EXPECT_TRUE(response.error.empty());
        } else {
            EXPECT_TRUE(response.body.empty());
            EXPECT_TRUE(mentions(response.error, test.error_word))
                << std::string(response.error.begin(), response.error.end());
        }
    }
}

TEST_F(HttpGet, CancelFromAnotherThreadEndsAWaitForASilentServer) {
    std::atomic<int32_t> quit{0};
    HttpOptions options;
    options.cancel = &quit;
    options.total_timeout_ms = 10000;  // a cancel that is never seen fails the test instead of stalling it
    // The cancel comes once the server holds the request, so the transfer is under way when it arrives.
    std::atomic<bool> request_seen{false};
    std::thread canceller([this, &quit, &request_seen] {
        request_seen = wait_until([this] { return server.request_count() >= 1; });
        quit.store(1);
    });
    HttpResponse response;
    const bool ok = http_get(server.url("/hang"), response, options);
    canceller.join();
    EXPECT_TRUE(request_seen.load()) << "the request did not reach the server";
    EXPECT_FALSE(ok);
    // libcurl looks at the flag about once a second while the connection is idle; the error says whether the
    // cancel or the overall limit ended the wait.
    EXPECT_TRUE(mentions(response.error, L"cancel")) << std::string(response.error.begin(), response.error.end());
    EXPECT_TRUE(response.body.empty());
}

TEST_F(HttpGet, OverallLimitEndsAWaitForASilentServer) {
    std::atomic<int32_t> quit{0};
    HttpOptions options;
    options.cancel = &quit;
    options.total_timeout_ms = 1000;
    HttpResponse response;
    const auto start = Clock::now();
    EXPECT_FALSE(http_get(server.url("/hang"), response, options));
    const double elapsed = seconds_since(start);
    EXPECT_GE(elapsed, 0.9);
    EXPECT_LT(elapsed, 5.0);
    EXPECT_TRUE(mentions(response.error, L"timed out")) << std::string(response.error.begin(), response.error.end());
    EXPECT_EQ(server.request_count(), 1);
}

TEST_F(HttpGet, CancelFlagCountsAsSetOnlyAboveZero) {
    for (const int32_t value : {0, -1, 1}) {
        SCOPED_TRACE(value);
        std::atomic<int32_t> quit{value};
        HttpOptions options;
        options.cancel = &quit;
        HttpResponse response;
        const int requests_before = server.request_count();
        const bool ok = http_get(server.url("/plain"), response, options);
        if (value > 0) {
            // Already quitting: no request goes out at all.
            EXPECT_FALSE(ok);
            EXPECT_TRUE(mentions(response.error, L"cancel"));
            EXPECT_EQ(server.request_count(), requests_before);
        } else {
            EXPECT_TRUE(ok);
            EXPECT_EQ(response.body, LOOPBACK_PLAIN_BODY);
        }
    }
}

TEST_F(HttpGet, RefusedConnectionFailsClearly) {
    const uint16_t port = loopback_closed_port();
    ASSERT_NE(port, 0);
    HttpResponse response;
    EXPECT_FALSE(http_get("http://127.0.0.1:" + std::to_string(port) + "/plain", response));
    EXPECT_EQ(response.status, 0);
    EXPECT_TRUE(response.body.empty());
    EXPECT_TRUE(mentions(response.error, L"connect")) << std::string(response.error.begin(), response.error.end());
}

TEST_F(HttpGet, UnusableUrlsFailWithoutCrashing) {
    const std::string cases[] = {
        "",
        "file:///etc/hostname",  // only HTTP may be fetched
        std::string("http://127.0.0.1/\0tail", 22),
    };
    for (const std::string& url : cases) {
        SCOPED_TRACE(url);
        HttpResponse response;
        EXPECT_FALSE(http_get(url, response));
        EXPECT_FALSE(response.error.empty());
        EXPECT_TRUE(response.body.empty());
    }
}

TEST_F(HttpGet, ProxyFromTheEnvironmentIsIgnored) {
    // Nothing listens on the discard port: a request sent through this proxy would fail.
    const std::string dead_proxy = "http://127.0.0.1:9";
    EnvironmentOverride http_proxy("http_proxy", dead_proxy);
    EnvironmentOverride all_proxy("ALL_PROXY", dead_proxy);
    EnvironmentOverride no_proxy("no_proxy", "");
    HttpResponse response;
    ASSERT_TRUE(http_get(server.url("/plain"), response)) << std::string(response.error.begin(), response.error.end());
    EXPECT_EQ(response.body, LOOPBACK_PLAIN_BODY);
    EXPECT_EQ(server.request_count(), 1);
}

}  // namespace
