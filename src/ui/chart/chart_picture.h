// The whole chart on a w × h Cairo surface, as the window's canvas shows it or
// as an exported page carries it.
#pragma once

#include <cairo.h>

#include <cstddef>
#include <cstdint>

#include "core/chart/chart_model.h"

namespace flextor {

// The canvas writes the newest sample's time at the top left; a page writes the
// times of its first and last sample there instead.
enum class ChartTarget { kCanvas, kPage };

struct ChartContent {
    const ChartLook& look;
    const ChartHistory& history;
    size_t count;                       // the oldest count samples of history are drawn
    int32_t now;                        // wall seconds
    const ChartMarks* marks = nullptr;  // the notes' flags, drawn when given
};

// Background, legend, scale and traces. Lines are drawn without antialiasing;
// the context's other state is left as it was.
void DrawChart(cairo_t* cr, int width, int height, const ChartContent& content, ChartTarget target);

}  // namespace flextor
