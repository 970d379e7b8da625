// Pixel checks of chart pictures: an image surface or a PNG file read back as
// colours with red in the low byte, the way the chart's colours are given.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/chart/chart_model.h"
#include "core/time/clock.h"

namespace flextor::test {

// The chart's default colours: background, grid, text, traces 1..6.
inline constexpr ChartLook kDefaultLook{
    {0xFFFFFF, 0xC0C0C0, 0x008000, 0x6900D2, 0x0000FF, 0x408000, 0xFF8000, 0xC08000, -15540206},
    87,
    0,
    100,
    1000};

struct Point {
    int x = 0;
    int y = 0;
};

struct ChartPixels {
    int width = 0;
    int height = 0;
    std::vector<int32_t> colours;  // row by row, red in the low byte

    int32_t At(int x, int y) const { return colours[static_cast<size_t>(y) * width + x]; }
    // Pixels of colour in the box [x0, x1) × [y0, y1); with a tolerance, each
    // channel may differ by that much (the cores of antialiased glyphs).
    int Count(int32_t colour, int x0, int y0, int x1, int y1, int tolerance = 0) const;
    // The columns of row y in [x0, x1) that have colour.
    std::vector<int> ColumnsOf(int32_t colour, int y, int x0, int x1) const;
    // The top left pixel of the first 16 × 2 key bar of colour.
    std::optional<Point> FindKeyBar(int32_t colour) const;
};

ChartPixels PixelsOf(cairo_surface_t* image);
// Decodes a PNG file with libpng; nullopt when it is not an 8-bit RGB PNG.
std::optional<ChartPixels> ReadPng(const std::string& path);

// The canvas picture of history on an image surface of the canvas's size.
ChartPixels DrawnChart(const ChartHistory& history, const ChartMarks* marks = nullptr);

// Samples one second apart, the newest at newest_time, every trace at tenths.
ChartHistory Samples(size_t count, const LocalTime& newest_time, int16_t tenths = 500);

}  // namespace flextor::test
