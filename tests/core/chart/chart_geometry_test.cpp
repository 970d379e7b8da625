#include <gtest/gtest.h>

#include "core/chart/chart_geometry.h"
#include "core/chart/chart_model.h"

namespace flextor {
namespace {

TEST(ChartGeometry, PlotAndVisibleSamplesFollowTheSurface) {
    struct Case {
        int w, h;
        PlotRect plot;
        int32_t visible;
    };
    const Case cases[] = {
        {484, 472, {27, 44, 460, 452}, 87},  // the window's canvas
        {4000, 472, {27, 44, 3976, 452}, 790},
        {450, 472, {27, 44, 426, 452}, 80},  // ceil(397 / 5)
        {0, 472, {}, 0},
        {484, -1, {}, 0},
        {40, 472, {27, 44, 16, 452}, 0},  // narrower than the margins
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << " x " << c.h);
        const PlotRect plot = PlotRectFor(c.w, c.h);
        EXPECT_EQ(plot.left, c.plot.left);
        EXPECT_EQ(plot.top, c.plot.top);
        EXPECT_EQ(plot.right, c.plot.right);
        EXPECT_EQ(plot.bottom, c.plot.bottom);
        EXPECT_EQ(VisibleSamples(c.w, c.h), c.visible);
    }
}

TEST(ChartGeometry, TracesClampToTheAxisAndDropOutOfRangeReadings) {
    const PlotRect plot = PlotRectFor(484, 472);  // inner height 405
    struct Case {
        int16_t tenths;
        bool drawn;
        int y;
    };
    const Case cases[] = {
        {1000, true, 45},                     // top edge
        {1200, true, 45},                     // 120.0 °C clamps to the top
        {100, true, 450},                     // bottom edge
        {50, true, 450},                      // 5.0 °C clamps to the bottom
        {-550, true, 450},                    // range ends still draw
        {1250, true, 45},  {785, true, 142},  // 45 + ceil(215 × 405 / 900) = 45 + ceil(96.75)
        {1300, false, 0},  {-551, false, 0}, {kNoValue, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tenths);
        int16_t clamped = 0;
        ASSERT_EQ(TraceValue(c.tenths, clamped), c.drawn);
        if (c.drawn) {
            EXPECT_EQ(TraceY(plot, clamped), c.y);
        }
    }
}

TEST(ChartModel, WallSecondsCountTheCalendarWithoutTimeZone) {
    struct Case {
        LocalTime t;
        int32_t seconds;
    };
    const Case cases[] = {
        {{1970, 1, 1, 0, 0, 0}, 0},
        {{2000, 3, 1, 0, 0, 0}, 951868800},  // after a leap day of a century year
        {{2026, 12, 7, 0, 0, 1}, 1796601601},
        {{2038, 1, 19, 3, 14, 7}, 2147483647},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.seconds);
        EXPECT_EQ(WallSeconds(c.t), c.seconds);
        EXPECT_EQ(FormatDateTime(FromWallSeconds(c.seconds)), FormatDateTime(c.t));
    }
}

}  // namespace
}  // namespace flextor
