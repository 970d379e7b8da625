// How a day's samples are split into exported pages: the newest page first,
// each following page the samples before it, numbered down towards 1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace flextor {

inline constexpr int kMinPageWidth = 450;
inline constexpr int kMaxPageWidth = 4000;

struct ChartPage {
    int number = 0;         // the file is number + ".png"
    int width = 0;          // pixels
    size_t count = 0;       // the day's oldest count samples are this page's history
    int32_t visible = 0;    // sample columns the page takes
    int32_t scrollPos = 0;  // index of its oldest sample; negative on a short page
};

// Pages for a day of samples, newest first. With n samples still to draw, a page
// is min(5n + 52, 4000) pixels wide but at least 450, takes visible = that width
// (before the minimum) / 5 columns and shows the newest of the n; then n goes
// down by the samples the page really shows (791 on a full page, whose plot is
// narrower than its 800 columns), so that no sample of the day is left off a
// page. Pages are numbered from the oldest, 1, to the newest; with up to 789
// samples that is the one page 1, with 1000 the pages 2 and 1.
std::vector<ChartPage> PlanChartPages(size_t samples);

}  // namespace flextor
