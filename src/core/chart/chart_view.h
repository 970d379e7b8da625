// The chart's canvas and scroll bar as the chart tick sees them. The main window
// implements it; headless tests record what the chart asked of it. GUI thread.
#pragma once

#include <cstdint>

namespace flextor {

struct ChartCanvasSize {
    int width = 0;
    int height = 0;
};

class ChartView {
  public:
    virtual ~ChartView() = default;
    // The canvas control's size in pixels, border included (484 × 472 on the window).
    virtual ChartCanvasSize CanvasSize() const = 0;
    // The scroll bar over the samples 0..maximum (inclusive), page of them in view,
    // the oldest in view at position. Setting it does not call the scroll handler.
    virtual void SetScrollBar(int32_t maximum, int32_t page, int32_t position) = 0;
    // Asks for the canvas to be drawn again at the next turn of the event loop.
    virtual void QueueRedraw() = 0;
};

}  // namespace flextor
