// The members of IP_ADAPTER_INFO that the adapter records walk reads, by the same names and in the same order,
// for the tests and the fuzz target that build records in memory as Windows lays them out.
#pragma once

#include <cstdint>

namespace adapter_layout {

struct AddrText {
    char String[16];
};
struct AddrString {
    AddrString* Next;
    AddrText IpAddress;
    AddrText IpMask;
    uint32_t Context;
};
struct Info {
    Info* Next;
    uint32_t ComboIndex;
    char AdapterName[260];
    char Description[132];
    uint32_t AddressLength;
    uint8_t Address[8];
    uint32_t Index;
    uint32_t Type;
    uint32_t DhcpEnabled;
    AddrString* CurrentIpAddress;
    AddrString IpAddressList;
    AddrString GatewayList;
    AddrString DhcpServer;
    int HaveWins;
    AddrString PrimaryWinsServer;
    AddrString SecondaryWinsServer;
    int64_t LeaseObtained;
    int64_t LeaseExpires;
};

}  // namespace adapter_layout
