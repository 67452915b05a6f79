// The bounds every request has by default: the overall time limit libcurl gets (and that it ends a reply
// which never stops trickling), the cap on the decoded body, the cap on the headers, and no redirect away
// from HTTP.
#include <curl/curl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cwctype>
#include <map>
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

// The numeric options of the requests made while an OptionLog exists, the last value of each.
std::mutex options_lock;
std::map<int, long> options_seen;
void option_note(int option, long value) {
    std::lock_guard guard(options_lock);
    options_seen[option] = value;
}
struct OptionLog {
    OptionLog() {
        std::lock_guard guard(options_lock);
        options_seen.clear();
        http_long_option_observer_set(option_note);
    }
    ~OptionLog() { http_long_option_observer_set(nullptr); }
    long value(CURLoption option) const {
        std::lock_guard guard(options_lock);
        const auto found = options_seen.find(static_cast<int>(option));
        return found == options_seen.end() ? -12345 : found->second;
    }
};

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

class HttpLimits : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(http_global_init());
        ASSERT_TRUE(server.started());
    }
    LoopbackHttpServer server;
};

TEST_F(HttpLimits, LibcurlGetsTheOverallLimitWithTheTwoMinuteDefault) {
    struct Case {
        const char* name;
        long total_timeout_ms;
        long expected;
    };
    const Case cases[] = {
        {"default", HttpOptions{}.total_timeout_ms, 120000},
        {"zero takes the default", 0, 120000},
        {"negative takes the default", -5, 120000},
        {"own limit", 1500, 1500},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        OptionLog log;
        HttpOptions options;
        options.total_timeout_ms = test.total_timeout_ms;
        HttpResponse response;
        ASSERT_TRUE(http_get(server.url("/plain"), response, options)) << narrow(response.error);
        EXPECT_EQ(log.value(CURLOPT_TIMEOUT_MS), test.expected);
        EXPECT_EQ(log.value(CURLOPT_CONNECTTIMEOUT_MS), 30000);
    }
}

TEST_F(HttpLimits, TheOverallLimitEndsAReplyThatKeepsTrickling) {
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

TEST_F(HttpLimits, TheDefaultBodyCapStopsALargeReply) {
    HttpResponse response;
    EXPECT_FALSE(http_get(server.url("/big"), response));
    EXPECT_TRUE(mentions(response.error, L"larger than 1048576 bytes")) << narrow(response.error);
    EXPECT_TRUE(response.body.empty());
}

TEST_F(HttpLimits, HeadersAreCappedInTotalBelowLibcurlsOwnLimit) {
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

TEST_F(HttpLimits, ARedirectAwayFromHttpIsRefused) {
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
