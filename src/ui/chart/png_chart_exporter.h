// The program's chart exporter: each finished day is drawn as PNG pages on a
// worker thread that this object owns.
#pragma once

#include <string>
#include <thread>

#include "core/chart/chart_exporter.h"

namespace flextor {

inline constexpr int kChartCanvasHeight = 472;

class PngChartExporter final : public ChartExporter {
  public:
    // program_folder ends with "/"; pages are page_height pixels high (the
    // height of the window's chart canvas).
    explicit PngChartExporter(std::string program_folder, int page_height = kChartCanvasHeight);
    // Asks a running save to stop after the page it is writing and waits for it:
    // at shutdown that is at most one page, the rest of the day is not written.
    ~PngChartExporter() override;
    PngChartExporter(const PngChartExporter&) = delete;
    PngChartExporter& operator=(const PngChartExporter&) = delete;

    [[nodiscard]] bool Start(ChartHistory day, const ChartLook& look,
                             const LocalTime& started_at) override;

    // Waits until the worker, if any, has ended (tests and benchmarks).
    void Wait();

  private:
    std::string program_folder_;
    int page_height_;
    std::jthread worker_;
};

}  // namespace flextor
