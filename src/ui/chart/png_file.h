// Writes a Cairo image surface as a 24-bit RGB PNG file through libpng.
#pragma once

#include <cairo.h>

#include <string>

namespace flextor {

struct PngCompression {
    int level;    // zlib level 0..9
    int filters;  // libpng PNG_FILTER_* bits
};

// For the chart pages on a Raspberry Pi: zlib level 3 without row filters. The
// pages are white areas and thin lines, which filters do not help (the "sub"
// filter made them larger, adaptive filtering took three times as long), and
// while a day is saved the chart records nothing, so speed comes first; level 6
// would save about 40 % of the bytes for twice the time.
PngCompression ChartPngCompression();

// Writes image (RGB24 or ARGB32, alpha dropped) to path. False, and no file
// left at path, when it cannot be written.
[[nodiscard]] bool WritePng(cairo_surface_t* image, const std::string& path,
                            const PngCompression& compression = ChartPngCompression());

// The same PNG in memory; empty when it cannot be made. Any thread, for an
// image no other thread draws on.
std::string EncodePng(cairo_surface_t* image,
                      const PngCompression& compression = ChartPngCompression());

}  // namespace flextor
