// The chart's 100 ms timer procedure: one sample of the six role temperatures per
// new second of the wall clock, the change of day, the scroll bar. GUI thread.
#pragma once

#include "core/chart/chart_model.h"

namespace flextor {

// New seconds seen before the first sample: the sensors get their first readings.
inline constexpr int kChartWarmUpSeconds = 4;

// A day with more samples than this is handed to the exporter at midnight.
inline constexpr size_t kChartFewestSaved = 59;

void ChartTick();

// The six role temperatures as the chart records them at now (kNoValue for a role
// without a working sensor, or while the serial port is closed).
ChartSample TakeChartSample(const LocalTime& now);

// Forgets the seconds and the day seen, so that the warm-up starts again.
void ResetChartTick();

}  // namespace flextor
