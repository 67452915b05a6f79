// The graph registry by control number, the sample ring and attribute access.
#include "ui/graph_descriptor.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>

#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "runtime/leaf_lock.h"

namespace {

// Lookups are lock-free: a slot is published once, after its descriptor is complete.
std::array<std::atomic<GraphDescriptor*>, GRAPH_NUMBER_LIMIT> graph_slots{};

// Owns the descriptors. Graphs live until the program ends; the store itself is never destroyed, so a
// sampler still running during static destruction cannot touch a freed graph.
LeafLock& registry_lock() {
    static auto* lock = new LeafLock("GraphRegistryLock");
    return *lock;
}
std::vector<std::unique_ptr<GraphDescriptor>>& registry_owned() {
    static auto* owned = new std::vector<std::unique_ptr<GraphDescriptor>>;
    return *owned;
}

std::atomic<float> device_scale{1.0f};

}  // namespace

GraphAttributes graph_default_attributes() {
    GraphAttributes attributes{};
    attributes[GRAPH_ATTR_TOP] = 100;
    attributes[GRAPH_ATTR_BACK_COLOR] = 0xFFFFFF;
    attributes[GRAPH_ATTR_OUTER_GRID_COLOR] = 0x808080;
    attributes[GRAPH_ATTR_INNER_GRID_COLOR] = 0xE6E6E6;
    attributes[GRAPH_ATTR_PLOT_COLOR] = 0x0000FF;
    return attributes;
}

void GraphSampleRing::push(const GraphSample& sample) {
    if (slots.empty()) return;
    if (count < slots.size()) {
        slots[(first + count) % slots.size()] = sample;
        ++count;
        return;
    }
    slots[first] = sample;
    first = (first + 1) % slots.size();
}

GraphDescriptor* graph_descriptor_create(int number, int capacity, int64_t canvas, int64_t user_value) {
    if (number <= 0 || number >= GRAPH_NUMBER_LIMIT) return nullptr;
    std::lock_guard guard(registry_lock());
    if (graph_slots[number].load(std::memory_order_acquire)) return nullptr;

    auto graph = std::make_unique<GraphDescriptor>();
    graph->number = number;
    graph->canvas = canvas;
    graph->user_value = user_value;
    const GraphAttributes defaults = graph_default_attributes();
    for (int i = 0; i < GRAPH_ATTRIBUTE_COUNT; ++i) graph->attributes[i].store(defaults[i], std::memory_order_relaxed);
    graph->samples.slots.resize(static_cast<size_t>(std::max(capacity, 0)));

    GraphDescriptor* published = graph.get();
    registry_owned().push_back(std::move(graph));
    graph_slots[number].store(published, std::memory_order_release);
    return published;
}

GraphDescriptor* graph_descriptor(int number) {
    if (number <= 0 || number >= GRAPH_NUMBER_LIMIT) return nullptr;
    return graph_slots[number].load(std::memory_order_acquire);
}

void graph_descriptors_clear() {
    std::lock_guard guard(registry_lock());
    for (auto& slot : graph_slots) slot.store(nullptr, std::memory_order_release);
    registry_owned().clear();
}

void graph_set_attribute(int graph, int attribute, int64_t value) {
    GraphDescriptor* descriptor = graph_descriptor(graph);
    if (!descriptor || attribute < 0 || attribute >= GRAPH_ATTRIBUTE_COUNT) return;
    descriptor->attributes[attribute].store(value, std::memory_order_relaxed);
}

int64_t graph_get_attribute(int graph, int attribute) {
    const GraphDescriptor* descriptor = graph_descriptor(graph);
    if (!descriptor || attribute < 0 || attribute >= GRAPH_ATTRIBUTE_COUNT) return 0;
    return descriptor->attributes[attribute].load(std::memory_order_relaxed);
}

bool graph_snapshot(int graph, int max_samples, GraphSnapshot& out) {
    const GraphDescriptor* descriptor = graph_descriptor(graph);
    if (!descriptor) return false;
    for (int i = 0; i < GRAPH_ATTRIBUTE_COUNT; ++i) {
        out.attributes[i] = descriptor->attributes[i].load(std::memory_order_relaxed);
    }
    std::lock_guard guard(GraphSamplesMutex);
    const GraphSampleRing& ring = descriptor->samples;
    const size_t wanted = std::min(ring.size(), static_cast<size_t>(std::max(max_samples, 0)));
    out.samples.clear();
    out.samples.reserve(wanted);
    for (size_t i = ring.size() - wanted; i < ring.size(); ++i) out.samples.push_back(ring.at(i));
    return true;
}

size_t graph_sample_count(int graph) {
    const GraphDescriptor* descriptor = graph_descriptor(graph);
    if (!descriptor) return 0;
    std::lock_guard guard(GraphSamplesMutex);
    return descriptor->samples.size();
}

void graphs_device_scale_set(float scale) {
    device_scale.store(std::isfinite(scale) && scale > 0.0f ? scale : 1.0f, std::memory_order_relaxed);
}

float graphs_device_scale() { return device_scale.load(std::memory_order_relaxed); }

int graph_scaled(double units, float scale) {
    const double pixels = units * static_cast<double>(scale);
    if (!(pixels > 0.0)) return 0;
    if (pixels >= 1e9) return 1000000000;
    return static_cast<int>(std::lround(pixels));
}

std::wstring_view graph_unit(int graph) {
    switch (graph) {
        case GRAPH_DISK_READ:
        case GRAPH_DISK_WRITE:
        case GRAPH_NET_SEND:
        case GRAPH_NET_RECEIVE: return L"KB";
        default: break;
    }
    const int gpu_first = SharedInts[GPU_GRAPH_START].load(std::memory_order_relaxed);
    const int offset = graph - gpu_first;
    if (offset >= 0 && offset < GPU_GRAPH_SPAN && offset % GPU_SLOT_STEP == GRAPH_GPU_POWER) return L"W";
    return L"%";
}
