// The outside temperature tool's shared memory as we read it: our own layout of the four fields we use,
// a bounded parser over the mapped bytes, and the copy of its temperatures into the processor table.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "core/shared_tables.h"
#include "runtime/date.h"

// The names by which the tool is found. The process name is compared without regard to case.
inline constexpr const wchar_t* TEMP_TOOL_PROCESS_NAME = L"Core Temp.exe";
inline constexpr const wchar_t* TEMP_TOOL_MAPPING_NAME = L"CoreTempMappingObjectEx";

// Byte offsets from the start of the tool's view. Nothing else of the memory is read, nothing is written.
enum TempToolLayout : std::size_t {
    TEMP_TOOL_LIMIT_OFFSET = 1024,         // int32, the processor's temperature limit in degrees Celsius
    TEMP_TOOL_CORE_COUNT_OFFSET = 1536,    // int32, cores with a temperature
    TEMP_TOOL_TEMPERATURES_OFFSET = 1544,  // float32 per core, degrees Celsius
    TEMP_TOOL_NAME_OFFSET = 2584,          // zero-terminated processor name in the ANSI code page
    TEMP_TOOL_NAME_MAX = 256,              // bytes of the name we look at
};

// The temperature table ends where the name begins.
inline constexpr int TEMP_TOOL_TABLE_SLOTS =
    static_cast<int>((TEMP_TOOL_NAME_OFFSET - TEMP_TOOL_TEMPERATURES_OFFSET) / sizeof(float));

// One reading of the view. Every count is clamped to what the view and the processor table can hold.
struct TempToolReading {
    int32_t limit = 0;       // 1..150, else 0
    int32_t core_count = 0;  // 0..CPU_CORE_ENTRY_COUNT, never beyond the view
    std::array<float, CPU_CORE_ENTRY_COUNT> temperatures{};
    std::string cpu_name;  // raw bytes up to the terminator, the view's end or TEMP_TOOL_NAME_MAX
};

// Reads the fields from the bytes of a view of any size. Fields that lie beyond the view read as 0 or empty.
TempToolReading temp_tool_reading_parse(std::span<const std::uint8_t> view);

// True for a temperature we accept: finite and within -150..150 degrees.
bool temp_tool_temperature_valid(float degrees);

// Copies the reading's temperatures into the table in core order. Returns -1 as soon as a temperature that
// changed is out of range (it is stored, the rest is not looked at), otherwise the number that changed.
int temp_tool_temperatures_apply(const TempToolReading& reading, std::array<CpuCoreEntry, CPU_CORE_ENTRY_COUNT>& table);

// Sets every entry's temperature to 0 (no temperature).
void temp_tool_temperatures_clear(std::array<CpuCoreEntry, CPU_CORE_ENTRY_COUNT>& table);

// A temperature as whole degrees: rounded to the nearest (halves away from zero) or down; 0 when not finite,
// and limited to -1000..1000 so that any value converts.
int32_t temperature_rounded(float degrees);
int32_t temperature_floor(float degrees);

// Appends one point to a history kept at most `length` points long (at least 1, whatever the layout says):
// the oldest points go first. The caller holds HistoryMutex.
void temperature_history_append(HistoryList& history, const HistoryPoint& point, int length);
