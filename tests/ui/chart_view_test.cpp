// The chart's scroll bar on the main window follows the samples, and the
// operator's scrolling moves the view.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/chart/chart_control.h"
#include "core/chart/chart_tick.h"
#include "core/settings/settings.h"
#include "core/state/program_state.h"
#include "support/fake_clock.h"
#include "ui/gtk_test_support.h"
#include "ui/main_window/chart_canvas_view.h"

namespace flextor::test {
namespace {

// The scroll bar as drawn, in ARGB rows.
std::vector<uint8_t> Drawn(Gtk::Widget& widget) {
    const int width = widget.get_allocated_width();
    const int height = widget.get_allocated_height();
    auto surface = Cairo::ImageSurface::create(Cairo::FORMAT_ARGB32, width, height);
    gtk_widget_draw(widget.gobj(), Cairo::Context::create(surface)->cobj());
    surface->flush();
    const uint8_t* data = surface->get_data();
    return {data, data + static_cast<size_t>(surface->get_stride()) * height};
}

// Long enough for the theme's transitions to end.
void SettleLong() {
    for (int i = 0; i < 5; ++i) {
        Settle();
    }
}

// The slider where a full layout of the window puts it: it follows the samples
// without one.
void ExpectSliderLaidOut(Gtk::Scrollbar& bar, int line) {
    SCOPED_TRACE(line);
    SettleLong();
    const std::vector<uint8_t> drawn = Drawn(bar);
    bar.queue_resize();
    SettleLong();
    EXPECT_EQ(drawn, Drawn(bar));
}

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
    ExpectSliderLaidOut(window.ChartScrollBar(), __LINE__);

    window.ChartScrollBar().set_value(5);
    EXPECT_EQ(Chart.look.scrollPos, 5);
    samples(1);  // auto-scroll brings the newest sample back into view
    EXPECT_EQ(adjustment->get_value(), 14);
    EXPECT_EQ(Chart.look.scrollPos, 14);
    ExpectSliderLaidOut(window.ChartScrollBar(), __LINE__);
    samples(900);  // the slider shrinks as the history grows
    EXPECT_EQ(adjustment->get_upper(), 1001);
    ExpectSliderLaidOut(window.ChartScrollBar(), __LINE__);
    ReleaseChart();
}

}  // namespace
}  // namespace flextor::test
