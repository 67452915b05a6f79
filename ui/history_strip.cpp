// Temperature histories and their strips: bounded appends, the band's colour runs and texts, the read-out.
#include "ui/history_strip.h"

#include <algorithm>
#include <mutex>

#include "core/language.h"
#include "core/shared_state.h"
#include "ui/graph_geometry.h"

namespace {

std::wstring degrees_text(int degrees) { return std::to_wstring(degrees) + L"C"; }

}  // namespace

void history_point_add(HistoryList& history, const HistoryPoint& point) {
    const size_t limit = static_cast<size_t>(std::max(SharedInts[HISTORY_LENGTH].load(std::memory_order_relaxed), 1));
    std::lock_guard guard(HistoryMutex);
    while (history.size() >= limit) history.pop_front();
    history.push_back(point);
}

StripPicture temperature_strip_plan(const HistoryList& history, int canvas_width, int canvas_height, bool source_ready,
                                    bool ignore_cold_extremes, int limit) {
    StripPicture picture;
    picture.band_width = std::max(canvas_width - 2, 0);
    picture.band_height = std::max(canvas_height - 2, 0);
    const int width = picture.band_width;
    if (!source_ready || width < 1 || picture.band_height < 1) return picture;

    std::lock_guard guard(HistoryMutex);
    if (history.empty() || history.back().temperature == 0) return picture;
    const int64_t count = static_cast<int64_t>(history.size());
    picture.blank = false;
    picture.start = count < width ? static_cast<int>(width - count + 1) : 1;

    auto point = history.rbegin();
    picture.newest = picture.minimum = picture.maximum = point->temperature;
    int32_t color = point->color;
    int run = 1;
    // One column per point leftwards from the newest; equal neighbouring colours make one run.
    for (int x = width; x > picture.start; --x) {
        ++point;
        const int t = point->temperature;
        if (!ignore_cold_extremes || t >= 1) {
            picture.minimum = std::min(picture.minimum, t);
            picture.maximum = std::max(picture.maximum, t);
        }
        if (point->color == color) {
            ++run;
            continue;
        }
        picture.runs.push_back({x, run, color});
        color = point->color;
        run = 1;
    }
    picture.runs.push_back({picture.start, run, color});

    picture.now_text = degrees_text(picture.newest);
    picture.range_text = tr(L"Min") + L" " + degrees_text(picture.minimum) + L"   " + tr(L"Max") + L" " +
                         degrees_text(picture.maximum) + L"   ";
    if (limit != 0) picture.range_text += tr(L"Limit") + L" " + degrees_text(limit);
    return picture;
}

StripPicture cpu_temperature_strip_plan(int canvas_width, int canvas_height, int core) {
    if (core < 0 || core >= CPU_CORE_ENTRY_COUNT)
        return temperature_strip_plan({}, canvas_width, canvas_height, false, true, 0);
    const bool connected = SharedInts[TEMP_TOOL_STATE].load(std::memory_order_relaxed) == TEMP_TOOL_CONNECTED;
    return temperature_strip_plan(CpuCoreTable[core].history, canvas_width, canvas_height, connected, true,
                                  SharedInts[CPU_TEMP_LIMIT].load(std::memory_order_relaxed));
}

int strip_now_text_x(int band_width, double text_width) { return graph_round((band_width - text_width) / 2.0); }

std::wstring temperature_position_text(const HistoryList& history, int64_t offset, std::wstring_view source_label) {
    std::lock_guard guard(HistoryMutex);
    const std::optional<size_t> index = readout_index(history.size(), offset);
    if (!index) return {};
    const HistoryPoint& point = history[*index];
    SharedQuads[AGE_STAMP].store(point.date, std::memory_order_relaxed);
    std::wstring text = tr(L"Position");
    text += L": " + std::to_wstring(offset) + L"/" + std::to_wstring(history.size() - 1);
    text += date_format(L" = %yyyy-%mm-%dd  %hh:%ii:%ss  ", point.date);
    text += source_label;
    text += L" " + degrees_text(point.temperature) + L" ~";
    return text;
}

std::wstring cpu_temperature_position_text(int /*canvas*/, int64_t offset, int core) {
    if (core < 0 || core >= CPU_CORE_ENTRY_COUNT) return {};
    return temperature_position_text(CpuCoreTable[core].history, offset, L"CPU");
}
