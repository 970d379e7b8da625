#include "ui/main_window/chart_canvas_view.h"

#include <glib-object.h>

#include <cmath>
#include <utility>

namespace flextor {

ChartCanvasSize ChartCanvasView::CanvasSize() const {
    int width = 0;
    int height = 0;
    window_.ChartFrame().get_size_request(width, height);
    return ChartCanvasSize{width, height};
}

// A scroll bar answers a change of its adjustment's bounds by asking for a new
// size, and so the whole window is laid out again, with the window's place and
// the monitor's work area fetched from the X server, every second a sample is
// added. Its size never depends on the bounds: while the adjustment changes,
// the scroll bar's own handlers are held back, and it is given a new slider by
// allocating it again and drawing it, which leaves the rest of the window alone.
void ChartCanvasView::SetScrollBar(int32_t maximum, int32_t page, int32_t position) {
    Gtk::Scrollbar& bar = window_.ChartScrollBar();
    const Glib::RefPtr<Gtk::Adjustment> adjustment = bar.get_adjustment();
    const double upper = maximum + 1.0;
    if (adjustment->get_value() == position && adjustment->get_lower() == 0 &&
        adjustment->get_upper() == upper && adjustment->get_step_increment() == 1 &&
        adjustment->get_page_increment() == page && adjustment->get_page_size() == page) {
        return;
    }
    setting_ = true;
    const auto held = static_cast<GSignalMatchType>(G_SIGNAL_MATCH_DATA);
    g_signal_handlers_block_matched(adjustment->gobj(), held, 0, 0, nullptr, nullptr, bar.gobj());
    adjustment->configure(position, 0, upper, 1, page, page);
    g_signal_handlers_unblock_matched(adjustment->gobj(), held, 0, 0, nullptr, nullptr, bar.gobj());
    bar.queue_allocate();
    bar.queue_draw();
    setting_ = false;
}

void ChartCanvasView::QueueRedraw() {
    window_.ChartCanvas().queue_draw();
}

void ChartCanvasView::ConnectScroll(std::function<void(int32_t)> on_scroll) {
    DisconnectScroll();
    Gtk::Scrollbar& bar = window_.ChartScrollBar();
    scroll_ = bar.signal_value_changed().connect([this, &bar, on_scroll = std::move(on_scroll)] {
        if (!setting_) {
            on_scroll(static_cast<int32_t>(std::lround(bar.get_value())));
        }
    });
}

void ChartCanvasView::DisconnectScroll() {
    scroll_.disconnect();
}

}  // namespace flextor
