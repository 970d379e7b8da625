// The steps that draw the temperature chart, shared by the window's canvas and
// the exported pages. Each draws on an open Cairo context with the chart font,
// after the background is filled.
#pragma once

#include <cairo.h>

#include <cstddef>
#include <cstdint>

#include "core/chart/chart_geometry.h"
#include "core/chart/chart_model.h"
#include "ui/chart/chart_text.h"

namespace flextor {

// Which of the nine colours does what.
inline constexpr int kBackgroundColour = 0;
inline constexpr int kGridColour = 1;
inline constexpr int kTextColour = 2;
inline constexpr int kFirstTraceColour = 3;  // traces 1..6 use colours 3..8

// What one drawing shows: the oldest `count` samples of history (all of them on
// the canvas; a page of an export draws the older part of a day), seen through
// look's visible and scrollPos.
struct ChartScene {
    cairo_t* cr;
    ChartText& text;
    const ChartLook& look;
    const ChartHistory& history;
    size_t count;
    int32_t now;  // wall seconds: places the time grid while there are no samples

    int32_t Colour(int which) const { return look.colours[which]; }
};

// The key of the six traces right-aligned to right, in two rows; withDates adds
// the times of the first and the last sample in view at the top left.
void DrawLegend(ChartScene& scene, int right, bool withDates);

// The plot frame, the horizontal lines every 5 °C and their values on both sides.
void DrawScale(ChartScene& scene, const PlotRect& rect);

// The six traces of the samples in view, newest at the right edge, with the time
// grid and its labels; withTimeStamp writes the newest sample's time at the top left.
void DrawTraces(ChartScene& scene, const PlotRect& rect, bool withTimeStamp);

// A flag at the sample of each mark's second that is in view (chart_flags.cpp).
void DrawMarks(ChartScene& scene, const PlotRect& rect, const ChartMarks& marks);

// Time grid lines at x, x - 25, x - 50, ... (inner-plot pixels) while x > 2, those
// left of limit drawn; align first moves x to the line of time's last 5th second.
void DrawTimeGrid(ChartScene& scene, int32_t time, int x, int limit, const PlotRect& rect,
                  bool align);

}  // namespace flextor
