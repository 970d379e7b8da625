#include "ui/main_window/chart_canvas_view.h"

#include <cmath>
#include <utility>

namespace flextor {

ChartCanvasSize ChartCanvasView::CanvasSize() const {
    int width = 0;
    int height = 0;
    window_.ChartFrame().get_size_request(width, height);
    return ChartCanvasSize{width, height};
}

void ChartCanvasView::SetScrollBar(int32_t maximum, int32_t page, int32_t position) {
    setting_ = true;
    window_.ChartScrollBar().get_adjustment()->configure(position, 0, maximum + 1.0, 1, page, page);
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
