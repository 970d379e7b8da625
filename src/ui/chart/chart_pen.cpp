// Boxes and lines on whole pixels.
#include "ui/chart/chart_pen.h"

namespace flextor {

void UseColour(cairo_t* cr, int32_t colour) {
    const auto bits = static_cast<uint32_t>(colour);
    cairo_set_source_rgb(cr, (bits & 0xFF) / 255.0, ((bits >> 8) & 0xFF) / 255.0,
                         ((bits >> 16) & 0xFF) / 255.0);
}

void FillBox(cairo_t* cr, int x, int y, int w, int h, int32_t colour) {
    if (w <= 0 || h <= 0) {
        return;
    }
    UseColour(cr, colour);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
}

void OutlineBox(cairo_t* cr, int x, int y, int w, int h, int32_t colour) {
    if (w <= 0 || h <= 0) {
        return;
    }
    FillBox(cr, x, y, w, 1, colour);
    FillBox(cr, x, y + h - 1, w, 1, colour);
    FillBox(cr, x, y, 1, h, colour);
    FillBox(cr, x + w - 1, y, 1, h, colour);
}

void DrawPixelLine(cairo_t* cr, int x0, int y0, int x1, int y1, int32_t colour) {
    UseColour(cr, colour);
    cairo_set_line_width(cr, 1.0);
    // Square caps reach half a pixel past each centre, so both end pixels are set.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
    cairo_move_to(cr, x0 + 0.5, y0 + 0.5);
    cairo_line_to(cr, x1 + 0.5, y1 + 0.5);
    cairo_stroke(cr);
}

}  // namespace flextor
