// Page widths, numbers and the samples each page shows.
#include "ui/chart/chart_pages.h"

#include <algorithm>

#include "core/chart/chart_geometry.h"

namespace flextor {

std::vector<ChartPage> PlanChartPages(size_t samples) {
    std::vector<ChartPage> pages;
    auto n = static_cast<int64_t>(samples);
    while (n > 0) {
        const auto width =
            static_cast<int32_t>(std::min<int64_t>(kPixelsPerSample * n + 52, kMaxPageWidth));
        ChartPage page;
        page.visible = width / kPixelsPerSample;
        page.number = static_cast<int>(n / page.visible + 1);
        page.width = std::max(width, kMinPageWidth);
        page.count = static_cast<size_t>(n);
        page.scrollPos = static_cast<int32_t>(n - page.visible);
        pages.push_back(page);
        n -= page.visible;
    }
    return pages;
}

}  // namespace flextor
