// The chart on the main window: its scroll bar follows the samples, the operator's
// scrolling moves the view, and the canvas is drawn only when something changed.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "core/chart/chart_control.h"
#include "core/chart/chart_tick.h"
#include "core/log/message_log.h"
#include "core/settings/settings.h"
#include "core/state/program_state.h"
#include "support/fake_clock.h"
#include "ui/gtk_test_support.h"
#include "ui/main_window/chart_canvas_view.h"

namespace flextor::test {
namespace {

class ChartView : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetProgramState();
        ResetSettings();
        ResetMessageLog();
        ApplyChartSettings();
        ASSERT_TRUE(InitChart(&view, nullptr));
        view.ConnectScroll(ScrollChart);
        window.ChartCanvas().signal_draw().connect(
            [this](const Cairo::RefPtr<Cairo::Context>&) {
                ++draws;
                return false;
            },
            false);
        ShowAndWait(window, 1004, 684);
    }
    void TearDown() override { ReleaseChart(); }

    // n ticks a second apart, the last at the clock's new second.
    void Seconds(int n) {
        for (int i = 0; i < n; ++i) {
            clock.AdvanceSeconds(1);
            ChartTick();
        }
        ProcessEvents();
    }

    // Runs the main loop long enough for the frame clock to paint what was queued.
    static void PaintPending() {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(150);
        while (std::chrono::steady_clock::now() < until) {
            ProcessEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    FakeClock clock{LocalTime{2026, 12, 6, 12, 0, 0}};
    ScopedClock scoped_clock{clock};
    TestMainWindow window;
    ChartCanvasView view{window};
    int draws = 0;
};

TEST_F(ChartView, ScrollBarFollowsTheSamplesAndScrollingMovesTheView) {
    Seconds(kChartWarmUpSeconds + 100);
    auto adjustment = window.ChartScrollBar().get_adjustment();
    EXPECT_EQ(adjustment->get_page_size(), 87);
    EXPECT_EQ(adjustment->get_upper(), 100);  // samples 0..99
    EXPECT_EQ(adjustment->get_value(), 13);
    EXPECT_EQ(Chart.look.scrollPos, 13);

    window.ChartScrollBar().set_value(5);
    EXPECT_EQ(Chart.look.scrollPos, 5);

    Seconds(1);  // auto-scroll brings the newest sample back into view
    EXPECT_EQ(adjustment->get_value(), 14);
    EXPECT_EQ(Chart.look.scrollPos, 14);
}

TEST_F(ChartView, CanvasIsDrawnOnlyForANewSample) {
    Seconds(kChartWarmUpSeconds + 1);
    PaintPending();
    const int drawn = draws;
    EXPECT_GT(drawn, 0);
    for (int i = 0; i < 9; ++i) {  // the rest of the last second
        clock.Advance(100);
        ChartTick();
    }
    PaintPending();
    EXPECT_EQ(draws, drawn);
    Seconds(1);
    PaintPending();
    EXPECT_GT(draws, drawn);
}

}  // namespace
}  // namespace flextor::test
