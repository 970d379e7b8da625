#include "core/chart/chart_control.h"

#include <algorithm>

#include "core/chart/chart_geometry.h"
#include "core/chart/chart_tick.h"
#include "core/log/message_log.h"
#include "core/settings/settings.h"

namespace flextor {
namespace {

ChartView* bound_view = nullptr;
ChartExporter* bound_exporter = nullptr;

void EmptyChart() {
    Chart.history.clear();
    Chart.look.scrollPos = 0;
    ResetChartTick();
}

}  // namespace

bool InitChart(ChartView* view, ChartExporter* exporter) {
    ReleaseChart();
    if (view == nullptr) {
        AddLogMessage("Неудачная инициализация графика.", kLevelError);
        return false;
    }
    bound_view = view;
    bound_exporter = exporter;
    const ChartCanvasSize size = view->CanvasSize();
    Chart.look.visible = VisibleSamples(size.width, size.height);
    Chart.look.minValue = 100;
    Chart.look.maxValue = 1000;
    view->SetScrollBar(0, Chart.look.visible, 0);
    return true;
}

void ReleaseChart() {
    bound_view = nullptr;
    bound_exporter = nullptr;
    EmptyChart();
}

void ApplyChartSettings() {
    std::copy(std::begin(Settings.Graph.Color), std::end(Settings.Graph.Color),
              Chart.look.colours.begin());
    Chart.newDay = Settings.Graph.NewDay != 0;
    Chart.autoScroll = Settings.Graph.AutoScroll != 0;
}

void ScrollChart(int32_t position) {
    Chart.look.scrollPos = position;
    RedrawChart();
}

void RedrawChart() {
    if (bound_view != nullptr) {
        bound_view->QueueRedraw();
    }
}

ChartView* BoundChartView() {
    return bound_view;
}

ChartExporter* BoundChartExporter() {
    return bound_exporter;
}

}  // namespace flextor
