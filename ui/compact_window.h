// The compact window's cells as the monitors use them: set a value, draw it when it changed, refit.
#pragma once

#include <string_view>

#include "ui/compact_layout.h"

// Sets a cell's value text (cut to its room) under CellDrawMutex; draws nothing.
void cell_value_set(int cell, std::wstring_view text);

enum CellDrawForce : bool { CELL_DRAW_IF_CHANGED = false, CELL_DRAW_ALWAYS = true };

// Draws the cell when its value differs from the text last drawn, or always; in either case the value
// becomes the drawn text. Takes CellDrawMutex; draws only while the compact window exists.
void cell_draw(int cell, CellDrawForce force);

// Sets the value and draws the cell when it changed.
void cell_show(int cell, std::wstring_view text);

// Redraws every shown cell of the group that starts at first_cell whose value changed.
void cell_group_redraw(int first_cell);

// Resizes the compact window to its lines and columns inside the work area (or asks the drive watcher
// to do it once the window is restored).
void compact_window_fit();

// Lays out all cells, resizes the canvas and redraws every cell.
void compact_window_layout();

// Recreates the compact window's font for the current size and recomputes the cell positions.
void compact_font_apply();

// Applies the mode OPT_BORDERLESS asks for: normal (caption, labelled memory cells) or compact (no caption,
// the "[-]", "[+]" and "[X]" cells), then fits the window. Main thread.
void compact_mode_toggle();

// Start-up, after the compact window and its canvas exist: opens the window for its cells (font, colours,
// transparency, stay-on-top, canvas, measures) and fills the fixed cells. Main thread (Windows).
void compact_window_setup(int font_points);

// The fixed cells from the data block's cell templates with their translated labels, and the drive names
// of the drive table. Part of the set-up; before the workers start.
void compact_cells_setup();

// Measures the compact font and places the fixed cells anew. Returns false when it cannot measure.
bool compact_font_measure();

// The cell under a click on the canvas (device pixels): its column and line, read under CellDrawMutex.
CompactHit compact_window_hit(int x_pixels, int y_pixels);

// Places the canvas for the window's present width (after the window was resized).
void compact_canvas_follow_window();
