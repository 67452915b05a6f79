// The network adapter table and its lock.
#include "network/net_adapter_table.h"

NetAdapters NetAdapterTable;
LeafLock NetAdapterLock("NetAdapterLock");

NetAdapters net_adapters_copy() {
    std::lock_guard guard(NetAdapterLock);
    return NetAdapterTable;
}

void net_adapters_publish(const NetAdapters& adapters) {
    std::lock_guard guard(NetAdapterLock);
    NetAdapterTable = adapters;
}

std::wstring net_adapter_mac_of(int32_t number) {
    if (number <= 0) return {};
    std::lock_guard guard(NetAdapterLock);
    for (std::size_t j = 1; j < NetAdapterTable.size(); ++j) {
        if (NetAdapterTable[j].number == number) return NetAdapterTable[j].mac_text.str();
    }
    return {};
}
