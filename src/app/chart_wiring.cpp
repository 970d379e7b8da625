#include "app/chart_wiring.h"

#include "core/chart/chart_model.h"
#include "core/time/clock.h"
#include "ui/chart/chart_canvas.h"
#include "ui/chart/png_chart_exporter.h"

namespace flextor {

void InstallChartPainter(MainWindow& window) {
    window.SetChartPainter([](const Cairo::RefPtr<Cairo::Context>& cr, int width, int height) {
        DrawChartOnCanvas(cr, width, height, Chart.look, Chart.history, CurrentClock().Now());
    });
}

std::unique_ptr<ChartExporter> MakeChartExporter(const std::string& program_folder) {
    return std::make_unique<PngChartExporter>(program_folder);
}

}  // namespace flextor
