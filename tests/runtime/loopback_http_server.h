// A tiny HTTP/1.1 server on 127.0.0.1 for tests: canned routes, one thread, stops cleanly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// Routes (any other path answers 404):
//   /plain     200, LOOPBACK_PLAIN_BODY, header "X-Loopback-Route: plain"
//   /gzip      200, Content-Encoding: gzip; decodes to loopback_gzip_text()
//   /redirect  302 to /plain
//   /loop      302 to /loop
//   /big       200, LOOPBACK_BIG_BODY_BYTES bytes of 'x'
//   /hang      reads the request and never answers while the server runs
//   /slow      200 with a body of LOOPBACK_SLOW_BODY_BYTES sent one byte per 50 ms, so it is never idle
//              and never ends in time
//   /to-ftp    302 to ftp://127.0.0.1:<this server's port>/plain
//   /to-file   302 to file:///etc/hostname
//   /headers-<n>k  200 with about n KiB of header lines of 1 KiB each, body LOOPBACK_PLAIN_BODY
inline constexpr std::string_view LOOPBACK_PLAIN_BODY = "plain body from the loopback server\n";
inline constexpr size_t LOOPBACK_BIG_BODY_BYTES = size_t{2} << 20;
inline constexpr size_t LOOPBACK_SLOW_BODY_BYTES = 100000;

// The decoded text of /gzip, and the size of its compressed form on the wire.
std::string loopback_gzip_text();
size_t loopback_gzip_wire_bytes();

struct LoopbackServerState;

struct LoopbackHttpServer {
    LoopbackHttpServer();   // binds an ephemeral port on 127.0.0.1 and starts serving; see started()
    ~LoopbackHttpServer();  // stop()
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    bool started() const;
    uint16_t port() const;
    std::string url(std::string_view path) const;  // "http://127.0.0.1:<port>" + path
    int request_count() const;                     // complete request heads received so far
    int connection_count() const;                  // connections accepted so far
    std::string last_request() const;              // the latest request head, "\r\n\r\n" included

    // Closes the listening socket and every client connection and joins the thread; idempotent.
    void stop();

    std::unique_ptr<LoopbackServerState> state;
};

// A port on 127.0.0.1 that was free a moment ago and has nothing listening on it now.
uint16_t loopback_closed_port();
