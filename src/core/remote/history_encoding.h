// The day's chart for the status page: the body of GET /api/history, small
// enough to send a whole day (86,400 samples of six traces) to a phone.
//
// Little-endian throughout. A header of 48 bytes:
//   int32  first    wall time of the day's first sample (0 for an empty day):
//                   the mark by which a page knows the day it holds
//   uint32 start    index in the day of the first sample in this answer
//   uint32 count    samples in this answer
//   uint32 colours  nine of them as 0xRRGGBB: background, grid, text, traces 1..6
// then count values of each column in turn: the samples' wall times (seconds
// since 1970 on the local wall clock), then traces 1..6 in tenths of a degree.
// A value is one byte:
//   -126..127  its difference from the column's previous value present
//   -128       the value follows whole (times: int32, traces: int16)
//   -127       no value (traces only; the previous value stays the one before)
// The first value of each column in an answer is always whole, so an answer
// needs nothing sent before it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/chart/chart_model.h"

namespace flextor {

inline constexpr size_t kHistoryHeaderBytes = 48;
inline constexpr int8_t kHistoryWhole = -128;
inline constexpr int8_t kHistoryMissing = -127;

// The day's mark: the first sample's wall time, 0 for an empty day.
int32_t HistoryMark(const ChartHistory& history);

// The samples [start, end) of history (end at most its size, start at most end)
// with the chart's colours (red in the low byte, as the settings keep them).
std::string EncodeHistory(const ChartHistory& history, size_t start, size_t end,
                          const std::array<int32_t, kChartColours>& colours);

}  // namespace flextor
