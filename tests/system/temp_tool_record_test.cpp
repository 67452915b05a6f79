// Reading the temperature tool's shared memory from byte buffers, including ones that lie about their size.
#include "system/temp_tool_record.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

// A view as the tool publishes it, of exactly `size` bytes (ASan catches a read past it).
struct ToolMemory {
    std::vector<std::uint8_t> bytes;
    explicit ToolMemory(std::size_t size = 4096) : bytes(size, 0) {}
    template <typename T>
    void put(std::size_t offset, T value) {
        if (offset + sizeof value <= bytes.size()) std::memcpy(bytes.data() + offset, &value, sizeof value);
    }
    void name(const std::string& text) {
        for (std::size_t i = 0; i < text.size() && TEMP_TOOL_NAME_OFFSET + i < bytes.size(); ++i)
            bytes[TEMP_TOOL_NAME_OFFSET + i] = static_cast<std::uint8_t>(text[i]);
    }
    void cores(std::initializer_list<float> degrees) {
        put<int32_t>(TEMP_TOOL_CORE_COUNT_OFFSET, static_cast<int32_t>(degrees.size()));
        std::size_t j = 0;
        for (float d : degrees) put<float>(TEMP_TOOL_TEMPERATURES_OFFSET + 4 * j++, d);
    }
    TempToolReading parse() const { return temp_tool_reading_parse(bytes); }
};

void clear_table() { temp_tool_temperatures_clear(CpuCoreTable); }

}  // namespace

TEST(TempToolRecord, ReadsTheFourFieldsAtTheirOffsets) {
    ToolMemory memory;
    memory.put<int32_t>(TEMP_TOOL_LIMIT_OFFSET, 100);
    memory.cores({41.5f, 43.0f, 39.25f});
    memory.name("Intel Core i7-8700");
    const TempToolReading reading = memory.parse();
    EXPECT_EQ(reading.limit, 100);
    ASSERT_EQ(reading.core_count, 3);
    EXPECT_FLOAT_EQ(reading.temperatures[0], 41.5f);
    EXPECT_FLOAT_EQ(reading.temperatures[2], 39.25f);
    EXPECT_EQ(reading.cpu_name, "Intel Core i7-8700");
}

TEST(TempToolRecord, LimitIsKeptOnlyFromOneTo150) {
    const struct {
        int32_t stored;
        int32_t kept;
    } cases[] = {{0, 0}, {1, 1}, {95, 95}, {150, 150}, {151, 0}, {-20, 0}, {std::numeric_limits<int32_t>::min(), 0}};
    for (const auto& c : cases) {
        ToolMemory memory;
        memory.put<int32_t>(TEMP_TOOL_LIMIT_OFFSET, c.stored);
        EXPECT_EQ(memory.parse().limit, c.kept) << c.stored;
    }
}

TEST(TempToolRecord, CoreCountIsClampedToTheTableAndTheView) {
    const struct {
        std::size_t view_size;
        int32_t claimed;
        int32_t used;
    } cases[] = {
        {4096, 8, 8},
        {4096, 100000, CPU_CORE_ENTRY_COUNT},  // more than the table
        {4096, std::numeric_limits<int32_t>::max(), CPU_CORE_ENTRY_COUNT},
        {4096, -3, 0},                                       // negative
        {TEMP_TOOL_TEMPERATURES_OFFSET + 4 * 3, 64, 3},      // the view ends after three temperatures
        {TEMP_TOOL_TEMPERATURES_OFFSET + 4 * 3 + 2, 64, 3},  // and a partial one is not read
        {TEMP_TOOL_TEMPERATURES_OFFSET, 64, 0},
        {TEMP_TOOL_CORE_COUNT_OFFSET + 2, 64, 0},  // the count itself is cut off
        {16, 64, 0},
        {0, 64, 0},
    };
    for (const auto& c : cases) {
        ToolMemory memory(c.view_size);
        memory.put<int32_t>(TEMP_TOOL_CORE_COUNT_OFFSET, c.claimed);
        for (int j = 0; j < 200; ++j) memory.put<float>(TEMP_TOOL_TEMPERATURES_OFFSET + 4 * j, 30.0f + j);
        const TempToolReading reading = memory.parse();
        EXPECT_EQ(reading.core_count, c.used) << "view " << c.view_size << ", claimed " << c.claimed;
        if (reading.core_count > 0) {
            EXPECT_FLOAT_EQ(reading.temperatures[reading.core_count - 1], 30.0f + reading.core_count - 1);
        }
    }
}

TEST(TempToolRecord, NameEndsAtItsTerminatorTheViewOrItsRoom) {
    ToolMemory terminated;
    terminated.name("AMD Ryzen");
    EXPECT_EQ(terminated.parse().cpu_name, "AMD Ryzen");

    ToolMemory cut(TEMP_TOOL_NAME_OFFSET + 5);  // no terminator before the view ends
    cut.name("ABCDEFGH");
    EXPECT_EQ(cut.parse().cpu_name, "ABCDE");

    ToolMemory before_name(TEMP_TOOL_NAME_OFFSET);
    EXPECT_EQ(before_name.parse().cpu_name, "");

    ToolMemory long_name(TEMP_TOOL_NAME_OFFSET + 1000);
    long_name.name(std::string(900, 'x'));
    EXPECT_EQ(long_name.parse().cpu_name.size(), static_cast<std::size_t>(TEMP_TOOL_NAME_MAX));
}

TEST(TempToolRecord, ApplyCountsChangesAndStopsAtATemperatureOutOfRange) {
    clear_table();
    ToolMemory memory;
    memory.cores({40.0f, 41.0f, 42.0f});
    EXPECT_EQ(temp_tool_temperatures_apply(memory.parse(), CpuCoreTable), 3);
    EXPECT_EQ(temp_tool_temperatures_apply(memory.parse(), CpuCoreTable), 0);  // nothing changed
    memory.cores({40.0f, 44.0f, 42.0f});
    EXPECT_EQ(temp_tool_temperatures_apply(memory.parse(), CpuCoreTable), 1);
    EXPECT_FLOAT_EQ(CpuCoreTable[1].temperature.load(), 44.0f);

    const float bad[] = {151.0f, -151.0f, std::numeric_limits<float>::quiet_NaN(),
                         std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity()};
    for (float degrees : bad) {
        clear_table();
        memory.cores({40.0f, degrees, 42.0f});
        EXPECT_EQ(temp_tool_temperatures_apply(memory.parse(), CpuCoreTable), -1) << degrees;
        EXPECT_FLOAT_EQ(CpuCoreTable[2].temperature.load(), 0.0f) << "the loop stops at the bad value";
    }
    clear_table();
    memory.cores({150.0f, -150.0f});
    EXPECT_EQ(temp_tool_temperatures_apply(memory.parse(), CpuCoreTable), 2);
}

TEST(TempToolRecord, ApplyNeverWritesBeyondTheTableWhateverTheCountSays) {
    clear_table();
    TempToolReading reading;
    reading.core_count = 100000;  // a reading built by hand cannot push the copy past the table either
    reading.temperatures.fill(50.0f);
    EXPECT_EQ(temp_tool_temperatures_apply(reading, CpuCoreTable), CPU_CORE_ENTRY_COUNT);
    EXPECT_FLOAT_EQ(CpuCoreTable[CPU_CORE_ENTRY_COUNT - 1].temperature.load(), 50.0f);
    temp_tool_temperatures_clear(CpuCoreTable);
    for (const auto& entry : CpuCoreTable) EXPECT_EQ(entry.temperature.load(), 0.0f);
}

TEST(TempToolRecord, WholeDegreesRoundOrFloorAndSurviveNonsense) {
    EXPECT_EQ(temperature_rounded(41.5f), 42);
    EXPECT_EQ(temperature_rounded(41.49f), 41);
    EXPECT_EQ(temperature_floor(41.9f), 41);
    EXPECT_EQ(temperature_floor(-0.5f), -1);
    EXPECT_EQ(temperature_rounded(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(temperature_floor(std::numeric_limits<float>::infinity()), 0);
    EXPECT_EQ(temperature_rounded(1e30f), 1000);
}

TEST(TempToolRecord, HistoryStaysBoundedEvenWithoutALength) {
    HistoryList history;
    for (int i = 0; i < 10; ++i) temperature_history_append(history, HistoryPoint{0, i, i}, 4);
    ASSERT_EQ(history.size(), 4u);
    EXPECT_EQ(history.front().temperature, 6);
    EXPECT_EQ(history.back().temperature, 9);

    // A layout that has not set the strip width yet (0) or a nonsense width must not hang or grow the list.
    for (int length : {0, -5}) {
        for (int i = 0; i < 5; ++i) temperature_history_append(history, HistoryPoint{0, i, i}, length);
        EXPECT_EQ(history.size(), 1u);
        EXPECT_EQ(history.back().temperature, 4);
    }
}
