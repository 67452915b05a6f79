// The graph colour lists of the settings file: one "$"-terminated item per graph of a run.
#include "core/color_lists.h"

#include <atomic>

#include "core/control_numbers.h"
#include "core/format_text.h"
#include "core/settings_file_hooks.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"

namespace {

// Main thread (Ctrl+I); read by whichever thread saves the settings.
std::atomic<bool> colors_inverted{false};

// The fixed and per-core graphs show their complements while Ctrl+I is in effect; the GPU graphs never do.
bool shown_inverted(int graph) { return colors_inverted.load() && graph < SharedInts[GPU_GRAPH_START].load(); }

int32_t complement(int32_t color) { return 0xFFFFFF - (color & 0xFFFFFF); }

int32_t default_color_of(int graph) {
    if (graph < 0 || graph >= SHARED_INTS_COUNT) return 0;
    return SharedInts[graph].load();
}

std::wstring hex_upper(uint32_t value) {
    std::wstring text;
    do {
        text.insert(text.begin(), HEX_DIGITS[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return text;
}

// A hexadecimal item; -1 when it is not one (empty, other characters, or more than eight digits).
int64_t hex_value(std::wstring_view item) {
    if (item.empty() || item.size() > 8) return -1;
    int64_t value = 0;
    for (const wchar_t c : item) {
        int digit = -1;
        if (c >= L'0' && c <= L'9') digit = c - L'0';
        if (c >= L'A' && c <= L'F') digit = c - L'A' + 10;
        if (c >= L'a' && c <= L'f') digit = c - L'a' + 10;
        if (digit < 0) return -1;
        value = value * 16 + digit;
    }
    return value;
}

}  // namespace

std::wstring color_list_encode(int first, int last, const GraphColorRead& default_color, const GraphColorRead& color) {
    std::wstring list;
    for (int graph = first; graph <= last; ++graph) {
        const int32_t fallback = default_color(graph);
        if (fallback == 0) break;
        const int32_t current = color(graph);
        if (current != fallback) list += hex_upper(static_cast<uint32_t>(current));
        list += L'$';
    }
    while (!list.empty() && list.back() == L'$') list.pop_back();
    return list;
}

void color_list_decode(std::wstring_view text, int first, const GraphColorRead& default_color,
                       const GraphColorWrite& set_color) {
    int graph = first;
    if (default_color(graph) == 0) return;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(L'$', start);
        const std::wstring_view item = text.substr(start, end == std::wstring_view::npos ? text.npos : end - start);
        if (item.empty()) {
            set_color(graph, default_color(graph));
        } else {
            // Black and white stand for "no colour picked": the graph keeps what it has.
            const int64_t value = hex_value(item);
            if (value > 0 && value < 0xFFFFFF) set_color(graph, static_cast<int32_t>(value));
        }
        ++graph;
        if (default_color(graph) == 0) return;
        if (end == std::wstring_view::npos) break;
        start = end + 1;
    }
    for (; default_color(graph) > 0; ++graph) set_color(graph, default_color(graph));
}

std::wstring color_list_build(int first, int last) {
    const SettingsUiHooks hooks = settings_ui_hooks();
    if (!hooks.graph_color) return {};
    return color_list_encode(first, last, default_color_of, [&](int graph) {
        const int32_t color = hooks.graph_color(graph);
        if (color < 0) return default_color_of(graph);
        return shown_inverted(graph) ? complement(color) : color;
    });
}

void color_list_apply(std::wstring_view text, int first) {
    const SettingsUiHooks hooks = settings_ui_hooks();
    if (!hooks.graph_color_set) return;
    color_list_decode(text, first, default_color_of, [&](int graph, int32_t color) {
        hooks.graph_color_set(graph, shown_inverted(graph) ? complement(color) : color);
    });
}

void gpu_graph_colors_copy() {
    const SettingsUiHooks hooks = settings_ui_hooks();
    if (!hooks.graph_color || !hooks.graph_color_set) return;
    const int start = SharedInts[GPU_GRAPH_START].load();
    for (int slot = 1; slot < GRAPH_GPU_SLOTS; ++slot) {
        for (int k = 0; k < GPU_GRAPHS_PER_SLOT; ++k) {
            const int32_t color = hooks.graph_color(start + k);
            if (color >= 0 && hooks.graph_color(start + GPU_SLOT_STEP * slot + k) >= 0) {
                hooks.graph_color_set(start + GPU_SLOT_STEP * slot + k, color);
            }
        }
    }
}

void graph_colors_inverted_set(bool inverted) { colors_inverted = inverted; }

bool graph_colors_inverted() { return colors_inverted.load(); }

std::wstring color_list_build_bar() { return color_list_build(GRAPH_PHYSICAL_MEMORY, FIXED_GRAPH_LAST); }
std::wstring color_list_build_cpu() {
    return color_list_build(GRAPH_CPU_CORE_BASE, GRAPH_CPU_CORE_BASE + SharedInts[CORE_GRAPH_LAST].load());
}
std::wstring color_list_build_gpu() {
    const int start = SharedInts[GPU_GRAPH_START].load();
    return color_list_build(start, start + GPU_SLOT_STEP - 1);  // the first slot's numbers, used or not
}
