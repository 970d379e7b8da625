// The chart as a PNG image in memory, drawn by the same routine as the window's
// canvas and showing the newest samples: for the status page. GUI thread (it
// reads the day's history).
#pragma once

#include <cstdint>
#include <string>

#include "core/chart/chart_model.h"

namespace flextor {

// The PNG bytes of a width × height picture of history's newest samples, with
// look's colours and range; empty when it cannot be made.
std::string ChartPngBytes(const ChartLook& look, const ChartHistory& history, int32_t now,
                          int width, int height);

}  // namespace flextor
