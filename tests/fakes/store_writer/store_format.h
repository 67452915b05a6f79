// The contents the store writer saves: self-checking, so a reader can tell a whole file from a torn one.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

// "STORE <version> <payload length>\n", the payload, "\nEND <checksum>\n". Versions differ in length, so a
// file made of parts of two versions never passes.
inline std::string store_contents(uint32_t version) {
    const size_t length = 20000 + (version * 7919u) % 180000u;
    std::string payload(length, ' ');
    uint32_t sum = 0;
    for (size_t i = 0; i < length; ++i) {
        payload[i] = static_cast<char>('a' + (version + i) % 26);
        sum = sum * 31u + static_cast<unsigned char>(payload[i]);
    }
    char header[64];
    std::snprintf(header, sizeof header, "STORE %u %zu\n", static_cast<unsigned>(version), length);
    char trailer[64];
    std::snprintf(trailer, sizeof trailer, "\nEND %u\n", static_cast<unsigned>(sum));
    return std::string(header) + payload + trailer;
}

// The version of a whole file; -1 when the bytes are not exactly one version's contents.
inline int64_t store_version(std::string_view bytes) {
    unsigned version = 0;
    size_t length = 0;
    if (bytes.substr(0, 6) != "STORE ") return -1;
    if (std::sscanf(std::string(bytes.substr(0, 64)).c_str(), "STORE %u %zu", &version, &length) != 2) return -1;
    return store_contents(version) == bytes ? static_cast<int64_t>(version) : -1;
}
