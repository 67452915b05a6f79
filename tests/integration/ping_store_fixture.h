// The hosts of an "SX-Ping.json" that the Ping tests give the program.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

// A host of the store as the program writes it (first octet in the lowest byte of "Valu").
inline nlohmann::json stored_host(const std::string& address, int64_t value, const std::string& name) {
    return {{"Init", "1700000000." + std::to_string(value % 1000)},
            {"Actv", 1},
            {"Sent", 0},
            {"Recv", 0},
            {"Lost", 0},
            {"Time", 0},
            {"Best", -1},
            {"Wors", -1},
            {"Down", 0},
            {"PTTL", 0},
            {"PTOS", 0},
            {"Last", 0},
            {"Valu", value},
            {"Sort", 0},
            {"HiLi", 0},
            {"CFor", 0},
            {"CBak", 0},
            {"Host", name},
            {"Addr", address},
            {"PV", nlohmann::json::array()}};
}
