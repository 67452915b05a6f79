// Whether this test program runs inside the test network: the namespace of tools/netns-run.sh, whose hosts
// file (tests/network/netns_hosts) maps the geolocation service's name to 127.0.0.1. Anywhere else a lookup
// could leave the machine, so the tests that make one refuse to run there.
#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdlib>
#include <string>

#include "network/ip_geolocation.h"

// True inside the test network; otherwise false and why. Needs sockets started (WSAStartup).
inline bool inside_test_network(std::string& why) {
    if (!std::getenv("SOTRIX_NETNS_CONTROL")) {
        why = "not inside the test network (run through tools/netns-run.sh --hosts tests/network/netns_hosts)";
        return false;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* found = nullptr;
    if (getaddrinfo(IP_LOOKUP_HOST, "80", &hints, &found) != 0 || !found) {
        why = "the service's name does not resolve here";
        return false;
    }
    const auto* address = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    const bool loopback = ntohl(address->sin_addr.s_addr) == INADDR_LOOPBACK;
    freeaddrinfo(found);
    if (!loopback) why = "the service's name does not resolve to 127.0.0.1 (hosts file missing)";
    return loopback;
}
