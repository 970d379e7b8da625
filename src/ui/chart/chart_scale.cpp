// The plot frame and the value scale: a line every 5 °C from 100 down to 15,
// and the values 100 .. 10 written left and right of the plot.
#include <cmath>

#include "ui/chart/chart_drawing.h"
#include "ui/chart/chart_labels.h"
#include "ui/chart/chart_pen.h"

namespace flextor {
namespace {

constexpr int kSteps = 18;  // 100, 95, ..., 10 °C

// The top of a value's text: the top value hangs below its line, the bottom one
// sits above it, the others are centred on theirs.
int LabelTop(int degrees, double y, int height) {
    if (degrees == 100) {
        return static_cast<int>(std::lround(y)) - 4;
    }
    if (degrees == 10) {
        return static_cast<int>(std::lround(y)) - height + 4;
    }
    return static_cast<int>(std::lround(y - height / 2.0));
}

void DrawStep(ChartScene& scene, const PlotRect& rect, int k) {
    const int degrees = 100 - 5 * k;
    const double y = rect.top + k * static_cast<double>(rect.bottom - rect.top) / kSteps;
    if (degrees != 10) {
        FillBox(scene.cr, rect.left, static_cast<int>(std::lround(y)), rect.right - rect.left, 1,
                scene.Colour(kGridColour));
    }
    const std::string label = ScaleLabel(degrees);
    const TextSize size = scene.text.Measure(label);
    const int top = LabelTop(degrees, y, size.height);
    scene.text.Draw(rect.left - size.width - 4, top, label, scene.Colour(kTextColour));
    scene.text.Draw(rect.right + 20 - size.width, top, label, scene.Colour(kTextColour));
}

}  // namespace

void DrawScale(ChartScene& scene, const PlotRect& rect) {
    const int32_t grid = scene.Colour(kGridColour);
    OutlineBox(scene.cr, rect.left - 1, rect.top - 1, rect.right - rect.left + 2,
               rect.bottom - rect.top + 2, grid);
    OutlineBox(scene.cr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, grid);
    for (int k = 0; k <= kSteps; ++k) {
        DrawStep(scene, rect, k);
    }
}

}  // namespace flextor
