// What the visible-tab redraw paints on each tab, with the captions of every graph.
#include "ui/tab_redraw.h"

#include <algorithm>
#include <atomic>

#include "core/control_numbers.h"
#include "core/format_number.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "ui/graph_descriptor.h"
#include "ui/graph_geometry.h"

namespace {

std::atomic<GpuTabSource> gpu_source{nullptr};
std::atomic<PingTabDraw> ping_draw{nullptr};

constexpr int SYSTEM_ALPHA = 64;
constexpr int GRAPH_ALPHA = 128;

TabDrawStep graph_step(int graph, int alpha, GraphCaptions captions) {
    TabDrawStep step;
    step.kind = TabDrawKind::GRAPH;
    step.number = graph;
    step.alpha = alpha;
    step.captions = std::move(captions);
    return step;
}

std::wstring cell_value(int cell, int slot) {
    return std::to_wstring(CompactCells[static_cast<size_t>(cell)].values[static_cast<size_t>(slot)].load());
}

void plan_system(std::vector<TabDrawStep>& steps) {
    steps.push_back(graph_step(GRAPH_PHYSICAL_MEMORY, SYSTEM_ALPHA,
                               {tr(L"Physical"), cell_value(CELL_PHYSICAL, MEMORY_SLOT_AVAILABLE_PERCENT)}));
    steps.push_back(graph_step(GRAPH_PAGEFILE, SYSTEM_ALPHA,
                               {tr(L"Pagefile"), cell_value(CELL_PAGEFILE, MEMORY_SLOT_AVAILABLE_PERCENT)}));
    steps.push_back(graph_step(GRAPH_CPU_SPEED, SYSTEM_ALPHA,
                               {tr(L"CPU Speed"),
                                {},
                                cpu_speed_subtitle(shared_text(CPU_SPEED_CAPTION),
                                                   CompactCells[CELL_CPU].values[CPU_SLOT_CLOCK_PERCENT].load())}));
    steps.push_back(graph_step(GRAPH_CPU_AVERAGE, SYSTEM_ALPHA,
                               {tr(L"CPU Avg"), std::to_wstring(SharedInts[CPU_LOAD_AVG].load())}));
}

void plan_processors(std::vector<TabDrawStep>& steps) {
    TabDrawStep strip;
    strip.kind = TabDrawKind::CPU_STRIP;
    strip.number = CANVAS_CPU_TEMPERATURE;
    strip.index = 0;
    steps.push_back(strip);

    const int count = std::clamp(SharedInts[CPU_COUNT].load(), 0, std::min(MAX_CPU_COUNT, CPU_CORE_ENTRY_COUNT));
    const int first_graph = SharedInts[CORE_GRAPH_START].load();
    const int graph_height = SharedInts[CORE_GRAPH_HEIGHT].load();
    const int header_height = SharedInts[HEADER_TEXT_HEIGHT].load();
    const std::wstring span = shared_text(CORE_SPAN_TEXT);
    for (int k = 0; k < count; ++k) {
        const CpuCoreEntry& core = CpuCoreTable[static_cast<size_t>(k)];
        steps.push_back(
            graph_step(first_graph + k, GRAPH_ALPHA,
                       core_graph_captions(core.label.view(), core.temperature.load(), core.load.load(),
                                           core.mhz.load(), k == count - 1, graph_height, header_height, span)));
    }
}

void plan_graphics(std::vector<TabDrawStep>& steps) {
    const std::optional<GpuChoice> choice = gpu_choice_current();
    if (!choice) return;
    TabDrawStep strip;
    strip.kind = TabDrawKind::GPU_STRIP;
    strip.number = CANVAS_GPU_TEMPERATURE;
    strip.index = choice->entry;
    steps.push_back(strip);

    GpuTabReading reading;
    if (!gpu_tab_reading(*choice, reading)) return;
    const int first_graph = SharedInts[GPU_GRAPH_START].load() + GPU_SLOT_STEP * choice->entry;
    for (int j = 0; j < GPU_GRAPHS_PER_SLOT; ++j) {
        // A graph without a value keeps its last picture.
        if (reading.graph_live[static_cast<size_t>(j)])
            steps.push_back(graph_step(first_graph + j, GRAPH_ALPHA, gpu_graph_captions(reading, j)));
    }
}

void plan_rates(std::vector<TabDrawStep>& steps, int first, const wchar_t* first_title, SharedQuadIndex first_value,
                int second, const wchar_t* second_title, SharedQuadIndex second_value) {
    steps.push_back(
        graph_step(first, GRAPH_ALPHA, {tr(first_title), std::to_wstring(SharedQuads[first_value].load())}));
    steps.push_back(
        graph_step(second, GRAPH_ALPHA, {tr(second_title), std::to_wstring(SharedQuads[second_value].load())}));
}

}  // namespace

std::optional<GpuChoice> gpu_choice(int selected, int entry_count, std::span<const wchar_t> letters,
                                    std::span<const int32_t> vendor_indexes) {
    if (selected < 0 || selected >= entry_count || static_cast<size_t>(selected) >= letters.size() ||
        static_cast<size_t>(selected) >= vendor_indexes.size() || selected >= GRAPH_GPU_SLOTS)
        return std::nullopt;
    GpuChoice choice;
    choice.entry = selected;
    choice.amd = letters[static_cast<size_t>(selected)] == L'A';
    choice.vendor_index = vendor_indexes[static_cast<size_t>(selected)];
    if (choice.vendor_index < 0) return std::nullopt;
    return choice;
}

std::optional<GpuChoice> gpu_choice_of(int entry) {
    return gpu_choice(entry, GpuEntryIndex.entry_count, GpuEntryIndex.letters, GpuEntryIndex.vendor_index);
}

std::optional<GpuChoice> gpu_choice_current() { return gpu_choice_of(SharedInts[GPU_SELECTED].load()); }

void gpu_tab_source_set(GpuTabSource source) { gpu_source.store(source); }

bool gpu_tab_reading(const GpuChoice& choice, GpuTabReading& out) {
    const GpuTabSource source = gpu_source.load();
    return source && source(choice, out);
}

void ping_tab_draw_set(PingTabDraw draw) { ping_draw.store(draw); }

void ping_tab_draw() {
    if (const PingTabDraw draw = ping_draw.load()) draw();
}

std::wstring core_value_caption(float temperature, int load) {
    std::wstring text;
    if (graph_round(temperature) != 0) text = format_fixed(temperature, 1) + L"C  ";
    return text + std::to_wstring(load);
}

GraphCaptions core_graph_captions(std::wstring_view label, float temperature, int load, int mhz, bool last,
                                  int graph_height, int header_text_height, std::wstring_view span_text) {
    GraphCaptions captions;
    captions.title = label;
    captions.value = core_value_caption(temperature, load);
    if (graph_height >= header_text_height) captions.subtitle = std::to_wstring(mhz) + L"MHz";
    if (last && graph_height >= header_text_height * 1.25) captions.footer = span_text;
    return captions;
}

GraphCaptions gpu_graph_captions(const GpuTabReading& reading, int j) {
    GraphCaptions captions;
    if (j < 0 || j >= GPU_GRAPHS_PER_SLOT) return captions;
    captions.title = reading.label + L" - " + tr(GPU_GRAPH_NAMES[static_cast<size_t>(j)]);
    auto clock = [](int64_t mhz, int64_t percent) {
        return std::to_wstring(mhz) + L"MHz (" + std::to_wstring(percent) + L"%)";
    };
    switch (j) {
        case GRAPH_GPU_UTILISATION: captions.value = std::to_wstring(reading.gpu_percent); break;
        case GRAPH_GPU_MEMORY_UTILISATION: captions.value = std::to_wstring(reading.memory_percent); break;
        case GRAPH_GPU_FAN: captions.value = std::to_wstring(reading.fan_percent); break;
        case GRAPH_GPU_CLOCK: captions.subtitle = clock(reading.core_clock_mhz, reading.core_clock_percent); break;
        case GRAPH_GPU_MEMORY_CLOCK:
            captions.subtitle = clock(reading.memory_clock_mhz, reading.memory_clock_percent);
            break;
        default: captions.subtitle = std::to_wstring(reading.power_w) + L"W"; break;
    }
    return captions;
}

std::wstring cpu_speed_subtitle(std::wstring_view caption, int64_t percent) {
    return std::wstring(caption) + L" (" + std::to_wstring(percent) + L"%)";
}

std::vector<TabDrawStep> tab_redraw_plan(int tab) {
    std::vector<TabDrawStep> steps;
    switch (tab) {
        case TAB_SYSTEM: plan_system(steps); break;
        case TAB_PROCESSORS: plan_processors(steps); break;
        case TAB_GRAPHICS: plan_graphics(steps); break;
        case TAB_STORAGE:
            plan_rates(steps, GRAPH_DISK_READ, L"Reading", DISK_READ_KB, GRAPH_DISK_WRITE, L"Writing", DISK_WRITE_KB);
            break;
        case TAB_NETWORKS:
            plan_rates(steps, GRAPH_NET_SEND, L"Sending", NET_SEND_KB, GRAPH_NET_RECEIVE, L"Receiving", NET_RECV_KB);
            break;
        case TAB_PING: {
            TabDrawStep ping;
            ping.kind = TabDrawKind::PING;
            steps.push_back(ping);
            break;
        }
        default: break;
    }
    return steps;
}
