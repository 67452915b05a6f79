// The outside temperature tool's shared memory: bounded reading of our four fields and the table copy.
#include "system/temp_tool_record.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// A little-endian field of the view, or 0 when the view ends before it.
template <typename T>
T field_at(std::span<const std::uint8_t> view, std::size_t offset) {
    T value{};
    if (offset <= view.size() && view.size() - offset >= sizeof(T))
        std::memcpy(&value, view.data() + offset, sizeof(T));
    return value;
}

}  // namespace

TempToolReading temp_tool_reading_parse(std::span<const std::uint8_t> view) {
    TempToolReading reading;
    const int32_t limit = field_at<int32_t>(view, TEMP_TOOL_LIMIT_OFFSET);
    reading.limit = limit >= 1 && limit <= 150 ? limit : 0;

    // The tool's count is taken as a wish: no more cores than the table holds, than fit before the name,
    // or than the view actually contains.
    const int32_t claimed = field_at<int32_t>(view, TEMP_TOOL_CORE_COUNT_OFFSET);
    int64_t in_view = 0;
    if (view.size() > TEMP_TOOL_TEMPERATURES_OFFSET) {
        in_view = static_cast<int64_t>((view.size() - TEMP_TOOL_TEMPERATURES_OFFSET) / sizeof(float));
    }
    const int64_t count =
        std::min<int64_t>({claimed < 0 ? 0 : claimed, CPU_CORE_ENTRY_COUNT, TEMP_TOOL_TABLE_SLOTS, in_view});
    reading.core_count = static_cast<int32_t>(count);
    for (int32_t j = 0; j < reading.core_count; ++j) {
        reading.temperatures[j] = field_at<float>(view, TEMP_TOOL_TEMPERATURES_OFFSET + sizeof(float) * j);
    }

    if (view.size() > TEMP_TOOL_NAME_OFFSET) {
        const std::size_t room = std::min<std::size_t>(view.size() - TEMP_TOOL_NAME_OFFSET, TEMP_TOOL_NAME_MAX);
        const auto* first = reinterpret_cast<const char*>(view.data() + TEMP_TOOL_NAME_OFFSET);
        const auto* end = static_cast<const char*>(std::memchr(first, 0, room));
        reading.cpu_name.assign(first, end ? static_cast<std::size_t>(end - first) : room);
    }
    return reading;
}

bool temp_tool_temperature_valid(float degrees) {
    return std::isfinite(degrees) && degrees >= -150.0f && degrees <= 150.0f;
}

int temp_tool_temperatures_apply(const TempToolReading& reading,
                                 std::array<CpuCoreEntry, CPU_CORE_ENTRY_COUNT>& table) {
    int changed = 0;
    const int count = std::clamp<int>(reading.core_count, 0, CPU_CORE_ENTRY_COUNT);
    for (int j = 0; j < count; ++j) {
        const float degrees = reading.temperatures[j];
        const float stored = table[j].temperature.load(std::memory_order_relaxed);
        // Compared bit for bit, so that a NaN counts as a change once and is then caught below.
        if (std::memcmp(&degrees, &stored, sizeof degrees) == 0) continue;
        table[j].temperature.store(degrees, std::memory_order_relaxed);
        if (!temp_tool_temperature_valid(degrees)) return -1;
        ++changed;
    }
    return changed;
}

void temp_tool_temperatures_clear(std::array<CpuCoreEntry, CPU_CORE_ENTRY_COUNT>& table) {
    for (auto& entry : table) entry.temperature.store(0.0f, std::memory_order_relaxed);
}

int32_t temperature_rounded(float degrees) {
    if (!std::isfinite(degrees)) return 0;
    return static_cast<int32_t>(std::lround(std::clamp(degrees, -1000.0f, 1000.0f)));
}

int32_t temperature_floor(float degrees) {
    if (!std::isfinite(degrees)) return 0;
    return static_cast<int32_t>(std::floor(std::clamp(degrees, -1000.0f, 1000.0f)));
}

void temperature_history_append(HistoryList& history, const HistoryPoint& point, int length) {
    const std::size_t kept = static_cast<std::size_t>(std::max(length, 1));
    while (!history.empty() && history.size() >= kept) history.pop_front();
    history.push_back(point);
}
