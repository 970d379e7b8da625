// Setting the chart up and steering it from the window: the view and the exporter
// it works with, the settings it copies, the scroll bar. GUI thread only.
#pragma once

#include <cstdint>

#include "core/chart/chart_exporter.h"
#include "core/chart/chart_view.h"

namespace flextor {

// Binds the chart to view and exporter (nullptr: a finished day is dropped, as
// with NewDay off), empties it and sizes it to the canvas: visible, the value
// axis, the scroll bar reset. Without a view it logs "Неудачная инициализация
// графика." as an error and returns false; the chart then stays blank.
[[nodiscard]] bool InitChart(ChartView* view, ChartExporter* exporter);

// Forgets the view and the exporter and empties the chart; the ticks then do nothing.
void ReleaseChart();

// Copies Color0..Color8, NewDay and AutoScroll of Settings.Graph into the chart.
void ApplyChartSettings();

// The scroll bar was moved: the oldest sample in view is now position.
void ScrollChart(int32_t position);

// Asks the view, if any, to draw the chart again.
void RedrawChart();

// The view and the exporter bound by InitChart, or nullptr.
ChartView* BoundChartView();
ChartExporter* BoundChartExporter();

}  // namespace flextor
