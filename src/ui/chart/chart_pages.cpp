// Page widths, numbers and the samples each page shows.
#include "ui/chart/chart_pages.h"

#include <algorithm>

#include "core/chart/chart_geometry.h"

namespace flextor {
namespace {

// The samples the traces of a page this wide reach: from the right edge back in
// 5-pixel steps, the last one at the left edge (791 on a 4000-pixel page).
int64_t SamplesShown(int32_t width) {
    const int32_t inner = PlotRectFor(width, 1).InnerWidth();  // the height plays no part
    return inner <= 0 ? 1 : (inner + kPixelsPerSample - 1) / kPixelsPerSample + 1;
}

}  // namespace

std::vector<ChartPage> PlanChartPages(size_t samples) {
    std::vector<ChartPage> pages;
    auto n = static_cast<int64_t>(samples);
    while (n > 0) {
        const auto width =
            static_cast<int32_t>(std::min<int64_t>(kPixelsPerSample * n + 52, kMaxPageWidth));
        ChartPage page;
        page.visible = width / kPixelsPerSample;
        page.width = std::max(width, kMinPageWidth);
        page.count = static_cast<size_t>(n);
        page.scrollPos = static_cast<int32_t>(n - page.visible);
        pages.push_back(page);
        n -= std::min(n, SamplesShown(width));
    }
    // The oldest page is 1, the newest the number of pages.
    for (size_t i = 0; i < pages.size(); ++i) {
        pages[i].number = static_cast<int>(pages.size() - i);
    }
    return pages;
}

}  // namespace flextor
