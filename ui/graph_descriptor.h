// The state of each graph control by control number: attributes, a fixed-capacity sample ring, the registry.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/control_numbers.h"
#include "runtime/date.h"

// One point of a graph's history.
struct GraphSample {
    Date date = 0;    // local date and time at which the sample was appended
    float value = 0;  // in the graph's unit: percent, KB or W
};

// The numbered attributes of a graph. Colours are 0x00BBGGRR.
enum GraphAttribute : int {
    GRAPH_ATTR_TOP = 0,               // value at the top edge; the scale runs from 0 at the bottom
    GRAPH_ATTR_AVERAGING = 1,         // stored samples a new sample is averaged with (0: none)
    GRAPH_ATTR_BACK_COLOR = 2,        // plot and label-box background
    GRAPH_ATTR_OUTER_GRID_COLOR = 3,  // border lines and label colour
    GRAPH_ATTR_INNER_GRID_COLOR = 4,
    GRAPH_ATTR_PLOT_COLOR = 5,            // plot line, and the filled area under it with the drawing's alpha
    GRAPH_ATTR_VERTICAL_DIVISIONS = 6,    // intervals between vertical grid lines; 0 lets the drawing choose
    GRAPH_ATTR_HORIZONTAL_DIVISIONS = 7,  // likewise for horizontal lines
    GRAPH_ATTR_DECIMALS = 8,              // decimals of the value labels
    GRAPH_ATTR_FONT = 9,                  // font handle of the graph's texts (the windowing layer's)
    GRAPH_ATTR_NO_TIME_LABELS = 10,
    GRAPH_ATTR_NO_VALUE_LABELS = 11,
    GRAPH_ATTRIBUTE_COUNT = 12
};

using GraphAttributes = std::array<int64_t, GRAPH_ATTRIBUTE_COUNT>;

// The values a new graph starts with (top 100, white background, grey grid, red plot, the rest 0).
GraphAttributes graph_default_attributes();

// The samples of one graph, oldest first, in storage reserved once at creation: an append past the
// capacity overwrites the oldest, so sampling never allocates. Guarded by GraphSamplesMutex.
struct GraphSampleRing {
    std::vector<GraphSample> slots;  // size is the capacity
    size_t first = 0;                // slot of the oldest sample
    size_t count = 0;

    size_t capacity() const { return slots.size(); }
    size_t size() const { return count; }
    // Index 0 is the oldest sample; the caller keeps index below size().
    const GraphSample& at(size_t index) const { return slots[(first + index) % slots.size()]; }
    // Age 0 is the newest sample; the caller keeps age below size().
    const GraphSample& from_newest(size_t age) const { return at(count - 1 - age); }
    // Appends after the newest sample, dropping the oldest when full; a ring of capacity 0 keeps nothing.
    void push(const GraphSample& sample);
    void clear() {
        first = 0;
        count = 0;
    }
};

// One graph control. Attributes are read and written without a lock by the main thread and the samplers
// (each value is read whole); the ring only under GraphSamplesMutex.
struct GraphDescriptor {
    int number = 0;          // control number
    int64_t canvas = 0;      // what the canvas creation returned
    int64_t user_value = 0;  // kept for the creator, read by nothing
    std::array<std::atomic<int64_t>, GRAPH_ATTRIBUTE_COUNT> attributes{};
    GraphSampleRing samples;  // capacity: the control's width in device pixels at creation
};

// Control numbers accepted by the registry are 1 to GRAPH_NUMBER_LIMIT - 1: the fixed graphs 301..308,
// CORE_GRAPH_START + core (400..543) and GPU_GRAPH_START + GPU_SLOT_STEP x slot + j (800..875).
constexpr int GRAPH_NUMBER_LIMIT = 1024;
static_assert(GRAPH_GPU_BASE + GPU_GRAPH_SPAN < GRAPH_NUMBER_LIMIT, "the GPU graphs would not all be accepted");

// Creates the descriptor of a graph control with the default attributes and room for `capacity` samples.
// Returns nullptr when the number is out of range or already has a graph (a graph is made once).
// The windowing layer calls it right after it has created the canvas.
GraphDescriptor* graph_descriptor_create(int number, int capacity, int64_t canvas, int64_t user_value);

// The graph with this control number, or nullptr when none has been created. Any thread.
GraphDescriptor* graph_descriptor(int number);

// Forgets every graph and frees its samples. Only while no other thread can reach a graph (tests).
void graph_descriptors_clear();

// Attribute access by control number: a missing graph or an attribute outside 0..11 changes nothing and
// reads as 0. Setting an attribute does not redraw.
void graph_set_attribute(int graph, int attribute, int64_t value);
int64_t graph_get_attribute(int graph, int attribute);

// A copy of what a drawing needs, taken under GraphSamplesMutex: the attributes and the newest
// `max_samples` samples (oldest first). False, with `out` untouched, when the graph does not exist.
struct GraphSnapshot {
    GraphAttributes attributes = graph_default_attributes();
    std::vector<GraphSample> samples;
};
bool graph_snapshot(int graph, int max_samples, GraphSnapshot& out);

// The number of samples a graph holds (0 for a missing graph).
size_t graph_sample_count(int graph);

// Device pixels per 96-DPI unit horizontally; the windowing layer sets it before it creates graphs.
// It sizes the sample rings and the quiet span of the rate-graph rescaling. Starts at 1.
void graphs_device_scale_set(float scale);
float graphs_device_scale();

// A width in 96-DPI units in device pixels, rounded to the nearest; never below 0.
int graph_scaled(double units, float scale);

// The unit of a graph: "KB" for the disk and network rate graphs, "W" for the power graph of a GPU slot,
// "%" for every other graph.
std::wstring_view graph_unit(int graph);
