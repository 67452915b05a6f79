// The desktop's DPI and the conversions at it (Windows).
#pragma once

// The DPI of the desktop, read once; 96 when Windows gives none.
int gui_dpi();

// 96-DPI units to screen pixels at the desktop's DPI, and back.
int gui_scale(int units);
int gui_unscale(int pixels);
