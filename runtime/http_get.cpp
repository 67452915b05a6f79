// HTTP GET over libcurl's easy interface: one synchronous request on the calling thread, bounded in time and size.
#include "runtime/http_get.h"

#include "runtime/text.h"

#include <curl/curl.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>

namespace {

constexpr const char* USER_AGENT = "Mozilla/5.0 Gecko/41.0 Firefox/41.0";
constexpr long DEFAULT_CONNECT_TIMEOUT_MS = 30000;
constexpr long DEFAULT_TOTAL_TIMEOUT_MS = 120000;
// libcurl limits each header line but, depending on the version, not their sum.
constexpr size_t MAX_HEADER_BYTES = 256 * 1024;

std::once_flag global_init_once;
CURLcode global_init_result = CURLE_FAILED_INIT;

enum class Abort { NONE, CANCELLED, BODY_TOO_LARGE, HEADERS_TOO_LARGE, OUT_OF_MEMORY };

struct Transfer {
    HttpResponse* response = nullptr;
    const std::atomic<int32_t>* cancel = nullptr;
    size_t max_body_bytes = 0;
    Abort abort = Abort::NONE;
};

bool cancel_requested(const std::atomic<int32_t>* cancel) {
    return cancel != nullptr && cancel->load(std::memory_order_acquire) > 0;
}

// The callbacks run inside libcurl's C code: nothing may throw out of them.
size_t write_body(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    const size_t bytes = size * count;
    std::string& body = transfer->response->body;
    if (bytes > transfer->max_body_bytes - body.size()) {
        transfer->abort = Abort::BODY_TOO_LARGE;
        return 0;
    }
    try {
        body.append(data, bytes);
    } catch (...) {
        transfer->abort = Abort::OUT_OF_MEMORY;
        return 0;
    }
    return bytes;
}

size_t collect_header(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    const size_t bytes = size * count;
    std::string& headers = transfer->response->headers;
    // A status line starts the next response (after a redirect or an interim 1xx): keep only the last one.
    if (std::string_view(data, bytes).starts_with("HTTP/")) headers.clear();
    if (bytes > MAX_HEADER_BYTES - headers.size()) {
        transfer->abort = Abort::HEADERS_TOO_LARGE;
        return 0;
    }
    try {
        headers.append(data, bytes);
    } catch (...) {
        transfer->abort = Abort::OUT_OF_MEMORY;
        return 0;
    }
    return bytes;
}

// libcurl calls this often during a transfer and about once a second while it waits for the server.
int check_cancel(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto* transfer = static_cast<Transfer*>(user);
    if (!cancel_requested(transfer->cancel)) return 0;
    transfer->abort = Abort::CANCELLED;
    return 1;
}

std::wstring abort_text(Abort abort, size_t max_body_bytes) {
    switch (abort) {
        case Abort::CANCELLED: return L"request cancelled";
        case Abort::BODY_TOO_LARGE: return L"response body larger than " + std::to_wstring(max_body_bytes) + L" bytes";
        case Abort::HEADERS_TOO_LARGE:
            return L"response headers larger than " + std::to_wstring(MAX_HEADER_BYTES) + L" bytes";
        case Abort::OUT_OF_MEMORY: return L"out of memory while receiving the response";
        case Abort::NONE: break;
    }
    return {};
}

bool fail(HttpResponse& response, std::wstring error) {
    response.body.clear();
    response.error = std::move(error);
    return false;
}

bool run_request(const std::string& url, HttpResponse& response, const HttpOptions& options) {
    if (url.find('\0') != std::string::npos) return fail(response, L"the URL contains a NUL character");
    if (cancel_requested(options.cancel)) return fail(response, abort_text(Abort::CANCELLED, 0));
    if (!http_global_init()) return fail(response, L"libcurl could not be initialised");

    // Declared before the handle so that they outlive it: libcurl may still touch them while it cleans up.
    char error_buffer[CURL_ERROR_SIZE] = {};
    Transfer transfer;
    transfer.response = &response;
    transfer.cancel = options.cancel;
    transfer.max_body_bytes = options.max_body_bytes;

    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), &curl_easy_cleanup);
    if (!curl) return fail(response, L"libcurl could not create a request");
    const HttpLimits limits = http_limits_effective(options);

    CURL* handle = curl.get();
    CURLcode code = CURLE_OK;
    auto keep_first_error = [&code](CURLcode result) {
        if (code == CURLE_OK) code = result;
    };
    keep_first_error(curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, error_buffer));
    keep_first_error(curl_easy_setopt(handle, CURLOPT_URL, url.c_str()));
    keep_first_error(curl_easy_setopt(handle, CURLOPT_HTTPGET, 1L));
    // Neither the first request nor a redirect may leave HTTP (no file://, ftp:// and the like).
    keep_first_error(curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https"));
    keep_first_error(curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https"));
    keep_first_error(curl_easy_setopt(handle, CURLOPT_USERAGENT, USER_AGENT));
    keep_first_error(curl_easy_setopt(handle, CURLOPT_ACCEPT_ENCODING, "gzip"));
    keep_first_error(curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L));
    keep_first_error(curl_easy_setopt(handle, CURLOPT_MAXREDIRS, limits.max_redirects));
    keep_first_error(curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, limits.connect_timeout_ms));
    keep_first_error(curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, limits.total_timeout_ms));
    // Worker threads call this: libcurl must not use signals (alarm() for DNS time-outs) there.
    keep_first_error(curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L));
    // The empty text also stops libcurl from taking a proxy from http_proxy and similar variables.
    keep_first_error(curl_easy_setopt(handle, CURLOPT_PROXY, ""));
    keep_first_error(curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &write_body));
    keep_first_error(curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer));
    keep_first_error(curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, &collect_header));
    keep_first_error(curl_easy_setopt(handle, CURLOPT_HEADERDATA, &transfer));
    keep_first_error(curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, &check_cancel));
    keep_first_error(curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &transfer));
    keep_first_error(curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L));
    if (code != CURLE_OK) {
        return fail(response, L"libcurl refused an option: " + wide_from_utf8(curl_easy_strerror(code)));
    }

    code = curl_easy_perform(handle);
    long status = 0;
    if (curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status) == CURLE_OK) response.status = status;
    if (code == CURLE_OK) return true;

    if (transfer.abort != Abort::NONE) return fail(response, abort_text(transfer.abort, options.max_body_bytes));
    std::string_view text(error_buffer);
    if (text.empty()) text = curl_easy_strerror(code);
    return fail(response, wide_from_utf8(text));
}

}  // namespace

bool http_global_init() {
    std::call_once(global_init_once, [] { global_init_result = curl_global_init(CURL_GLOBAL_DEFAULT); });
    return global_init_result == CURLE_OK;
}

HttpLimits http_limits_effective(const HttpOptions& options) {
    return HttpLimits{
        .connect_timeout_ms = options.connect_timeout_ms > 0 ? options.connect_timeout_ms : DEFAULT_CONNECT_TIMEOUT_MS,
        .total_timeout_ms = options.total_timeout_ms > 0 ? options.total_timeout_ms : DEFAULT_TOTAL_TIMEOUT_MS,
        .max_redirects = options.max_redirects > 0 ? static_cast<long>(options.max_redirects) : 0L,
    };
}

bool http_get(const std::string& url, HttpResponse& response, const HttpOptions& options) {
    response = HttpResponse{};
    try {
        return run_request(url, response, options);
    } catch (...) {
        response.body.clear();
        try {
            response.error = L"out of memory while making the request";
        } catch (...) {
        }
        return false;
    }
}
