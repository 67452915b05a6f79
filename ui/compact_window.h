// The compact window's cells as the monitors use them: set a value, draw it when it changed, refit.
#pragma once

#include <string_view>

// Sets a cell's value text (cut to its room) under CellDrawMutex; draws nothing.
void cell_value_set(int cell, std::wstring_view text);

// Draws the cell when its value differs from the text last drawn, or always with force; in either case
// the value becomes the drawn text. Takes CellDrawMutex; draws only while the compact window exists.
void cell_draw(int cell, int force);

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
