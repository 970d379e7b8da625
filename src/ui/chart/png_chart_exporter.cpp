// Starting and owning the export worker.
#include "ui/chart/png_chart_exporter.h"

#include <system_error>
#include <utility>

#include "ui/chart/save_chart_thread.h"

namespace flextor {

PngChartExporter::PngChartExporter(std::string program_folder, int page_height)
    : program_folder_(std::move(program_folder)), page_height_(page_height) {}

PngChartExporter::~PngChartExporter() {
    worker_.request_stop();
    Wait();
}

void PngChartExporter::Wait() {
    if (worker_.joinable()) {
        worker_.join();
    }
}

bool PngChartExporter::Start(ChartHistory day, const ChartLook& look, const LocalTime& started_at) {
    // Started only while no save runs: a previous worker has cleared the marker
    // and is at most returning.
    Wait();
    ChartSaveJob job{std::move(day), look, program_folder_, started_at, page_height_};
    try {
        worker_ = std::jthread(SaveChartThread, std::move(job));
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

}  // namespace flextor
