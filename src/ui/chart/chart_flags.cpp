// The operator's notes on the chart: a vertical line through the plot at the
// note's second and a small flag at its top, in the text colour.
#include <algorithm>

#include "ui/chart/chart_drawing.h"
#include "ui/chart/chart_pen.h"

namespace flextor {
namespace {

constexpr int kFlagWidth = 6;
constexpr int kFlagHeight = 5;
// A sample may come a second late; a mark with no sample this near (before the
// day's first one, in a gap while the program was off) is not drawn.
constexpr int32_t kNearestSample = 2;

}  // namespace

void DrawMarks(ChartScene& scene, const PlotRect& rect, const ChartMarks& marks) {
    const auto count = static_cast<int64_t>(scene.count);
    if (count == 0 || marks.empty()) {
        return;
    }
    const int64_t newest =
        scene.look.visible >= count
            ? count - 1
            : std::min<int64_t>(int64_t{scene.look.scrollPos} + scene.look.visible - 1, count - 1);
    const auto first = scene.history.begin();
    const auto last = first + static_cast<std::ptrdiff_t>(newest + 1);
    const int32_t colour = scene.Colour(kTextColour);
    for (const ChartMark& mark : marks) {
        // The first sample at or after the mark's second.
        const auto at =
            std::lower_bound(first, last, mark.time,
                             [](const ChartSample& s, int32_t time) { return s.time < time; });
        if (at == last || at->time - mark.time > kNearestSample) {
            continue;
        }
        const int x = rect.InnerWidth() - static_cast<int>(last - 1 - at) * kPixelsPerSample;
        if (x < 0) {
            continue;
        }
        FillBox(scene.cr, rect.left + x, rect.top + 1, 1, rect.InnerHeight(), colour);
        FillBox(scene.cr, rect.left + x + 1, rect.top + 1, kFlagWidth, kFlagHeight, colour);
    }
}

}  // namespace flextor
