// Conversions between 96-DPI units, in which windows and controls are placed, and screen pixels.
#pragma once

// Units to pixels at the given DPI, rounded to the nearest pixel (halves away from zero).
int dpi_scale(int units, int dpi);

// Pixels to units at the given DPI, rounded the same way.
int dpi_unscale(int pixels, int dpi);

// A DPI that Windows may report as 0 or nonsense is taken as 96.
int dpi_sane(int dpi);
