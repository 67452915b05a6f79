// Graphs painted on real canvases: the plot where the samples are, the background elsewhere, readable
// captions after inversion, and the visible-tab redraw behind graphs_refresh.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/control_numbers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "runtime/display_probe_win.h"
#include "runtime/gui/canvas/canvas.h"
#include "runtime/gui/canvas/canvas_draw_win.h"
#include "runtime/gui/control/control.h"
#include "runtime/gui/gui.h"
#include "runtime/gui/panel/panel.h"
#include "runtime/gui/window/window.h"
#include "ui/gdi_calls_win.h"
#include "ui/graph_control.h"
#include "ui/graph_descriptor.h"
#include "ui/graph_draw.h"
#include "ui/graph_draw_gdi_win.h"
#include "ui/graph_geometry.h"
#include "ui/graph_readout.h"
#include "ui/main_layout_grid.h"
#include "ui/main_window_pages.h"

namespace {

constexpr int WINDOW = 520;
constexpr int GRAPH = 301;
constexpr uint32_t WHITE = 0xFFFFFF;
constexpr uint32_t PLOT = 0x0000FF;

// Serves what is waiting for the main thread until nothing is.
void events_drain() {
    while (wait_window_event(0).kind != EVENT_NONE) {
    }
}

uint32_t pixel(int canvas, int x, int y) {
    CanvasDraw draw(canvas);
    return draw ? static_cast<uint32_t>(GetPixel(draw.dc(), x, y)) : 0xFFFFFFFFu;
}

int channel(uint32_t color, int shift) { return static_cast<int>((color >> shift) & 0xFF); }

// A graph with only its frame lines: no labels, one interval each way.
void graph_make(int number, const GuiParent& parent, int width, int height) {
    ASSERT_EQ(canvas_create(number, parent, 0, 0, width, height, 0, 0x808080), number);
    int pixels_wide = 0;
    int pixels_high = 0;
    ASSERT_TRUE(canvas_pixel_size(number, &pixels_wide, &pixels_high));
    ASSERT_NE(graph_descriptor_create(number, pixels_wide, number, 0), nullptr);
    graph_set_attribute(number, GRAPH_ATTR_VERTICAL_DIVISIONS, 1);
    graph_set_attribute(number, GRAPH_ATTR_HORIZONTAL_DIVISIONS, 1);
    graph_set_attribute(number, GRAPH_ATTR_NO_TIME_LABELS, 1);
    graph_set_attribute(number, GRAPH_ATTR_NO_VALUE_LABELS, 1);
}

class GraphDrawWindows : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(display_available()) << NO_DISPLAY_TEXT;
        ASSERT_TRUE(gui_init());
        shared_state_init(SharedStateFacts{});
        shared_tables_init();
        text_maps_load(LANGUAGE_ENGLISH);
        graph_descriptors_clear();
        graphs_device_scale_set(1.0f);
        ASSERT_TRUE(window_open(WINDOW, 40, 40, 400, 300, L"graph test", WINDOW_CAPTION | WINDOW_INVISIBLE));
        graph_make(GRAPH, gui_in_window(WINDOW), 120, 100);
        ASSERT_TRUE(canvas_pixel_size(GRAPH, &width, &height));
    }
    void TearDown() override {
        graphs_refresh_hooks_set({});
        window_close(WINDOW);
        window_close(WIN_MAIN);
        graph_descriptors_clear();
        events_drain();
    }
    int width = 0;
    int height = 0;
};

TEST_F(GraphDrawWindows, SamplesArePlottedFromTheRightOverTheBackground) {
    graph_add_sample(GRAPH, 50.0f, 10);
    ASSERT_TRUE(graph_draw(GRAPH, 128, L""));
    const int bar = graph_bar_height(50.0f, 100, height);
    const int top = height - bar;
    // Column width - 1 is also the right border line, which the samples are painted over.
    EXPECT_EQ(pixel(GRAPH, width - 1, top), PLOT);
    for (int x = width - 10; x < width - 1; ++x) {
        EXPECT_EQ(pixel(GRAPH, x, top), PLOT) << x;  // the line
        EXPECT_EQ(pixel(GRAPH, x, top - 4), WHITE) << x;
        // The filled area mixes the plot colour half into the white background.
        const uint32_t fill = pixel(GRAPH, x, top + bar / 2);
        EXPECT_EQ(channel(fill, 0), 255) << x;
        EXPECT_NEAR(channel(fill, 8), 127, 12) << x;
        EXPECT_NEAR(channel(fill, 16), 127, 12) << x;
    }
    EXPECT_EQ(pixel(GRAPH, width - 11, top + 4), WHITE) << "left of the oldest sample";
    EXPECT_EQ(pixel(GRAPH, 0, height / 2), 0x808080u) << "left border";
    EXPECT_EQ(pixel(GRAPH, width / 4, 0), 0x808080u) << "top border";
    EXPECT_EQ(pixel(GRAPH, width / 4, height - 1), 0x808080u) << "bottom border";

    // A higher newest sample: the line climbs from the older top to it without a gap.
    graph_add_sample(GRAPH, 90.0f, 1);
    ASSERT_TRUE(graph_draw(GRAPH, 128, L""));
    const int high_top = height - graph_bar_height(90.0f, 100, height);
    EXPECT_EQ(pixel(GRAPH, width - 1, high_top), PLOT);
    EXPECT_EQ(pixel(GRAPH, width - 2, top), PLOT);
    for (int y = high_top; y <= top; ++y)
        EXPECT_TRUE(pixel(GRAPH, width - 2, y) == PLOT || pixel(GRAPH, width - 1, y) == PLOT) << y;
}

TEST_F(GraphDrawWindows, CaptionsStayReadableAfterTheColoursAreInverted) {
    for (int attribute :
         {GRAPH_ATTR_BACK_COLOR, GRAPH_ATTR_OUTER_GRID_COLOR, GRAPH_ATTR_INNER_GRID_COLOR, GRAPH_ATTR_PLOT_COLOR})
        graph_set_attribute(GRAPH, attribute, 0xFFFFFF - graph_get_attribute(GRAPH, attribute));
    graph_add_sample(GRAPH, 20.0f, 3);
    ASSERT_TRUE(graph_draw(GRAPH, 128, L"WWWW"));

    EXPECT_EQ(pixel(GRAPH, 10, height / 2), 0x000000u) << "inverted background";
    EXPECT_EQ(pixel(GRAPH, width - 1, height - graph_bar_height(20.0f, 100, height)), 0xFFFF00u) << "inverted plot";
    // The title box sits centred at the top; its letters must be light on the black box.
    int light = 0;
    for (int y = 1; y < 20; ++y) {
        for (int x = width / 2 - 20; x < width / 2 + 20; ++x) {
            const uint32_t color = pixel(GRAPH, x, y);
            if (channel(color, 0) > 160 && channel(color, 8) > 160 && channel(color, 16) > 160) ++light;
        }
    }
    EXPECT_GT(light, 10);
}

TEST_F(GraphDrawWindows, MissingGraphsAndCanvasesAreNotPainted) {
    EXPECT_FALSE(graph_draw(302, 128, L"none"));
    ASSERT_NE(graph_descriptor_create(303, 50, 303, 0), nullptr);  // a graph whose canvas was never made
    EXPECT_FALSE(graph_draw(303, 128, L"none"));
}

TEST_F(GraphDrawWindows, RefreshDrawsTheShownTabThroughTheInstalledHooks) {
    ASSERT_TRUE(window_open(WIN_MAIN, 40, 40, 500, 400, L"main", WINDOW_CAPTION | WINDOW_INVISIBLE));
    ASSERT_EQ(panel_create(PANEL_MAIN, gui_in_window(WIN_MAIN), 0, 0, 500, 400), PANEL_MAIN);
    for (const wchar_t* caption : {L"System", L"Processors", L"Graphics", L"Storage", L"Networks"})
        ASSERT_GE(panel_tab_add(PANEL_MAIN, caption), 0);
    graph_make(GRAPH_DISK_READ, gui_in_tab(PANEL_MAIN, TAB_STORAGE), 120, 100);
    graph_make(GRAPH_DISK_WRITE, gui_in_tab(PANEL_MAIN, TAB_STORAGE), 120, 100);
    for (int graph : {GRAPH_DISK_READ, GRAPH_DISK_WRITE}) {
        graph_set_attribute(graph, GRAPH_ATTR_TOP, 128);
        graph_add_sample(graph, 64.0f, 5);
    }
    panel_tab_select(PANEL_MAIN, TAB_STORAGE);
    graphs_refresh_hooks_set(tab_redraw_hooks());

    const int top = height - graph_bar_height(64.0f, 128, height);
    graphs_refresh(TAB_STORAGE, REFRESH_IF_VISIBLE,
                   REFRESH_EVERY_CALL);  // a sampler's call while the main window is hidden
    EXPECT_NE(pixel(GRAPH_DISK_READ, width - 1, top), PLOT);
    graphs_refresh(TAB_NETWORKS, REFRESH_FORCED, REFRESH_EVERY_CALL);  // forced, but another tab is shown
    EXPECT_NE(pixel(GRAPH_DISK_READ, width - 1, top), PLOT);
    graphs_refresh(TAB_STORAGE, REFRESH_FORCED, REFRESH_EVERY_CALL);
    EXPECT_EQ(pixel(GRAPH_DISK_READ, width - 1, top), PLOT);
    EXPECT_EQ(pixel(GRAPH_DISK_WRITE, width - 1, top), PLOT);
}

TEST_F(GraphDrawWindows, PointerOverAGraphShowsTheSampleUnderItInTheTitle) {
    graph_add_sample(GRAPH, 20.0f, 2);
    graph_add_sample(GRAPH, 37.0f, 1);
    GuiEvent event;
    event.kind = EVENT_CONTROL;
    event.control = GRAPH;
    event.type = EVENT_TYPE_MOUSE_MOVE;
    event.x = width - 1;  // the newest sample's column
    graph_pointer_event(event);
    const std::wstring title = shared_text(STATUS_TITLE);
    EXPECT_EQ(title.rfind(L"Position: 1/2 = ", 0), 0u);
    EXPECT_NE(title.find(L" = 37% ~"), std::wstring::npos);

    event.x = width - 3;  // the oldest sample is never read out
    graph_pointer_event(event);
    EXPECT_EQ(shared_text(STATUS_TITLE), title);
    event.x = width - 2;
    event.type = EVENT_TYPE_LEFT_CLICK;  // not a movement
    graph_pointer_event(event);
    EXPECT_EQ(shared_text(STATUS_TITLE), title);
    event.type = EVENT_TYPE_MOUSE_MOVE;
    graph_pointer_event(event);
    EXPECT_NE(shared_text(STATUS_TITLE).find(L" = 20% ~"), std::wstring::npos);
}

// The Processors tab of a 1000 x 700 panel with `count` processor graphs in its grid, each full of a load that
// goes up and down so that the plot has slopes in every column. Made on the fixture's main window; the graphs
// go again with the object.
class ProcessorGraphs {
public:
    static constexpr int PANEL_WIDTH = 1000;
    static constexpr int PANEL_HEIGHT = 700;

    explicit ProcessorGraphs(int count) {
        const int first_graph = SharedInts[CORE_GRAPH_START].load();
        const CoreGridLayout grid = core_grid_layout(count, PANEL_WIDTH - 10, PANEL_HEIGHT - 10, 100, 2);
        SharedInts[CPU_COUNT] = count;
        SharedInts[CORE_GRAPH_HEIGHT] = grid.graph_height;
        for (const CoreGraphCell& cell : grid.cells) {
            const int graph = first_graph + cell.core;
            graph_create(graph, TAB_PROCESSORS, cell.place, 0x00A000);
            graph_set_attribute(graph, GRAPH_ATTR_HORIZONTAL_DIVISIONS, cell.horizontal_divisions);
            graph_set_attribute(graph, GRAPH_ATTR_VERTICAL_DIVISIONS, cell.vertical_divisions);
            graph_set_attribute(graph, GRAPH_ATTR_NO_TIME_LABELS, 1);
            CpuCoreTable[static_cast<size_t>(cell.core)].label = L"CPU " + std::to_wstring(cell.core + 1);
            CpuCoreTable[static_cast<size_t>(cell.core)].load = 40;
            for (int i = 0; i < 600; ++i) graph_add_sample(graph, static_cast<float>(50 + 45 * std::sin(i / 7.0)), 1);
            graphs.push_back(graph);
        }
    }
    ~ProcessorGraphs() {
        for (const int graph : graphs) control_free(graph);
        graph_descriptors_clear();
    }
    ProcessorGraphs(const ProcessorGraphs&) = delete;
    ProcessorGraphs& operator=(const ProcessorGraphs&) = delete;

    std::vector<int> graphs;
};

void processors_tab_open() {
    constexpr int WIDTH = ProcessorGraphs::PANEL_WIDTH;
    constexpr int HEIGHT = ProcessorGraphs::PANEL_HEIGHT;
    ASSERT_TRUE(window_open(WIN_MAIN, 0, 0, WIDTH, HEIGHT, L"main", WINDOW_CAPTION | WINDOW_INVISIBLE));
    ASSERT_EQ(panel_create(PANEL_MAIN, gui_in_window(WIN_MAIN), 0, 0, WIDTH, HEIGHT), PANEL_MAIN);
    for (const wchar_t* caption : {L"System", L"Processors"}) ASSERT_GE(panel_tab_add(PANEL_MAIN, caption), 0);
}

// What one redraw of the Processors tab cost in GDI calls, by graph.
struct RedrawCalls {
    int fewest_drawings = 0;  // of a graph
    int most_drawings = 0;
    int fewest_saves = 0;  // canvas drawings begun on a graph
    int most_saves = 0;
    int elsewhere = 0;  // drawing calls on device contexts that are no graph's
    int made = 0;       // GDI objects made
};

RedrawCalls processors_tab_redraw_calls(const ProcessorGraphs& tab) {
    std::map<HDC, int> graph_of;
    for (const int graph : tab.graphs) {
        CanvasDraw draw(graph);  // makes the picture: the first redraw would make it otherwise
        if (draw) graph_of[draw.dc()] = graph;
    }
    EXPECT_EQ(graph_of.size(), tab.graphs.size()) << "a graph without a picture of its own";
    tab_redraw(TAB_PROCESSORS);  // the first redraw measures the captions' fonts
    GdiCallCount count;
    EXPECT_GT(count.hooked(), 0u) << "no GDI call can be counted";
    tab_redraw(TAB_PROCESSORS);
    RedrawCalls calls;
    calls.fewest_drawings = calls.fewest_saves = INT_MAX;
    const std::map<HDC, GdiTally> tallies = count.by_dc();
    for (const auto& [dc, graph] : graph_of) {
        const auto found = tallies.find(dc);
        const GdiTally tally = found == tallies.end() ? GdiTally{} : found->second;
        calls.fewest_drawings = std::min(calls.fewest_drawings, tally.drawings);
        calls.most_drawings = std::max(calls.most_drawings, tally.drawings);
        calls.fewest_saves = std::min(calls.fewest_saves, tally.saves);
        calls.most_saves = std::max(calls.most_saves, tally.saves);
    }
    for (const auto& [dc, tally] : tallies)
        if (!graph_of.count(dc)) calls.elsewhere += tally.drawings;
    calls.made = count.made();
    return calls;
}

// The Processors tab holds up to 144 graphs. Its redraw paints each graph on its own, once, on the graph's own
// picture, so a graph costs no more with 144 of them than with 8 (their cells are smaller, so less): counted in
// GDI calls a graph. What the redraw takes in time is measured by the benchmark (tools/benchmark.sh).
TEST_F(GraphDrawWindows, TheProcessorsTabCostsNoMorePerGraphWith144ProcessorsThanWith8) {
    processors_tab_open();
    RedrawCalls with_8;
    {
        const ProcessorGraphs tab(8);
        with_8 = processors_tab_redraw_calls(tab);
    }
    RedrawCalls with_144;
    {
        const ProcessorGraphs tab(144);
        ASSERT_EQ(tab.graphs.size(), 144u);
        with_144 = processors_tab_redraw_calls(tab);
    }
    for (const auto& [graphs, calls] : {std::pair{8, with_8}, std::pair{144, with_144}}) {
        SCOPED_TRACE(std::to_string(graphs) + " graphs");
        EXPECT_TRUE(calls.fewest_saves == 1 && calls.most_saves == 1)
            << "one redraw painted a graph from " << calls.fewest_saves << " to " << calls.most_saves << " times";
        EXPECT_GT(calls.fewest_drawings, 0);
        EXPECT_EQ(calls.elsewhere, 0) << "drawing beyond the graphs' own pictures";
        EXPECT_EQ(calls.made, 0) << "GDI objects made for a redraw";
    }
    EXPECT_LE(with_144.most_drawings, with_8.fewest_drawings)
        << "GDI drawing calls a graph: " << with_8.fewest_drawings << " to " << with_8.most_drawings
        << " with 8 graphs, " << with_144.fewest_drawings << " to " << with_144.most_drawings << " with 144";
}

// Not a test: the figure for the benchmark, which runs it (gtest leaves out tests named DISABLED_ unless asked).
// The best of several redraws is taken, so that other work on the machine counts least.
TEST_F(GraphDrawWindows, DISABLED_ProcessorsTabRedrawTimeForTheBenchmark) {
    processors_tab_open();
    const auto microseconds_per_graph = [](int count) {
        const ProcessorGraphs tab(count);
        double best = 1e12;
        for (int run = 0; run < 5; ++run) {
            const auto start = std::chrono::steady_clock::now();
            tab_redraw(TAB_PROCESSORS);
            const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
            best = std::min(best, spent.count());
        }
        return best / count;
    };
    const double with_8 = microseconds_per_graph(8);
    const double with_144 = microseconds_per_graph(144);
    std::printf("Processors tab redraw per graph: %.0f us with 8 graphs, %.0f us with 144 graphs (ratio %.2f)\n",
                with_8, with_144, with_144 / with_8);
}

// The plot's filled area is mixed into a canvas's picture in memory; the pixels come out as AlphaBlend
// makes them (give or take one step of rounding in a channel), which is what other pictures still use.
TEST_F(GraphDrawWindows, BlendingOnACanvasMatchesAlphaBlend) {
    constexpr int SIDE = 16;
    const auto fill_pattern = [](HDC dc) {
        for (int y = 0; y < SIDE; ++y)
            for (int x = 0; x < SIDE; ++x) SetPixelV(dc, x, y, RGB(x * 16, y * 16, (x * y) & 0xFF));
    };
    ASSERT_EQ(canvas_create(302, gui_in_window(WINDOW), 0, 0, SIDE, SIDE, 0, 0xFFFFFF), 302);
    CanvasDraw draw(302);
    ASSERT_TRUE(draw);
    fill_pattern(draw.dc());
    HDC reference = CreateCompatibleDC(draw.dc());
    HBITMAP reference_bitmap = CreateCompatibleBitmap(draw.dc(), SIDE, SIDE);
    const HGDIOBJ reference_old = SelectObject(reference, reference_bitmap);
    fill_pattern(reference);
    HDC source = CreateCompatibleDC(draw.dc());
    HBITMAP source_pixel = CreateCompatibleBitmap(draw.dc(), 1, 1);
    const HGDIOBJ source_old = SelectObject(source, source_pixel);

    const struct {
        uint32_t color;
        int alpha;
    } mixes[] = {{0x0000FF, 128}, {0x40C020, 77}, {0xFFFFFF, 200}, {0x000000, 3}};
    ASSERT_NE(draw.pixels(), nullptr) << "a canvas's picture gives its pixels";
    BlendPixel blend(draw.dc(), PixelRows{static_cast<uint8_t*>(draw.pixels()), SIDE, SIDE, SIDE * 4});
    for (const auto& mix : mixes) {
        GdiFlush();
        blend.blend(draw.dc(), 2, 3, 11, 9, mix.color, mix.alpha);
        SetPixelV(source, 0, 0, mix.color);
        const BLENDFUNCTION function{AC_SRC_OVER, 0, static_cast<BYTE>(mix.alpha), 0};
        AlphaBlend(reference, 2, 3, 11, 9, source, 0, 0, 1, 1, function);
    }
    int differences = 0;
    for (int y = 0; y < SIDE; ++y) {
        for (int x = 0; x < SIDE; ++x) {
            const COLORREF ours = GetPixel(draw.dc(), x, y);
            const COLORREF theirs = GetPixel(reference, x, y);
            for (int shift : {0, 8, 16}) {
                if (std::abs(channel(ours, shift) - channel(theirs, shift)) > 1) ++differences;
            }
        }
    }
    EXPECT_EQ(differences, 0);
    SelectObject(source, source_old);
    DeleteObject(source_pixel);
    DeleteDC(source);
    SelectObject(reference, reference_old);
    DeleteObject(reference_bitmap);
    DeleteDC(reference);
}

}  // namespace
