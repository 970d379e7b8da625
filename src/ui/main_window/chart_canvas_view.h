// The main window's chart canvas and scroll bar as the chart's view. The scroll
// bar counts samples the way the chart does: the last one at maximum, so its
// adjustment's upper bound is maximum + 1 and every position shows a full page.
#pragma once

#include <gtkmm.h>

#include <cstdint>
#include <functional>

#include "core/chart/chart_view.h"
#include "ui/main_window/main_window.h"

namespace flextor {

class ChartCanvasView final : public ChartView {
  public:
    explicit ChartCanvasView(MainWindow& window) : window_(window) {}
    ~ChartCanvasView() override { DisconnectScroll(); }
    ChartCanvasView(const ChartCanvasView&) = delete;
    ChartCanvasView& operator=(const ChartCanvasView&) = delete;

    // The canvas control with its border; its size is fixed, so it is known while
    // the window is still hidden.
    ChartCanvasSize CanvasSize() const override;
    void SetScrollBar(int32_t maximum, int32_t page, int32_t position) override;
    void QueueRedraw() override;

    // on_scroll gets the oldest sample in view each time the operator moves the
    // scroll bar (not when SetScrollBar moves it).
    void ConnectScroll(std::function<void(int32_t)> on_scroll);
    void DisconnectScroll();

  private:
    MainWindow& window_;
    bool setting_ = false;
    sigc::connection scroll_;
};

}  // namespace flextor
