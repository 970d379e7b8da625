// Crisp drawing on a Cairo context: boxes on whole pixels and one-pixel lines
// between pixel centres. The context draws without antialiasing (the chart sets
// that), so every pixel is the colour or untouched.
#pragma once

#include <cairo.h>

#include <cstdint>

namespace flextor {

// Selects colour (red in the low byte, then green, then blue) as the source.
void UseColour(cairo_t* cr, int32_t colour);

// Fills the w × h pixels whose top left pixel is (x, y).
void FillBox(cairo_t* cr, int x, int y, int w, int h, int32_t colour);

// The outline of the w × h box at (x, y): its first and last rows and columns.
void OutlineBox(cairo_t* cr, int x, int y, int w, int h, int32_t colour);

// A one-pixel line from pixel (x0, y0) to pixel (x1, y1), both ends included.
void DrawPixelLine(cairo_t* cr, int x0, int y0, int x1, int y1, int32_t colour);

}  // namespace flextor
