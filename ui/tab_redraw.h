// What the visible-tab redraw paints on each tab: the graphs with their captions and the strips, and the
// sources of the Graphics tab's readings and the Ping tab's drawing.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/control_numbers.h"
#include "core/shared_tables.h"

// The four captions of one graph drawing (empty: none).
struct GraphCaptions {
    std::wstring title;
    std::wstring value;  // the unit is written after it
    std::wstring subtitle;
    std::wstring footer;
};

enum class TabDrawKind : uint8_t { GRAPH, CPU_STRIP, GPU_STRIP, PING };

// One thing a tab redraw paints, in order.
struct TabDrawStep {
    TabDrawKind kind = TabDrawKind::GRAPH;
    int number = 0;  // graph number, or the strip's canvas
    int index = 0;   // CPU strip: the core; GPU strip: the GPU entry
    int alpha = 128;
    GraphCaptions captions;
};

// The GPU entry that GPU_SELECTED names, checked against the entries that exist before it is used.
struct GpuChoice {
    int entry = 0;         // index in GpuEntryIndex, and the graph slot of the GPU
    bool amd = false;      // vendor letter "A"; any other letter is NVIDIA
    int vendor_index = 0;  // index in the vendor's own table
};

// Nothing unless 0 <= selected < entry_count, selected names a letter, a vendor index that is not negative
// and a graph slot (below GRAPH_GPU_SLOTS).
std::optional<GpuChoice> gpu_choice(int selected, int entry_count, std::span<const wchar_t> letters,
                                    std::span<const int32_t> vendor_indexes);
// The same for an entry (or GPU_SELECTED) against GpuEntryIndex now.
std::optional<GpuChoice> gpu_choice_of(int entry);
std::optional<GpuChoice> gpu_choice_current();

// What the Graphics tab shows of one GPU, as the GPU monitor reads it from its records.
struct GpuTabReading {
    std::wstring label;                                  // two characters, e.g. "G1"
    std::array<bool, GPU_GRAPHS_PER_SLOT> graph_live{};  // by graph of the slot: the graphs with a value
    int64_t gpu_percent = 0;                             // utilisation or activity
    int64_t memory_percent = 0;
    int64_t fan_percent = 0;
    int64_t core_clock_mhz = 0;
    int64_t core_clock_percent = 0;
    int64_t memory_clock_mhz = 0;
    int64_t memory_clock_percent = 0;
    int64_t power_w = 0;                   // whole watts (NVIDIA: milliwatts / 1000, truncated)
    const HistoryList* history = nullptr;  // the GPU's temperature history, read under HistoryMutex
    int temperature_limit = 0;             // 0: none
};

// The GPU monitor installs the source of its readings once; false from it (or no source) shows no graphs
// and a grey strip. Called on the redrawing threads, without locks held by the caller.
using GpuTabSource = bool (*)(const GpuChoice& choice, GpuTabReading& out);
void gpu_tab_source_set(GpuTabSource source);
bool gpu_tab_reading(const GpuChoice& choice, GpuTabReading& out);

// The Ping tab's drawing (status line, then host list); none until the network monitor installs it.
using PingTabDraw = void (*)();
void ping_tab_draw_set(PingTabDraw draw);
void ping_tab_draw();

// ---- Captions ----

// A processor's value caption: "47.3C  12" with a temperature that rounds to non-zero, else "12".
std::wstring core_value_caption(float temperature, int load);

// The captions of processor graph: its label, the value caption, the clock when the graphs are at least
// header_text_height tall, and on the last processor the span text when they are 1.25 times that.
GraphCaptions core_graph_captions(std::wstring_view label, float temperature, int load, int mhz, bool last,
                                  int graph_height, int header_text_height, std::wstring_view span_text);

// The text keys of the names of a GPU slot's graphs, GRAPH_GPU_UTILISATION first.
inline constexpr std::array<const wchar_t*, GPU_GRAPHS_PER_SLOT> GPU_GRAPH_NAMES = {
    L"GPU Utilization", L"Memory Utilization", L"Fan Speed", L"GPU Clock", L"Memory Clock", L"Power Usage"};

// The captions of graph j (0..5) of a GPU slot: "G1 - GPU Utilization" and its value or subtitle.
GraphCaptions gpu_graph_captions(const GpuTabReading& reading, int j);

// The CPU Speed graph's subtitle: "<caption> (<percent>%)".
std::wstring cpu_speed_subtitle(std::wstring_view caption, int64_t percent);

// Everything tab 0..5 paints, from the shared state and the GPU source now; nothing for other tabs.
std::vector<TabDrawStep> tab_redraw_plan(int tab);
