// Marks on the chart's timeline: an operator's note at its second, drawn as a
// small flag on the window's chart. They live with the chart model only and are
// not part of a day's export.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/time/clock.h"

namespace flextor {

struct ChartMark {
    int32_t time = 0;  // wall seconds, as ChartSample::time
    std::string text;
};
using ChartMarks = std::vector<ChartMark>;

// Adds a mark at t to the chart (GUI thread); marks older than the first sample
// of the day are dropped.
void AddChartMark(const LocalTime& t, const std::string& text);

}  // namespace flextor
