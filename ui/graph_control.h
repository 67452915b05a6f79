// The graph controls as the samplers use them: samples by control number, rate-graph scales, redraw.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/date.h"

// Appends `count` samples {now, value} to the graph's sample list under GraphSamplesMutex (averaged over
// the last non-zero samples when the graph averages) and drops the oldest beyond the graph's width.
void graph_add_sample(int graph, float value, int count);

// Adapts the top of a rate graph (GRAPH_DISK_READ, GRAPH_NET_SEND, GRAPH_NET_RECEIVE, GRAPH_DISK_WRITE) to a new sample
// of `bytes`, before it is added.
void rate_graph_autoscale(int graph, int64_t bytes);

// The plot colour of a graph (0x00BBGGRR); -1 when there is no such graph. Any thread.
int32_t graph_plot_color(int graph);
// Gives a graph a new plot colour, seen at its next drawing; nothing when there is no such graph.
void graph_plot_color_set(int graph, int32_t color);

// Whether graphs_refresh draws into a hidden main window, and whether it draws a tab at most once a second.
enum GraphsRefreshForce : bool { REFRESH_IF_VISIBLE = false, REFRESH_FORCED = true };
enum GraphsRefreshThrottle : bool { REFRESH_EVERY_CALL = false, REFRESH_THROTTLED = true };

// Redraws the graphs and temperature strips of the visible tab when the main window is visible (or when
// forced); throttled, at most once a second unless the tab changed. Any thread.
void graphs_refresh(int tab, GraphsRefreshForce force, GraphsRefreshThrottle throttle);

// The strip colour of a temperature: cyan to white (0..42), white to red (43..84), else pure red.
int32_t temperature_color(int degrees);

// The read-out of the sample under the pointer of a graph, `offset` pixels from its right edge (1: the
// newest): "Position: 12/299 = 2024-05-01  14:03:27 = 37% ~", and AGE_STAMP set to the sample's date.
// The empty text, AGE_STAMP unchanged, when no sample is there. Takes GraphSamplesMutex.
std::wstring graph_position_text(int graph, int64_t offset);

// What graphs_refresh needs of the windowing side; the main window build installs it once, before the
// samplers start. Until then nothing is drawn (the main window counts as hidden and no tab as shown).
struct GraphsRefreshHooks {
    bool (*main_window_visible)() = nullptr;
    int (*shown_tab)() = nullptr;         // the tab PANEL_MAIN shows
    void (*draw_tab)(int tab) = nullptr;  // draws the graphs, strips or ping canvases of that tab
};
void graphs_refresh_hooks_set(const GraphsRefreshHooks& hooks);

// The decision of one graphs_refresh call: whether to draw the named tab and whether to stamp
// REFRESH_STAMP / REFRESH_LAST_TAB (with `now`) afterwards.
struct GraphsRefreshDecision {
    bool draw = false;
    bool stamp = false;
};
GraphsRefreshDecision graphs_refresh_decide(int tab, bool force, bool throttle, bool main_window_visible, int shown_tab,
                                            Date now, Date last_stamp, int last_tab);
