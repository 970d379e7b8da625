#include <gtest/gtest.h>

#include "core/chart/chart_geometry.h"
#include "core/chart/chart_model.h"

namespace flextor {
namespace {

TEST(ChartGeometry, VisibleSamplesFollowTheWidth) {
    const int cases[][3] = {{484, 472, 87}, {4000, 472, 790}, {450, 472, 80},
                            {0, 472, 0},    {484, -1, 0},     {40, 472, 0}};
    for (const auto& [w, h, visible] : cases) {
        EXPECT_EQ(VisibleSamples(w, h), visible) << w << " x " << h;
    }
    EXPECT_EQ(PlotRectFor(484, 472).InnerHeight(), 405);
    EXPECT_EQ(PlotRectFor(0, 472).right, 0);
}

TEST(ChartGeometry, TracesClampToTheAxisAndDropOutOfRangeReadings) {
    // {tenths, y or 0 when not drawn}; the inner plot runs from y 45 to 450.
    const int cases[][2] = {{1000, 45}, {1250, 45}, {100, 450}, {-550, 450},
                            {785, 142}, {1251, 0},  {-551, 0},  {kNoValue, 0}};
    for (const auto& [tenths, y] : cases) {
        int16_t clamped = 0;
        const bool drawn = TraceValue(static_cast<int16_t>(tenths), clamped);
        EXPECT_EQ(drawn ? TraceY(PlotRectFor(484, 472), clamped) : 0, y) << tenths;
    }
}

TEST(ChartModel, WallSecondsCountTheCalendarWithoutTimeZone) {
    const std::pair<LocalTime, int32_t> cases[] = {{{1970, 1, 1, 0, 0, 0}, 0},
                                                   {{2000, 3, 1, 0, 0, 0}, 951868800},
                                                   {{2038, 1, 19, 3, 14, 7}, 2147483647}};
    for (const auto& [t, seconds] : cases) {
        EXPECT_EQ(WallSeconds(t), seconds);
        EXPECT_EQ(FormatDateTime(FromWallSeconds(seconds)), FormatDateTime(t));
    }
}

}  // namespace
}  // namespace flextor
