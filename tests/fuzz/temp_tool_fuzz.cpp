// Fuzz target: the outside temperature tool's shared memory as the sampler reads it, over a view of any size and
// content. The limit is 0 or 1..150, the core count never exceeds the table, the slots before the name or the
// view, each temperature is the float at its own offset, the name is the bytes up to its terminator within 256,
// and copying the reading into the processor table stores exactly the temperatures it accepted.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "system/temp_tool_record.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> view(data, size);
    const TempToolReading reading = temp_tool_reading_parse(view);

    PROPERTY(reading.limit == 0 || (reading.limit >= 1 && reading.limit <= 150));
    const size_t in_view =
        size > TEMP_TOOL_TEMPERATURES_OFFSET ? (size - TEMP_TOOL_TEMPERATURES_OFFSET) / sizeof(float) : 0;
    PROPERTY(reading.core_count >= 0 && reading.core_count <= CPU_CORE_ENTRY_COUNT &&
             reading.core_count <= TEMP_TOOL_TABLE_SLOTS && static_cast<size_t>(reading.core_count) <= in_view);
    for (int j = 0; j < reading.core_count; ++j) {
        float stored = 0;
        std::memcpy(&stored, data + TEMP_TOOL_TEMPERATURES_OFFSET + sizeof(float) * j, sizeof(float));
        PROPERTY(std::memcmp(&stored, &reading.temperatures[static_cast<size_t>(j)], sizeof(float)) == 0);
    }
    PROPERTY(reading.cpu_name.size() <= TEMP_TOOL_NAME_MAX);
    if (size > TEMP_TOOL_NAME_OFFSET) {
        const size_t room = std::min<size_t>(size - TEMP_TOOL_NAME_OFFSET, TEMP_TOOL_NAME_MAX);
        PROPERTY(reading.cpu_name.size() <= room);
        PROPERTY(std::memcmp(reading.cpu_name.data(), data + TEMP_TOOL_NAME_OFFSET, reading.cpu_name.size()) == 0);
        PROPERTY(reading.cpu_name.size() == room || data[TEMP_TOOL_NAME_OFFSET + reading.cpu_name.size()] == 0);
    } else {
        PROPERTY(reading.cpu_name.empty());
    }

    // Into a table with no temperatures: a -1 stops at the first out-of-range change; otherwise every slot of the
    // reading is stored, and counted when its bits were not those of 0 already.
    static std::array<CpuCoreEntry, CPU_CORE_ENTRY_COUNT> table;
    temp_tool_temperatures_clear(table);
    const int changed = temp_tool_temperatures_apply(reading, table);
    PROPERTY(changed >= -1 && changed <= reading.core_count);
    if (changed >= 0) {
        int differing = 0;
        for (int j = 0; j < reading.core_count; ++j) {
            const float degrees = reading.temperatures[static_cast<size_t>(j)];
            PROPERTY(degrees == 0.0f || temp_tool_temperature_valid(degrees));
            PROPERTY(table[static_cast<size_t>(j)].temperature.load() == degrees);
            const float none = 0.0f;
            differing += std::memcmp(&degrees, &none, sizeof(float)) != 0 ? 1 : 0;  // compared bit for bit
        }
        PROPERTY(changed == differing);
    }
    return 0;
}
