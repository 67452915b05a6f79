// The main window's size and the layout values of its tab pages, as pure arithmetic in 96-DPI units.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// A control's place on its page in 96-DPI units.
struct UnitRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int right() const { return x + width; }
    int bottom() const { return y + height; }
    friend bool operator==(const UnitRect&, const UnitRect&) = default;
};

// The inner size of the main window in 96-DPI units.
struct MainWindowSize {
    int width = 800;
    int height = 550;
};

// What the size rule reads of the desktop: the first monitor in screen pixels, its DPI, the height of a
// window caption and the window frame around the inner area besides the caption, in screen pixels.
struct DesktopFacts {
    int monitor_width = 0;
    int monitor_height = 0;
    int dpi = 96;
    int caption_height = 0;
    int frame_width = 0;   // left and right frame together
    int frame_height = 0;  // top and bottom frame together
};

constexpr int MAIN_MIN_WIDTH = 800;
constexpr int MAIN_MIN_HEIGHT = 550;
constexpr int MAIN_MAX_PIXELS = 4096;
constexpr int MAIN_SIZE_STEPS = 15;  // steps 0..15 give 40 % .. 100 % of the monitor
constexpr int SIDE_COLUMN_MIN_WIDTH = 320;

// The inner size from the command words ("minsize", "maxsize", "maxwidth", "maxheight", looked for as parts
// of the lower-cased command line) or else from the two size steps (clamped to 0..15), at least MAIN_MIN_WIDTH x
// MAIN_MIN_HEIGHT. The caption is converted to units before it is taken off the height, and the whole window never
// outgrows the monitor, so it fits the screen at any DPI (a monitor smaller than MAIN_MIN_WIDTH x MAIN_MIN_HEIGHT units
// gets a smaller window).
MainWindowSize main_window_size(std::wstring_view command_line, const DesktopFacts& desktop, int width_step,
                                int height_step);

// The layout values every page is laid out with.
struct PanelLayout {
    int panel_width = 0;          // inner width of a page minus 4
    int panel_height = 0;         // inner height of a page minus 1
    float settings_scale = 1.0f;  // min(height / 520, width / 786, 1.5): Settings and About pages
    float tabs_scale = 1.0f;      // min(width / 786, 1.5): the toolbars of the Ping and Events tabs
    int history_length = 0;       // panel width in device pixels: one history point per strip column
    int side_column_width = 0;    // 35 % of the panel width, 320 to 333 (at most half the panel)
    int left_margin = 2;
    int graph_column_width = 0;  // the left (graph) column
    int side_column_x = 0;       // x of the right-hand column
};

// From the inner size of a page in units and the DPI.
PanelLayout panel_layout(int page_width, int page_height, int dpi);

// n x scale rounded to the nearest unit (halves away from zero).
int scaled_units(float scale, double n);

// Point sizes of the Settings and About fonts by the settings scale (a scale equal to a threshold takes the
// larger size).
int settings_font_points(float settings_scale);
int about_font_points(float settings_scale);

// The tab opened by a word on the command line: the first of the tabs (captions as shown, in tab order)
// whose caption, lower-cased and without surrounding blanks, occurs in the command line; -1 for none.
int tab_from_command_line(const std::vector<std::wstring>& captions, std::wstring_view command_line);

// A tab caption: the word with one blank on each side, the Ping tab with two.
std::wstring tab_caption(int tab, std::wstring_view word);
