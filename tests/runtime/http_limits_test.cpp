// The bounds every request has by default: the overall time limit libcurl gets (and that it ends a reply
// which never stops trickling), the cap on the decoded body, the cap on the headers, and no redirect away
// from HTTP.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cwctype>
#include <mutex>
#include <string>
#include <thread>

#include "runtime/http_get.h"
#include "runtime/loopback_http_server.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

std::string narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

bool mentions(const std::wstring& error, std::wstring_view word) {
    std::wstring lower = error;
    for (wchar_t& c : lower) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return lower.find(word) != std::wstring::npos;
}

// Cancels the request after a deadline, so that a limit libcurl never got fails the test instead of stalling it.
struct Watchdog {
    std::atomic<int32_t> cancel{0};
    std::mutex lock;
    std::condition_variable done;
    bool finished = false;
    std::thread thread;

    explicit Watchdog(std::chrono::seconds deadline) {
        thread = std::thread([this, deadline] {
            std::unique_lock guard(lock);
            if (!done.wait_for(guard, deadline, [this] { return finished; })) cancel = 1;
        });
    }
    ~Watchdog() {
        {
            std::lock_guard guard(lock);
            finished = true;
        }
        done.notify_one();
        thread.join();
    }
};

class HttpRequestLimits : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(http_global_init());
        ASSERT_TRUE(server.started());
    }
    LoopbackHttpServer server;
};

// What a request hands to libcurl as its limits; the next test shows that the overall limit reaches it.
TEST(HttpLimitsEffective, DefaultsFillWhatIsZeroOrBelow) {
    struct Case {
        const char* name;
        HttpOptions options;
        HttpLimits expected;
    };
    const Case cases[] = {
        {"defaults", HttpOptions{}, {30000, 120000, 10}},
        {"zero takes the default", HttpOptions{.connect_timeout_ms = 0, .total_timeout_ms = 0}, {30000, 120000, 10}},
        {"negative takes the default",
         HttpOptions{.connect_timeout_ms = -1, .total_timeout_ms = -5},
         {30000, 120000, 10}},
        {"own limits",
         HttpOptions{.connect_timeout_ms = 700, .total_timeout_ms = 1500, .max_redirects = 2},
         {700, 1500, 2}},
        {"no redirect below zero", HttpOptions{.max_redirects = -3}, {30000, 120000, 0}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const HttpLimits limits = http_limits_effective(test.options);
        EXPECT_EQ(limits.connect_timeout_ms, test.expected.connect_timeout_ms);
        EXPECT_EQ(limits.total_timeout_ms, test.expected.total_timeout_ms);
        EXPECT_EQ(limits.max_redirects, test.expected.max_redirects);
    }
}

TEST_F(HttpRequestLimits, TheOverallLimitEndsAReplyThatKeepsTrickling) {
    // Bytes keep coming, so only the limit on the whole request can end it.
    Watchdog watchdog(std::chrono::seconds(30));
    HttpOptions options;
    options.cancel = &watchdog.cancel;
    options.total_timeout_ms = 1500;
    HttpResponse response;
    const auto start = Clock::now();
    EXPECT_FALSE(http_get(server.url("/slow"), response, options));
    const double elapsed = seconds_since(start);
    EXPECT_EQ(watchdog.cancel.load(), 0) << "the limit did not end the request; the watchdog cancelled it";
    EXPECT_GE(elapsed, 1.4);
    EXPECT_LT(elapsed, 15.0);
    EXPECT_TRUE(mentions(response.error, L"timed out")) << narrow(response.error);
    EXPECT_EQ(response.status, 200);  // the head had come: the body was cut off
    EXPECT_TRUE(response.body.empty());
}

TEST_F(HttpRequestLimits, TheDefaultBodyCapStopsALargeReply) {
    HttpResponse response;
    EXPECT_FALSE(http_get(server.url("/big"), response));
    EXPECT_TRUE(mentions(response.error, L"larger than 1048576 bytes")) << narrow(response.error);
    EXPECT_TRUE(response.body.empty());
}

TEST_F(HttpRequestLimits, HeadersAreCappedInTotalBelowLibcurlsOwnLimit) {
    // Each line is far below libcurl's limit per line; 280 KiB together is also below its own total limit
    // (300 KiB in this version), so only our cap of 256 KiB can refuse them.
    HttpResponse fits;
    ASSERT_TRUE(http_get(server.url("/headers-200k"), fits)) << narrow(fits.error);
    EXPECT_EQ(fits.body, LOOPBACK_PLAIN_BODY);
    EXPECT_NE(fits.headers.find("X-Filler-199: "), std::string::npos);

    HttpResponse refused;
    EXPECT_FALSE(http_get(server.url("/headers-280k"), refused));
    EXPECT_TRUE(mentions(refused.error, L"headers larger than 262144 bytes")) << narrow(refused.error);
    EXPECT_TRUE(refused.body.empty());
}

TEST_F(HttpRequestLimits, ARedirectAwayFromHttpIsRefused) {
    for (const char* path : {"/to-ftp", "/to-file"}) {
        SCOPED_TRACE(path);
        LoopbackHttpServer target;  // a fresh server: its counts are this request's alone
        ASSERT_TRUE(target.started());
        Watchdog watchdog(std::chrono::seconds(20));
        HttpOptions options;
        options.cancel = &watchdog.cancel;
        HttpResponse response;
        const auto start = Clock::now();
        EXPECT_FALSE(http_get(target.url(path), response, options));
        EXPECT_LT(seconds_since(start), 10.0);
        EXPECT_FALSE(response.error.empty());
        EXPECT_EQ(response.status, 302) << narrow(response.error);  // the redirect came and was not followed
        EXPECT_TRUE(response.body.empty());
        // An FTP client would have connected to the server's port a second time.
        EXPECT_EQ(target.connection_count(), 1);
        EXPECT_EQ(target.request_count(), 1);
    }
}

}  // namespace
