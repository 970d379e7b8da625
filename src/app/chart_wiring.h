// What the chart draws with and exports with, as the program installs them: the
// painter of the window's canvas and the exporter of a finished day.
#pragma once

#include <memory>
#include <string>

#include "core/chart/chart_exporter.h"
#include "ui/main_window/main_window.h"

namespace flextor {

// Makes the canvas draw the chart.
void InstallChartPainter(MainWindow& window);

// The exporter the chart hands a finished day to: PNG pages under
// program_folder (ending in "/") + "График/".
std::unique_ptr<ChartExporter> MakeChartExporter(const std::string& program_folder);

}  // namespace flextor
