// A tiny HTTP/1.1 server on 127.0.0.1 for tests: canned routes or a script of replies, one thread, stops
// cleanly. Whole in this header, so that every test program that includes it builds it (each folder of tests
// builds one program).
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>
#endif

// Routes (any other path answers 404), while no script is set:
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

// A whole reply: status line, Content-Type text/plain, Content-Length, "Connection: close", the extra header
// lines (each ending in "\r\n") and the body.
inline std::string loopback_reply(int code, std::string_view reason, std::string_view extra_headers,
                                  std::string_view body) {
    std::string text = "HTTP/1.1 " + std::to_string(code) + " " + std::string(reason) + "\r\n";
    text += "Content-Type: text/plain\r\n";
    text += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    text += "Connection: close\r\n";
    text += extra_headers;
    text += "\r\n";
    text += body;
    return text;
}

namespace loopback_detail {

#ifdef _WIN32
using Socket = SOCKET;
using SocketLength = int;
inline constexpr Socket NO_SOCKET = INVALID_SOCKET;
inline constexpr int SEND_FLAGS = 0;

inline bool sockets_start() {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
}
inline void sockets_stop() { WSACleanup(); }
inline void close_socket(Socket socket) { closesocket(socket); }
inline bool set_nonblocking(Socket socket) {
    u_long on = 1;
    return ioctlsocket(socket, FIONBIO, &on) == 0;
}
inline bool try_again() {
    const int error = WSAGetLastError();
    return error == WSAEWOULDBLOCK || error == WSAEINTR;
}
#else
using Socket = int;
using SocketLength = socklen_t;
inline constexpr Socket NO_SOCKET = -1;
inline constexpr int SEND_FLAGS = MSG_NOSIGNAL;  // a client that hung up must not raise SIGPIPE

inline bool sockets_start() { return true; }
inline void sockets_stop() {}
inline void close_socket(Socket socket) { close(socket); }
inline bool set_nonblocking(Socket socket) {
    const int flags = fcntl(socket, F_GETFL, 0);
    return flags >= 0 && fcntl(socket, F_SETFL, flags | O_NONBLOCK) == 0;
}
inline bool try_again() { return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR; }
#endif

// select() watches at most FD_SETSIZE sockets (64 on Windows); tests never need more than a few.
inline constexpr size_t MAX_CLIENTS = 32;
inline constexpr size_t MAX_REQUEST_BYTES = 64 * 1024;
inline constexpr auto SLOW_BYTE_GAP = std::chrono::milliseconds(50);

using Clock = std::chrono::steady_clock;

// gzip of loopback_gzip_text() (Python's gzip module, level 9, mtime 0).
inline constexpr unsigned char GZIP_BODY[] = {
    0x1f, 0x8b, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x03, 0x95, 0xd1, 0xc9, 0x0d, 0x82, 0x50, 0x14, 0x40, 0xd1,
    0x3d, 0x55, 0xfc, 0x02, 0x5c, 0xf8, 0x66, 0x29, 0x47, 0x14, 0x87, 0x38, 0x40, 0xd0, 0x98, 0x68, 0xf5, 0xb6, 0xc0,
    0xdd, 0x9f, 0xdd, 0x39, 0xff, 0xae, 0x73, 0x1b, 0xa6, 0xe3, 0xb7, 0x9d, 0x96, 0xe9, 0xd1, 0xde, 0x97, 0xb1, 0xdd,
    0xa7, 0x69, 0x1e, 0xf6, 0x87, 0x5b, 0x7b, 0x8d, 0xcb, 0x67, 0x5c, 0x36, 0xed, 0x7e, 0x7d, 0x8e, 0x6d, 0xbb, 0xed,
    0xce, 0xab, 0xad, 0x00, 0xab, 0xc0, 0x1a, 0xb0, 0x0e, 0x6c, 0x00, 0x9b, 0xc0, 0x16, 0xb0, 0x3b, 0x60, 0xfb, 0xf5,
    0x56, 0xc0, 0x9b, 0x80, 0x37, 0x01, 0x6f, 0x02, 0xde, 0x04, 0xbc, 0x09, 0x78, 0x13, 0xf0, 0x26, 0xe0, 0x4d, 0xc0,
    0x9b, 0x80, 0x37, 0x05, 0x6f, 0x0a, 0xde, 0x14, 0xbc, 0x29, 0x78, 0x53, 0xf0, 0xa6, 0xe0, 0x4d, 0xc1, 0x9b, 0x82,
    0x37, 0x05, 0x6f, 0x0a, 0xde, 0x0c, 0xbc, 0x19, 0x78, 0x33, 0xf0, 0x66, 0xe0, 0xcd, 0xc0, 0x9b, 0x81, 0x37, 0x03,
    0x6f, 0x06, 0xde, 0x0c, 0xbc, 0x19, 0x78, 0x73, 0xf0, 0xe6, 0xe0, 0xcd, 0xc1, 0x9b, 0x83, 0x37, 0x07, 0x6f, 0x0e,
    0xde, 0x1c, 0xbc, 0x39, 0x78, 0x73, 0xf0, 0xe6, 0xe0, 0x2d, 0xc0, 0x5b, 0x80, 0xb7, 0x00, 0x6f, 0x01, 0xde, 0x02,
    0xbc, 0x05, 0x78, 0x0b, 0xf0, 0x16, 0xe0, 0x2d, 0xc0, 0x5b, 0x80, 0xb7, 0x04, 0x6f, 0x09, 0xde, 0x12, 0xbc, 0x25,
    0x78, 0x4b, 0xf0, 0x96, 0xe0, 0x2d, 0xc1, 0x5b, 0x82, 0xb7, 0x04, 0x6f, 0x09, 0xde, 0x0a, 0xbc, 0x15, 0x78, 0x2b,
    0xf0, 0x56, 0xe0, 0xad, 0xc0, 0x5b, 0x81, 0xb7, 0x02, 0x6f, 0x05, 0xde, 0x0a, 0xbc, 0x55, 0xdf, 0xfd, 0x01, 0xcb,
    0x41, 0xc3, 0xbe, 0xc0, 0x0d, 0x00, 0x00,
};

struct Client {
    Socket socket = NO_SOCKET;
    std::string request;
    std::string reply;
    size_t sent = 0;
    bool answered = false;  // the request head is complete; /hang answers with nothing
    bool closed = false;
    size_t slow_from = std::string::npos;  // from this byte of the reply on, one byte per SLOW_BYTE_GAP
    Clock::time_point next_send{};
};

inline bool waits_to_send(const Client& client) {
    return client.sent >= client.slow_from && Clock::now() < client.next_send;
}

// About `kib` KiB of header lines, 1 KiB each with its line end.
inline std::string filler_headers(size_t kib) {
    std::string lines;
    for (size_t i = 0; i < kib; ++i) {
        std::string line = "X-Filler-" + std::to_string(i) + ": ";
        line.append(1024 - 2 - line.size(), 'h');
        lines += line + "\r\n";
    }
    return lines;
}

inline std::string route_reply(std::string_view path, uint16_t port) {
    if (path == "/plain") return loopback_reply(200, "OK", "X-Loopback-Route: plain\r\n", LOOPBACK_PLAIN_BODY);
    if (path == "/gzip") {
        const std::string_view body(reinterpret_cast<const char*>(GZIP_BODY), sizeof GZIP_BODY);
        return loopback_reply(200, "OK", "Content-Encoding: gzip\r\n", body);
    }
    if (path == "/redirect") return loopback_reply(302, "Found", "Location: /plain\r\n", "moved\n");
    if (path == "/loop") return loopback_reply(302, "Found", "Location: /loop\r\n", "again\n");
    if (path == "/big") return loopback_reply(200, "OK", "", std::string(LOOPBACK_BIG_BODY_BYTES, 'x'));
    if (path == "/slow") return loopback_reply(200, "OK", "", std::string(LOOPBACK_SLOW_BODY_BYTES, 's'));
    if (path == "/to-ftp") {
        return loopback_reply(302, "Found", "Location: ftp://127.0.0.1:" + std::to_string(port) + "/plain\r\n",
                              "moved\n");
    }
    if (path == "/to-file") return loopback_reply(302, "Found", "Location: file:///etc/hostname\r\n", "moved\n");
    if (path.starts_with("/headers-") && path.ends_with("k")) {
        const std::string_view number = path.substr(9, path.size() - 10);
        size_t kib = 0;
        for (const char c : number) kib = c >= '0' && c <= '9' ? kib * 10 + static_cast<size_t>(c - '0') : 0;
        if (kib > 0 && kib <= 4096) return loopback_reply(200, "OK", filler_headers(kib), LOOPBACK_PLAIN_BODY);
    }
    return loopback_reply(404, "Not Found", "", "no such route\n");
}

struct State {
    Socket listener = NO_SOCKET;
    uint16_t port = 0;
    bool sockets_started = false;
    std::atomic<bool> stopping{false};
    std::thread thread;
    std::mutex mutex;  // guards what follows
    int connection_count = 0;
    std::vector<std::string> requests;  // every request head, "\r\n\r\n" included
    std::vector<std::string> script;    // when not empty, the replies in turn instead of the routes
    size_t scripted = 0;                // requests answered from the script since it was set
};

// Records the request head and sets the reply: the script's next one when there is a script, else the route's.
inline void answer(State& state, Client& client) {
    const std::string head = client.request.substr(0, client.request.find("\r\n\r\n") + 4);
    // "GET /path HTTP/1.1": the path lies between the first two spaces.
    const size_t first_space = head.find(' ');
    const size_t second_space = first_space == std::string::npos ? std::string::npos : head.find(' ', first_space + 1);
    std::string path;
    if (second_space != std::string::npos) path = head.substr(first_space + 1, second_space - first_space - 1);
    client.answered = true;
    std::lock_guard lock(state.mutex);
    state.requests.push_back(head);
    if (!state.script.empty()) {
        client.reply = state.script[std::min(state.scripted++, state.script.size() - 1)];
        return;
    }
    if (path != "/hang") client.reply = route_reply(path, state.port);
    if (path == "/slow") client.slow_from = client.reply.size() - LOOPBACK_SLOW_BODY_BYTES;
}

inline void receive(State& state, Client& client) {
    char buffer[4096];
    const auto received = recv(client.socket, buffer, static_cast<int>(sizeof buffer), 0);
    if (received == 0 || (received < 0 && !try_again())) {
        client.closed = true;  // the client hung up (for /hang, this is how the connection ends)
        return;
    }
    if (received < 0 || client.answered) return;
    client.request.append(buffer, static_cast<size_t>(received));
    if (client.request.find("\r\n\r\n") != std::string::npos) {
        answer(state, client);
    } else if (client.request.size() > MAX_REQUEST_BYTES) {
        client.closed = true;
    }
}

inline void send_more(Client& client) {
    size_t remaining = std::min<size_t>(client.reply.size() - client.sent, 1 << 20);
    if (client.sent >= client.slow_from) {
        remaining = 1;
    } else if (client.slow_from != std::string::npos) {
        remaining = std::min(remaining, client.slow_from - client.sent);
    }
    const auto sent = send(client.socket, client.reply.data() + client.sent, static_cast<int>(remaining), SEND_FLAGS);
    if (sent < 0) {
        if (!try_again()) client.closed = true;  // the client gave up (a body cap, a cancel)
        return;
    }
    client.sent += static_cast<size_t>(sent);
    if (client.sent > client.slow_from) client.next_send = Clock::now() + SLOW_BYTE_GAP;
    // Every reply says "Connection: close"; the whole request was read, so closing now ends it gracefully.
    if (client.sent == client.reply.size()) client.closed = true;
}

inline void accept_client(State& state, std::vector<Client>& clients) {
    sockaddr_in peer{};
    SocketLength peer_length = sizeof peer;
    const Socket socket = accept(state.listener, reinterpret_cast<sockaddr*>(&peer), &peer_length);
    if (socket == NO_SOCKET) return;
    const bool from_loopback = peer.sin_family == AF_INET && (ntohl(peer.sin_addr.s_addr) >> 24) == 127;
    if (!from_loopback || clients.size() >= MAX_CLIENTS || !set_nonblocking(socket)) {
        close_socket(socket);
        return;
    }
    Client client;
    client.socket = socket;
    clients.push_back(std::move(client));
    std::lock_guard lock(state.mutex);
    ++state.connection_count;
}

inline void serve(State& state) {
    std::vector<Client> clients;
    while (!state.stopping.load()) {
        fd_set readable;
        fd_set writable;
        FD_ZERO(&readable);
        FD_ZERO(&writable);
        FD_SET(state.listener, &readable);
        Socket highest = state.listener;
        bool slow = false;
        for (const Client& client : clients) {
            slow = slow || client.slow_from != std::string::npos;
            if (client.answered && client.sent < client.reply.size() && !waits_to_send(client)) {
                FD_SET(client.socket, &writable);
            } else {
                FD_SET(client.socket, &readable);  // the request, or the hang-up of a /hang client
            }
            highest = std::max(highest, client.socket);
        }
        // stop() wakes the wait with a connection; the time-out covers a wake-up that failed and paces /slow.
        timeval wait{0, slow ? 10000 : 250000};
        const int ready = select(static_cast<int>(highest + 1), &readable, &writable, nullptr, &wait);
        if (state.stopping.load()) break;
        if (ready < 0) {
            if (try_again()) continue;
            break;
        }
        for (Client& client : clients) {
            if (FD_ISSET(client.socket, &readable)) receive(state, client);
            if (!client.closed && FD_ISSET(client.socket, &writable)) send_more(client);
            if (client.closed) close_socket(client.socket);
        }
        std::erase_if(clients, [](const Client& client) { return client.closed; });
        if (FD_ISSET(state.listener, &readable)) accept_client(state, clients);
    }
    for (const Client& client : clients) close_socket(client.socket);
}

// A socket bound to 127.0.0.1:port (0: a free port the system picks); `address` then holds the port bound.
inline Socket open_loopback_socket(sockaddr_in& address, uint16_t port) {
    const Socket socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (socket == NO_SOCKET) return NO_SOCKET;
    address = sockaddr_in{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    SocketLength length = sizeof address;
    if (bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        close_socket(socket);
        return NO_SOCKET;
    }
    return socket;
}

}  // namespace loopback_detail

// The decoded text of /gzip, and the size of its compressed form on the wire.
inline std::string loopback_gzip_text() {
    std::string text;
    for (int line = 0; line < 80; ++line) {
        text += "gzip body from the loopback server, line ";
        text += static_cast<char>('0' + line / 10);
        text += static_cast<char>('0' + line % 10);
        text += '\n';
    }
    return text;
}

inline size_t loopback_gzip_wire_bytes() { return sizeof loopback_detail::GZIP_BODY; }

// A port on 127.0.0.1 that was free a moment ago and has nothing listening on it now.
inline uint16_t loopback_closed_port() {
    using namespace loopback_detail;
    if (!sockets_start()) return 0;
    sockaddr_in address{};
    const Socket socket = open_loopback_socket(address, 0);
    uint16_t port = 0;
    if (socket != NO_SOCKET) {
        port = ntohs(address.sin_port);
        close_socket(socket);
    }
    sockets_stop();
    return port;
}

struct LoopbackHttpServer {
    // Binds 127.0.0.1:port (0: a free port the system picks) and starts serving; see started().
    explicit LoopbackHttpServer(uint16_t port = 0) : state(std::make_unique<loopback_detail::State>()) {
        using namespace loopback_detail;
        state->sockets_started = sockets_start();
        if (!state->sockets_started) return;
        sockaddr_in address{};
        state->listener = open_loopback_socket(address, port);
        if (state->listener == NO_SOCKET) return;
        if (listen(state->listener, 16) != 0 || !set_nonblocking(state->listener)) {
            close_socket(state->listener);
            state->listener = NO_SOCKET;
            return;
        }
        state->port = ntohs(address.sin_port);
        state->thread = std::thread(serve, std::ref(*state));
    }
    ~LoopbackHttpServer() { stop(); }
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    bool started() const { return state->thread.joinable(); }
    uint16_t port() const { return state->port; }
    // "http://127.0.0.1:<port>" + path
    std::string url(std::string_view path) const {
        return "http://127.0.0.1:" + std::to_string(state->port) + std::string(path);
    }

    // From now on each request, whatever its path, takes the next of these whole replies (see loopback_reply);
    // the last one repeats. An empty list brings the routes back.
    void script(std::vector<std::string> replies) {
        std::lock_guard lock(state->mutex);
        state->script = std::move(replies);
        state->scripted = 0;
    }

    // Complete request heads received so far ("\r\n\r\n" included), oldest first.
    std::vector<std::string> requests() const {
        std::lock_guard lock(state->mutex);
        return state->requests;
    }
    int request_count() const {
        std::lock_guard lock(state->mutex);
        return static_cast<int>(state->requests.size());
    }
    std::string last_request() const {
        std::lock_guard lock(state->mutex);
        return state->requests.empty() ? std::string() : state->requests.back();
    }
    // Connections accepted so far.
    int connection_count() const {
        std::lock_guard lock(state->mutex);
        return state->connection_count;
    }

    // Closes the listening socket and every client connection and joins the thread; idempotent.
    void stop() {
        using namespace loopback_detail;
        if (state->thread.joinable()) {
            state->stopping.store(true);
            // Wake the server's select() with a connection of our own to its port.
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            address.sin_port = htons(state->port);
            const Socket wake = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
            if (wake != NO_SOCKET) {
                connect(wake, reinterpret_cast<const sockaddr*>(&address), sizeof address);
                close_socket(wake);
            }
            state->thread.join();
        }
        if (state->listener != NO_SOCKET) {
            close_socket(state->listener);
            state->listener = NO_SOCKET;
        }
        if (state->sockets_started) {
            sockets_stop();
            state->sockets_started = false;
        }
    }

    std::unique_ptr<loopback_detail::State> state;
};
