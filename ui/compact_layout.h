// The compact window's arithmetic: cell places, canvas place, font measures, fitting, start positions and
// the click hit test. Pure: no windows, no shared state.
#pragma once

#include <cstdint>

// Character columns: column 1 is the first of the 29 that end at the canvas's right edge; the canvas is 60
// characters wide, so columns -29 to 29 lie on it.
constexpr int COMPACT_CANVAS_CHARACTERS = 60;
constexpr int COMPACT_CANVAS_LINES = 60;
constexpr int COMPACT_FIXED_COLUMNS = 29;

// The x of a column on the canvas in device pixels: (column + 30) x char width, rounded, then scaled.
int cell_x_position(int column, float char_width, int dpi);
// The y of a line (from 1) in device pixels.
int cell_y_position(int line, int line_height, int dpi);

// The canvas's place in the window in 96-DPI units: COMPACT_CANVAS_CHARACTERS wide and COMPACT_CANVAS_LINES high, its
// right edge one unit left of the window's, its top at 1. It reaches beyond the window's left edge.
struct CompactCanvasPlace {
    int x = 0;
    int y = 1;
    int width = 0;
    int height = 0;
};
CompactCanvasPlace compact_canvas_place(int inner_width, float char_width, int line_height);

// The character width in 96-DPI units from the pixel width of COMPACT_CANVAS_CHARACTERS blanks, and the line height
// from the pixel height of "W".
float compact_char_width(int blanks_width_pixels, int dpi);
int compact_line_height(int glyph_height_pixels, int dpi);

// What the window's size depends on.
struct CompactContent {
    int line_height = 12;
    float char_width = 0;
    int drive_count = 0;
    int drive_alias_count = 0;
    int fixed_lines = 4;
    int gpu_entries = 0;
    int net_lines = 0;
    int summary_shown = 0;  // 1 while the fixed-drive summary line is shown
    int drive_text_width = 0;
};
// Inner height and width in 96-DPI units (the fixed block, one line per GPU entry, adapter line and drive).
int compact_fit_height(const CompactContent& content);
int compact_fit_width(const CompactContent& content);

// The window as it stands (96-DPI units): outer position and inner size.
struct CompactFrame {
    int x = 0;
    int y = 0;
    int inner_width = 0;
    int inner_height = 0;
};

struct CompactWorkArea {
    int monitor_count = 1;
    int left = 0;
    int top = 0;
    int right = 0;   // WORKAREA_WIDTH
    int bottom = 0;  // WORKAREA_HEIGHT
};

struct CompactFitPlan {
    bool minimized = false;  // nothing can be fitted: ask again once the window is restored
    bool change = false;     // the window is to be placed as below
    CompactFrame frame;      // the place and inner size afterwards
    bool record = false;     // the position is to be recorded (a monitor is known)
};

// The fitting: the new inner size, keeping the right edge when the window narrows; then, when a monitor is
// known, kept inside the work area. mode_changed re-applies the size even when it is the same.
CompactFitPlan compact_fit_plan(const CompactFrame& now, int width, int height, bool mode_changed,
                                const CompactWorkArea& area);

struct CompactPoint {
    int x = 0;
    int y = 0;
};
// The splash at the lower right of the work area, never above or left of it.
CompactPoint splash_position(const CompactWorkArea& area, int compact_width);
// The compact window's opening position: the saved one, or the default near the lower right when it is 0 or
// reaches beyond the work area; never above or left of the work area.
CompactPoint compact_start_position(int saved_x, int saved_y, int width, int height, const CompactWorkArea& area);

// The character cell under a pointer in device pixels on the canvas: column from 1 at the fixed block's
// left, line from 1 at the top.
struct CompactHit {
    int column = 0;
    int line = 0;
};
CompactHit compact_hit(int x_pixels, int y_pixels, float char_width, int line_height, int dpi);

// The main window's position kept inside the work area (start-up): below 1 it takes the window's current
// position; beyond the far edge it is pulled back so the whole window fits.
CompactPoint main_window_position(int saved_x, int saved_y, int current_x, int current_y, int width, int height,
                                  const CompactWorkArea& area);

// What a left click on the compact window's canvas asks for.
enum CompactClickKind : int {
    COMPACT_CLICK_NOTHING = 0,
    COMPACT_CLICK_TAB,               // open the main window on `tab`
    COMPACT_CLICK_MINIMIZE,          // the "[-]" cell
    COMPACT_CLICK_CLOSE,             // the "[X]" cell
    COMPACT_CLICK_DRIVE_OPEN,        // Shift on a drive line: the drive's root folder
    COMPACT_CLICK_DRIVE_CONSOLE,     // Ctrl: a command prompt on the drive
    COMPACT_CLICK_DRIVE_POWERSHELL,  // Alt: PowerShell on the drive
};

struct CompactClick {
    CompactClickKind kind = COMPACT_CLICK_NOTHING;
    int tab = -1;       // COMPACT_CLICK_TAB
    int drive_row = 0;  // the drive clicks: the drive line, from 1
};

struct CompactClickFacts {
    CompactHit hit;
    int cell_end[40] = {};    // column + width of the fixed cells CELL_FIXED_FIRST to CELL_FIXED_LAST (index = cell)
    bool ping_shown = false;  // the ping cell has a text (there are hosts)
    int fixed_lines = 4;
    int gpu_entries = 0;
    int active_connections = 0;
    bool shift = false;
    bool control = false;
    bool alt = false;
};

// A click counts for the first cell, in a fixed order per line, whose end lies beyond the clicked column;
// below the fixed lines come the GPU lines, the network lines and the drive lines.
CompactClick compact_click_route(const CompactClickFacts& facts);

// The compact font size after a wheel turn with Ctrl held (10 to 26); the size unchanged otherwise.
int compact_wheel_font_size(int size, int wheel, bool control_held);
