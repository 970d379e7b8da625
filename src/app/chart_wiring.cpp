#include "app/chart_wiring.h"

#include <cstdint>

#include "core/chart/chart_model.h"

namespace flextor {
namespace {

double Channel(int32_t colour, int shift) {
    return ((static_cast<uint32_t>(colour) >> shift) & 0xFFu) / 255.0;
}

// For now the canvas shows the background of the chart only.
void PaintBackground(const Cairo::RefPtr<Cairo::Context>& cr, int width, int height) {
    const int32_t background = Chart.look.colours[0];
    cr->set_source_rgb(Channel(background, 0), Channel(background, 8), Channel(background, 16));
    cr->rectangle(0, 0, width, height);
    cr->fill();
}

}  // namespace

void InstallChartPainter(MainWindow& window) {
    window.SetChartPainter(PaintBackground);
}

std::unique_ptr<ChartExporter> MakeChartExporter() {
    return nullptr;
}

}  // namespace flextor
