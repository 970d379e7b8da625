// The chart on the main window's canvas: the painter the window calls from its
// draw handler (MainWindow::SetChartPainter), on the GUI thread.
#pragma once

#include <cairomm/context.h>

#include "core/chart/chart_model.h"
#include "core/time/clock.h"

namespace flextor {

// Draws history as look shows it on a width × height canvas: background,
// legend, scale, traces and the newest sample's time. now places the time grid
// while the history is empty.
void DrawChartOnCanvas(const Cairo::RefPtr<Cairo::Context>& cr, int width, int height,
                       const ChartLook& look, const ChartHistory& history, const LocalTime& now);

}  // namespace flextor
