// The graph controls as the samplers use them: samples by control number, rate-graph scales, redraw.
#pragma once

#include <cstdint>

// Appends `count` samples {now, value} to the graph's sample list under GraphSamplesMutex (averaged over
// the last non-zero samples when the graph averages) and drops the oldest beyond the graph's width.
void graph_add_sample(int graph, float value, int count);

// Adapts the top of a rate graph (304, 305, 306, 308) to a new sample of `bytes`, before it is added.
void rate_graph_autoscale(int graph, int64_t bytes);

// Redraws the graphs and temperature strips of the visible tab when the main window is visible (or force
// is 1); with throttle at most once a second unless the tab changed. Any thread.
void graphs_refresh(int tab, int force, int throttle);

// The strip colour of a temperature: cyan to white (0..42), white to red (43..84), else pure red.
int32_t temperature_color(int degrees);
