// The drawing steps in their order on one surface.
#include "ui/chart/chart_picture.h"

#include "ui/chart/chart_drawing.h"
#include "ui/chart/chart_pen.h"

namespace flextor {

void DrawChart(cairo_t* cr, int width, int height, const ChartContent& content,
               ChartTarget target) {
    if (width <= 0 || height <= 0) {
        return;
    }
    cairo_save(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    FillBox(cr, 0, 0, width, height, content.look.colours[kBackgroundColour]);
    ChartText text(cr);
    ChartScene scene{cr, text, content.look, content.history, content.count, content.now};
    const PlotRect rect = PlotRectFor(width, height);
    const bool page = target == ChartTarget::kPage;
    DrawLegend(scene, rect.right, page);
    DrawScale(scene, rect);
    DrawTraces(scene, rect, !page);
    if (content.marks != nullptr) {
        DrawMarks(scene, rect, *content.marks);
    }
    cairo_restore(cr);
}

}  // namespace flextor
