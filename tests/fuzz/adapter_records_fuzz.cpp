// Fuzz target: the walk over adapter-information records by their Next links, on buffers whose links point
// anywhere: inside, past the end, before the start, at an odd place, in a circle, or far away. Every text the
// walk reads lies inside the buffer and inside its field, at most ADAPTER_RECORDS_MAX records are taken, and
// the lease times are the low 32 bits of the stored ones.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "network/adapter_records.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/network/adapter_info_layout.h"

namespace {

using adapter_layout::AddrString;
using adapter_layout::Info;

const unsigned char* buffer_start = nullptr;
std::size_t buffer_size = 0;
std::size_t texts_read = 0;

// Checks where each text lies, and widens it byte by byte.
std::wstring widen_checked(std::string_view text) {
    const auto at = reinterpret_cast<uintptr_t>(text.data());
    const auto start = reinterpret_cast<uintptr_t>(buffer_start);
    PROPERTY(at >= start && at - start <= buffer_size && text.size() <= buffer_size - (at - start));
    PROPERTY(text.size() <= sizeof(Info::Description));
    PROPERTY(text.find('\0') == std::string_view::npos);
    ++texts_read;
    return std::wstring(text.begin(), text.end());
}

// A link word as the input gives it: 0 is the end of the list; a top half of all ones keeps the word as a wild
// address; anything else is an offset from the buffer's start (the low half, signed).
uintptr_t link_target(uint64_t word) {
    if (word == 0) return 0;
    if ((word >> 32) == 0xFFFFFFFFu) return static_cast<uintptr_t>(word);
    const auto offset = static_cast<int64_t>(static_cast<int32_t>(word & 0xFFFFFFFFu));
    return reinterpret_cast<uintptr_t>(buffer_start) + static_cast<uintptr_t>(offset);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // Four bytes give the first record's offset (signed); the rest is the buffer as Windows would have filled it.
    if (size < 4 || size > 64 * 1024) return 0;
    uint32_t first_offset = 0;
    std::memcpy(&first_offset, data, 4);
    buffer_size = size - 4;
    // A heap block of exactly the buffer's size (a read past it stops the run), aligned for the records as the
    // system's allocation is.
    const std::unique_ptr<unsigned char[]> storage(new unsigned char[buffer_size]);
    unsigned char* bytes = storage.get();
    if (buffer_size) std::memcpy(bytes, data + 4, buffer_size);
    buffer_start = bytes;

    // Turn the Next words along the chain into addresses, as the walk would meet them. Only words wholly inside
    // the buffer are rewritten, each once.
    const uintptr_t first = reinterpret_cast<uintptr_t>(bytes) +
                            static_cast<uintptr_t>(static_cast<int64_t>(static_cast<int32_t>(first_offset)));
    std::set<std::size_t> rewritten;
    uintptr_t at = first;
    const auto start = reinterpret_cast<uintptr_t>(bytes);
    for (int hop = 0; hop < 64 && at >= start && at - start + sizeof(uint64_t) <= buffer_size; ++hop) {
        const std::size_t offset = at - start;
        if (!rewritten.insert(offset).second) break;
        uint64_t word = 0;
        std::memcpy(&word, bytes + offset, sizeof word);
        const uintptr_t next = link_target(word);
        std::memcpy(bytes + offset, &next, sizeof next);
        at = next;
    }

    texts_read = 0;
    const std::vector<AdapterInfoFacts> adapters =
        adapter_infos_walk(bytes, buffer_size, reinterpret_cast<const Info*>(first), widen_checked);
    PROPERTY(adapters.size() <= ADAPTER_RECORDS_MAX);
    PROPERTY(texts_read == 11 * adapters.size());
    if (!adapters.empty()) {
        // The first record is the one the input named, whole inside the buffer.
        PROPERTY(first >= start && first - start + sizeof(Info) <= buffer_size);
        Info record;
        std::memcpy(&record, reinterpret_cast<const void*>(first), sizeof record);
        PROPERTY(adapters[0].index == record.Index);
        PROPERTY(adapters[0].lease_obtained == static_cast<int32_t>(static_cast<uint32_t>(record.LeaseObtained)));
        PROPERTY(adapters[0].lease_expires == static_cast<int32_t>(static_cast<uint32_t>(record.LeaseExpires)));
        PROPERTY(adapters[0].dhcp_enabled == (record.DhcpEnabled ? 1 : 0));
    }
    return 0;
}
