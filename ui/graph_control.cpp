// Graph samples, the rate-graph rescaling, the decision of the visible-tab redraw and the temperature colours.
#include "ui/graph_control.h"

#include <algorithm>
#include <atomic>
#include <mutex>

#include "core/control_numbers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "ui/graph_descriptor.h"
#include "ui/graph_geometry.h"

namespace {

std::atomic<bool (*)()> hook_main_window_visible{nullptr};
std::atomic<int (*)()> hook_shown_tab{nullptr};
std::atomic<void (*)(int)> hook_draw_tab{nullptr};

// The RateGraphScales entry of a rate graph, or -1.
int rate_graph_entry(int graph) {
    switch (graph) {
        case GRAPH_DISK_WRITE: return 0;
        case GRAPH_DISK_READ: return 1;
        case GRAPH_NET_SEND: return 2;
        case GRAPH_NET_RECEIVE: return 3;
        default: return -1;
    }
}

// The next multiple of 128 KB strictly above kb.
int64_t rate_scale_above(int64_t kb) { return (kb / 128 + 1) * 128; }

}  // namespace

void graph_add_sample(int graph, float value, int count) {
    // Samplers may start before a graph of theirs exists (or a GPU slot has no graphs); without a width
    // there is nowhere to keep a sample, so it is dropped.
    GraphDescriptor* descriptor = graph_descriptor(graph);
    if (!descriptor) return;
    const int64_t averaging = descriptor->attributes[GRAPH_ATTR_AVERAGING].load(std::memory_order_relaxed);

    std::lock_guard guard(GraphSamplesMutex);
    GraphSampleRing& ring = descriptor->samples;
    if (value > 0 && averaging > 0 && ring.size() > 0) {
        // Stored samples are already averaged; a stored 0 ends the run being averaged over.
        int64_t n = 1;
        for (size_t age = 0; age < ring.size() && n <= averaging; ++age) {
            const float stored = ring.from_newest(age).value;
            if (stored == 0) break;
            value += stored;
            ++n;
        }
        value /= static_cast<float>(n);
    }
    const GraphSample sample{date_now(), value};
    // More appends than the ring holds would only overwrite themselves.
    const size_t repeat = std::min(static_cast<size_t>(std::max(count, 1)), std::max<size_t>(ring.capacity(), 1));
    for (size_t i = 0; i < repeat; ++i) ring.push(sample);
}

void rate_graph_autoscale(int graph, int64_t bytes) {
    const int entry = rate_graph_entry(graph);
    if (entry < 0) return;
    const float scale = graphs_device_scale();
    const int64_t limit = graph_scaled(120, scale);
    const int64_t reset = graph_scaled(30, scale);

    // One thread rescales each entry; the atomics only keep the drive watcher's start values whole.
    RateGraphScale& state = RateGraphScales[entry];
    constexpr auto relaxed = std::memory_order_relaxed;
    const int64_t kb = bytes / 1024;
    state.current_kb.store(kb, relaxed);
    if (kb > state.scale_top.load(relaxed)) {
        const int64_t top = rate_scale_above(kb);
        state.scale_top.store(top, relaxed);
        graph_set_attribute(graph, GRAPH_ATTR_TOP, top);
        state.quiet_count.store(0, relaxed);
        state.peak.store(127, relaxed);
        return;
    }
    const int64_t quiet = state.quiet_count.load(relaxed) + 1;
    state.quiet_count.store(quiet, relaxed);
    int64_t peak = state.peak.load(relaxed);
    if (kb > peak) {
        peak = kb;
        state.peak.store(peak, relaxed);
    }
    if (quiet > limit) {
        // Shrink to just above the recent peak, then again every (limit - reset) quiet samples.
        const int64_t top = rate_scale_above(peak);
        state.scale_top.store(top, relaxed);
        graph_set_attribute(graph, GRAPH_ATTR_TOP, top);
        state.quiet_count.store(reset, relaxed);
        state.peak.store(127, relaxed);
    }
}

int32_t graph_plot_color(int graph) {
    if (!graph_descriptor(graph)) return -1;
    return static_cast<int32_t>(graph_get_attribute(graph, GRAPH_ATTR_PLOT_COLOR));
}

void graph_plot_color_set(int graph, int32_t color) { graph_set_attribute(graph, GRAPH_ATTR_PLOT_COLOR, color); }

void graphs_refresh_hooks_set(const GraphsRefreshHooks& hooks) {
    hook_main_window_visible.store(hooks.main_window_visible);
    hook_shown_tab.store(hooks.shown_tab);
    hook_draw_tab.store(hooks.draw_tab);
}

GraphsRefreshDecision graphs_refresh_decide(int tab, bool force, bool throttle, bool main_window_visible, int shown_tab,
                                            Date now, Date last_stamp, int last_tab) {
    GraphsRefreshDecision decision;
    if (!main_window_visible && !force) return decision;
    if (throttle && last_stamp >= now && last_tab == tab) return decision;
    // The Events, Settings and About tabs have nothing drawn here.
    decision.draw = tab == shown_tab && tab >= TAB_SYSTEM && tab <= TAB_PING;
    decision.stamp = throttle;
    return decision;
}

void graphs_refresh(int tab, GraphsRefreshForce force, GraphsRefreshThrottle throttle) {
    bool (*visible)() = hook_main_window_visible.load();
    const bool main_window_visible = visible && visible();
    if (!main_window_visible && !force) return;
    int (*shown)() = hook_shown_tab.load();
    const Date now = date_now();
    const GraphsRefreshDecision decision =
        graphs_refresh_decide(tab, force, throttle, main_window_visible, shown ? shown() : -1, now,
                              SharedQuads[REFRESH_STAMP].load(std::memory_order_relaxed),
                              SharedInts[REFRESH_LAST_TAB].load(std::memory_order_relaxed));
    if (decision.draw) {
        if (void (*draw)(int) = hook_draw_tab.load()) draw(tab);
    }
    if (decision.stamp) {
        SharedQuads[REFRESH_STAMP].store(now, std::memory_order_relaxed);
        SharedInts[REFRESH_LAST_TAB].store(tab, std::memory_order_relaxed);
    }
}

int32_t temperature_color(int degrees) {
    // 0x00BBGGRR: cyan through white to red.
    if (degrees >= 0 && degrees <= 42) return 0xFFFF00 | (6 * degrees);
    if (degrees >= 43 && degrees <= 84) {
        const int32_t fade = 507 - 6 * degrees;
        return (fade << 16) | (fade << 8) | 0xFF;
    }
    return 0x0000FF;
}

std::wstring graph_position_text(int graph, int64_t offset) {
    const GraphDescriptor* descriptor = graph_descriptor(graph);
    if (!descriptor) return {};
    std::lock_guard guard(GraphSamplesMutex);
    const GraphSampleRing& ring = descriptor->samples;
    const std::optional<size_t> index = readout_index(ring.size(), offset);
    if (!index) return {};
    const GraphSample sample = ring.at(*index);
    SharedQuads[AGE_STAMP].store(sample.date, std::memory_order_relaxed);
    return graph_readout_text(tr(L"Position"), offset, ring.size(), sample, graph_unit(graph));
}
