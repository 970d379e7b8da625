// The chart as a picture for the status page, drawn by the same routine as the
// window's canvas and showing the newest samples. Drawing reads the day's
// history, so it runs on the GUI thread; the PNG is made from the drawn image
// by EncodePng (png_file.h), on any thread.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <string>

#include "core/chart/chart_model.h"

namespace flextor {

struct SurfaceRelease {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
using ChartImage = std::unique_ptr<cairo_surface_t, SurfaceRelease>;

// A width × height RGB image of history's newest samples with look's colours
// and range; nullptr when it cannot be made.
ChartImage DrawChartImage(const ChartLook& look, const ChartHistory& history, int32_t now,
                          int width, int height);

// Both steps at once: the PNG bytes, empty when they cannot be made.
std::string ChartPngBytes(const ChartLook& look, const ChartHistory& history, int32_t now,
                          int width, int height);

}  // namespace flextor
