// The graph colour lists of the settings file: one "$"-terminated item per graph of a run.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// Reads the default plot colour of a control (0: no graph with a default there) and the current one.
using GraphColorRead = std::function<int32_t(int graph)>;
using GraphColorWrite = std::function<void(int graph, int32_t color)>;

// The list of graphs first..last: the colour in upper-case hexadecimal when it differs from the default,
// empty otherwise; stops before the first control without a default; trailing "$" removed.
std::wstring color_list_encode(int first, int last, const GraphColorRead& default_color, const GraphColorRead& color);

// Gives graphs from first onward the list's colours (an empty item, or a run beyond the list's end, the default;
// an item that is not a colour above 0 and below 0xFFFFFF leaves the graph as it is); never passes a control
// without a default.
void color_list_decode(std::wstring_view text, int first, const GraphColorRead& default_color,
                       const GraphColorWrite& set_color);

// The same on the program's graphs (defaults in SharedInts at the control number).
std::wstring color_list_build(int first, int last);
void color_list_apply(std::wstring_view text, int first);

// Ctrl+I shows the fixed and per-core graphs in the complements of their colours. The lists keep the colours
// the user has: while the graphs are shown inverted, the colours are complemented back on the way to a list
// and complemented on the way from one.
void graph_colors_inverted_set(bool inverted);
bool graph_colors_inverted();

// Gives every GPU graph group after the first the plot colours of the first group.
void gpu_graph_colors_copy();

// The runs the settings file stores.
std::wstring color_list_build_bar();  // 301..399
std::wstring color_list_build_cpu();  // 400..400 + CORE_GRAPH_LAST
std::wstring color_list_build_gpu();  // 800..809
