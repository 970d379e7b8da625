// The canvas painter.
#include "ui/chart/chart_canvas.h"

#include "ui/chart/chart_picture.h"

namespace flextor {

void DrawChartOnCanvas(const Cairo::RefPtr<Cairo::Context>& cr, int width, int height,
                       const ChartLook& look, const ChartHistory& history, const LocalTime& now) {
    const ChartContent content{look, history, history.size(), WallSeconds(now)};
    DrawChart(cr->cobj(), width, height, content, ChartTarget::kCanvas);
}

}  // namespace flextor
