// Painting the graph controls and the temperature strips on their canvases, and the visible-tab redraw.
#pragma once

#include <string_view>

#include "ui/graph_control.h"

// Paints the graph with this control number on its canvas from its attributes and samples: grid, labels,
// the captions and the samples, with the fill under the plot at opacity `alpha` (0..255). The unit is the
// graph's own (graph_unit). Any thread; holds GraphDrawMutex while it paints. Nothing happens when the
// graph or its canvas does not exist. Returns true when it painted.
bool graph_draw(int graph, int alpha, std::wstring_view title, std::wstring_view value = {},
                std::wstring_view subtitle = {}, std::wstring_view footer = {});

// The CPU temperature strip of CpuCoreTable entry `core` (0 in this program) on `canvas`
// (CANVAS_CPU_TEMPERATURE). Any thread; reads the history under HistoryMutex.
void cpu_temperature_strip_draw(int canvas, int core);

// The temperature strip of GPU entry `gpu` (GPU_SELECTED) on `canvas` (CANVAS_GPU_TEMPERATURE), through
// the GPU source (ui/tab_redraw.h); the grey band alone while no source or reading is there. Any thread.
void strip_paint_gpu(int canvas, int gpu);

// The frame of a strip canvas as it is made: grey all over, light grey inset by one pixel.
void strip_frame_paint(int canvas);

// Redraws the graphs, strips and captions of tab 0..5 now, whether or not it is shown. Any thread.
void tab_redraw(int tab);

// The visible-tab redraw behind graphs_refresh (main window visible, tab PANEL_MAIN shows, tab_redraw), for
// graphs_refresh_hooks_set. Start-up installs it on the main thread, before the main window is built and the
// samplers start; until the window and its panel exist the redraw draws nothing.
GraphsRefreshHooks tab_redraw_hooks();
