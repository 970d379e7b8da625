// The temperature chart's model: one sample of the six role temperatures per
// recorded second, the history of the current day, and what the view shows of
// it. Knows nothing of drawing; the GUI thread owns all of it, and a day's
// history handed to the export worker is moved out first, so the two threads
// never share a sample.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>

#include "core/chart/chart_marks.h"
#include "core/time/clock.h"

namespace flextor {

inline constexpr int kChartTraces = 6;      // roles 1..6, in this order
inline constexpr int16_t kNoValue = -2000;  // a trace without a value at a sample
inline constexpr size_t kChartCapacity = 200000;
inline constexpr int kChartColours = 9;  // background, grid, text, traces 1..6

struct ChartSample {
    std::array<int16_t, kChartTraces> temperatures{};  // tenths of a degree, or kNoValue
    int32_t time = 0;  // seconds since 1970-01-01 00:00 counted on the local wall clock
};

// Oldest first; constant-time indexing, so the drawing reaches the samples in
// view without walking the day.
using ChartHistory = std::deque<ChartSample>;

// What the drawing needs besides the samples: copied for the export worker.
struct ChartLook {
    std::array<int32_t, kChartColours> colours{};  // red in the low byte
    int32_t visible = 0;                           // sample columns the surface can show
    int32_t scrollPos = 0;                         // index of the oldest sample in view
    int16_t minValue = 100;
    int16_t maxValue = 1000;
};

struct ChartState {
    ChartLook look;
    bool newDay = true;
    bool autoScroll = true;
    ChartHistory history;
    ChartMarks marks;  // the operator's notes, oldest first; never saved with the day
    // Set by the GUI thread when a day's export starts, cleared by the worker
    // as its last step: at most one export at a time.
    std::atomic<bool> saving{false};
};

// The one chart of the program (GUI thread, except `saving`).
extern ChartState Chart;

// Seconds since 1970 of a local calendar time taken as if it were UTC, and back.
int32_t WallSeconds(const LocalTime& t);
LocalTime FromWallSeconds(int32_t seconds);

}  // namespace flextor
