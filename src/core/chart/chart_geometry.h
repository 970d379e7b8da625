// Where things go on a chart surface of w × h pixels: the plot rectangle, the
// value axis, 5 pixels per sample. Plain arithmetic, the same for the window's
// canvas and for an exported image.
#pragma once

#include <cstdint>

namespace flextor {

inline constexpr int kPixelsPerSample = 5;

struct PlotRect {
    int left = 0;    // L = 27
    int top = 0;     // T = 44
    int right = 0;   // R = w - 24
    int bottom = 0;  // B = h - 20
    // The inner plot: x from left to left + InnerWidth(), y from top + 1 down.
    int InnerWidth() const { return right - left - 2; }   // W = w - 53
    int InnerHeight() const { return bottom - top - 3; }  // H = h - 67
};

// The plot rectangle of a w × h surface; all zero when either is not positive.
PlotRect PlotRectFor(int w, int h);

// Sample columns a surface of width w shows: ceil((w - 53) / 5); 0 when w or h
// is not positive or w leaves no room for a plot (87 for the window's 484 × 472
// canvas).
int32_t VisibleSamples(int w, int h);

// A temperature as the traces draw it: clamped to 100..1000 when it lies in the
// sensor range -550..1250; false when the trace has no value here.
bool TraceValue(int16_t tenths, int16_t& clamped);

// The y of a clamped value: ceil((T + 1) + (1000 - v) × H / 900).
int TraceY(const PlotRect& plot, int16_t clamped);

}  // namespace flextor
