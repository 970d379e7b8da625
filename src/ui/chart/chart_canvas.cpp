// The canvas painter.
#include "ui/chart/chart_canvas.h"

#include "ui/chart/chart_picture.h"

namespace flextor {

void DrawChartOnCanvas(const Cairo::RefPtr<Cairo::Context>& cr, int width, int height,
                       const ChartLook& look, const ChartHistory& history, const LocalTime& now) {
    // The canvas is drawn on the GUI thread, the owner of the chart's marks.
    const ChartContent content{look, history, history.size(), WallSeconds(now), &Chart.marks};
    DrawChart(cr->cobj(), width, height, content, ChartTarget::kCanvas);
}

}  // namespace flextor
