// The walk over adapter-information records built in the test: records of every size (a second address or
// gateway lies between them), links that leave the buffer, and the cap on the number of records.
#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "network/adapter_records.h"
#include "tests/network/adapter_info_layout.h"

namespace {

using adapter_layout::AddrString;
using adapter_layout::Info;

std::wstring widen(std::string_view text) { return std::wstring(text.begin(), text.end()); }

void put(char* target, std::size_t room, const char* text) { std::strncpy(target, text, room); }

// A buffer laid out as Windows fills it: each record, and the extra address entries of a record right
// after it, so that the records lie at uneven distances.
struct Buffer {
    alignas(Info) unsigned char bytes[64 * 1024] = {};
    std::size_t used = 0;
    Info* last = nullptr;
    Info* first = nullptr;

    template <typename T>
    T* take() {
        used = (used + alignof(T) - 1) / alignof(T) * alignof(T);
        T* item = new (bytes + used) T{};
        used += sizeof(T);
        return item;
    }
    Info* adapter(const char* description, uint32_t index, const char* address) {
        Info* info = take<Info>();
        put(info->Description, sizeof info->Description, description);
        info->Index = index;
        put(info->IpAddressList.IpAddress.String, 16, address);
        put(info->IpAddressList.IpMask.String, 16, "255.255.255.0");
        put(info->GatewayList.IpAddress.String, 16, "10.0.0.1");
        info->LeaseObtained = 1'700'000'000;
        if (last) last->Next = info;
        if (!first) first = info;
        last = info;
        return info;
    }
    void second_address(Info* info, const char* address) {
        AddrString* extra = take<AddrString>();
        put(extra->IpAddress.String, 16, address);
        info->IpAddressList.Next = extra;
    }
    void second_gateway(Info* info, const char* gateway) {
        AddrString* extra = take<AddrString>();
        put(extra->IpAddress.String, 16, gateway);
        info->GatewayList.Next = extra;
    }
};

TEST(AdapterRecords, ARecordWithASecondAddressOrGatewayDoesNotCollapseTheWalk) {
    Buffer buffer;
    Info* first = buffer.adapter("Wired", 7, "10.0.0.5");
    buffer.second_address(first, "10.0.0.6");
    buffer.second_gateway(first, "10.0.0.254");
    Info* second = buffer.adapter("Wireless", 12, "192.168.1.20");
    buffer.second_address(second, "192.168.1.21");
    buffer.adapter("Tunnel", 3, "0.0.0.0");
    // Not whole records apart: a walk at fixed distances would find garbage or stop.
    ASSERT_NE(buffer.used % sizeof(Info), 0u);

    const auto adapters = adapter_infos_walk(buffer.bytes, buffer.used, buffer.first, widen);
    ASSERT_EQ(adapters.size(), 3u);
    EXPECT_EQ(adapters[0].description, L"Wired");
    EXPECT_EQ(adapters[0].index, 7u);
    EXPECT_EQ(adapters[0].ip_address, L"10.0.0.5");  // the first address of the list
    EXPECT_EQ(adapters[0].gateway, L"10.0.0.1");
    EXPECT_EQ(adapters[0].lease_obtained, 1'700'000'000);
    EXPECT_EQ(adapters[1].description, L"Wireless");
    EXPECT_EQ(adapters[1].ip_address, L"192.168.1.20");
    EXPECT_EQ(adapters[2].description, L"Tunnel");
    EXPECT_EQ(adapters[2].index, 3u);
}

TEST(AdapterRecords, LinksOutsideTheBufferEndTheWalkAndAtMost31RecordsAreTaken) {
    Buffer buffer;
    buffer.adapter("One", 1, "10.0.0.1");
    Info* two = buffer.adapter("Two", 2, "10.0.0.2");
    static Info outside{};
    two->Next = &outside;
    EXPECT_EQ(adapter_infos_walk(buffer.bytes, buffer.used, buffer.first, widen).size(), 2u);
    // A buffer too short for the record a link names.
    EXPECT_EQ(adapter_infos_walk(buffer.bytes, buffer.used - 1, buffer.first, widen).size(), 1u);
    EXPECT_TRUE(adapter_infos_walk(buffer.bytes, 0, buffer.first, widen).empty());

    Buffer many;
    for (int i = 0; i < 40; ++i) many.adapter("Many", static_cast<uint32_t>(i + 1), "10.0.0.9");
    EXPECT_EQ(adapter_infos_walk(many.bytes, many.used, many.first, widen).size(), ADAPTER_RECORDS_MAX);

    // A description without its terminating zero stays inside its array.
    Buffer full;
    Info* info = full.adapter("", 1, "10.0.0.1");
    std::memset(info->Description, 'D', sizeof info->Description);
    const auto adapters = adapter_infos_walk(full.bytes, full.used, full.first, widen);
    ASSERT_EQ(adapters.size(), 1u);
    EXPECT_EQ(adapters[0].description, std::wstring(132, L'D'));
}

TEST(AdapterRecords, ALinkToAPlaceWhereNoRecordCanStartEndsTheWalk) {
    // Links inside the buffer with room for a whole record after them, but not at a record's alignment.
    for (const std::size_t skew : {std::size_t{1}, std::size_t{4}, alignof(Info) - 1}) {
        Buffer buffer;
        Info* one = buffer.adapter("One", 1, "10.0.0.1");
        buffer.adapter("Two", 2, "10.0.0.2");
        buffer.adapter("Three", 3, "10.0.0.3");
        one->Next = reinterpret_cast<Info*>(reinterpret_cast<unsigned char*>(one->Next) + skew);
        const auto adapters = adapter_infos_walk(buffer.bytes, buffer.used, buffer.first, widen);
        ASSERT_EQ(adapters.size(), 1u) << "skew " << skew;
        EXPECT_EQ(adapters[0].description, L"One");
    }
}

}  // namespace
