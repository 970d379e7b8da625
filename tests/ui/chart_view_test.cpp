// The chart's scroll bar on the main window follows the samples, and the
// operator's scrolling moves the view.
#include <gtest/gtest.h>

#include "core/chart/chart_control.h"
#include "core/chart/chart_tick.h"
#include "core/settings/settings.h"
#include "core/state/program_state.h"
#include "support/fake_clock.h"
#include "ui/gtk_test_support.h"
#include "ui/main_window/chart_canvas_view.h"

namespace flextor::test {
namespace {

TEST(ChartView, ScrollBarFollowsTheSamplesAndScrollingMovesTheView) {
    ResetProgramState();
    ResetSettings();
    FakeClock clock{LocalTime{2026, 12, 6, 12, 0, 0}};
    ScopedClock scoped_clock{clock};
    TestMainWindow window;
    ChartCanvasView view{window};
    ApplyChartSettings();
    ASSERT_TRUE(InitChart(&view, nullptr));
    view.ConnectScroll(ScrollChart);
    ShowAndWait(window, 1004, 684);
    auto samples = [&clock](int n) {
        for (int i = 0; i < n; ++i, clock.AdvanceSeconds(1)) {
            ChartTick();
        }
    };

    samples(kChartWarmUpSeconds + 100);
    auto adjustment = window.ChartScrollBar().get_adjustment();
    EXPECT_EQ(adjustment->get_page_size(), 87);
    EXPECT_EQ(adjustment->get_upper(), 100);  // samples 0..99
    EXPECT_EQ(adjustment->get_value(), 13);
    EXPECT_EQ(Chart.look.scrollPos, 13);

    window.ChartScrollBar().set_value(5);
    EXPECT_EQ(Chart.look.scrollPos, 5);
    samples(1);  // auto-scroll brings the newest sample back into view
    EXPECT_EQ(adjustment->get_value(), 14);
    EXPECT_EQ(Chart.look.scrollPos, 14);
    ReleaseChart();
}

}  // namespace
}  // namespace flextor::test
