// The chart's costs. A redraw of the window's canvas (484 × 472) walks only the
// samples in view, so it must cost the same with 100 samples and with a whole
// day (86400) in history. The export of a whole day writes 108 pages 4000 pixels
// wide: its time and its bytes, and one page under several PNG compressions.
#include <benchmark/benchmark.h>
#include <png.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "core/chart/chart_model.h"
#include "core/log/message_log.h"
#include "ui/chart/chart_picture.h"
#include "ui/chart/png_chart_exporter.h"
#include "ui/chart/png_file.h"

namespace flextor {
namespace {

constexpr LocalTime kLastSecond{2026, 12, 6, 23, 59, 59};
constexpr ChartLook kLook{
    {0xFFFFFF, 0xC0C0C0, 0x008000, 0x6900D2, 0x0000FF, 0x408000, 0xFF8000, 0xC08000, -15540206},
    87,
    0,
    100,
    1000};

using Surface = std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)>;
using Context = std::unique_ptr<cairo_t, void (*)(cairo_t*)>;

// A day of a running plant: slow waves per trace, one sensor missing now and
// then. Counted back from the newest sample, so the samples in view are the
// same whatever the length of the day.
ChartHistory Day(size_t count) {
    ChartHistory day(count);
    const int32_t newest = WallSeconds(kLastSecond);
    for (size_t i = 0; i < count; ++i) {
        const size_t age = count - 1 - i;
        for (int trace = 0; trace < kChartTraces; ++trace) {
            const double wave = std::sin(static_cast<double>(age) / (30.0 + 9 * trace) + trace);
            day[i].temperatures[trace] = static_cast<int16_t>(250 + 120 * trace + 150 * wave);
        }
        if (age % 97 < 5) {
            day[i].temperatures[3] = kNoValue;
        }
        day[i].time = newest - static_cast<int32_t>(age);
    }
    return day;
}

std::filesystem::path ScratchFolder(const char* name) {
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        (std::string("flextor-bench-") + name + "-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    return folder;
}

void BM_RedrawCanvas(benchmark::State& state) {
    const ChartHistory history = Day(static_cast<size_t>(state.range(0)));
    ChartLook look = kLook;
    look.scrollPos = static_cast<int32_t>(history.size()) - look.visible;
    Surface image(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 484, 472), &cairo_surface_destroy);
    Context cr(cairo_create(image.get()), &cairo_destroy);
    const ChartContent content{look, history, history.size(), history.back().time};
    for (auto _ : state) {
        DrawChart(cr.get(), 484, 472, content, ChartTarget::kCanvas);
        cairo_surface_flush(image.get());
    }
}
BENCHMARK(BM_RedrawCanvas)->Arg(100)->Arg(86400)->Unit(benchmark::kMicrosecond)->Repetitions(3);

uintmax_t FolderBytes(const std::filesystem::path& folder, int64_t& files) {
    uintmax_t bytes = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            bytes += entry.file_size();
            ++files;
        }
    }
    return bytes;
}

void BM_ExportWholeDay(benchmark::State& state) {
    const std::filesystem::path folder = ScratchFolder("export");
    const ChartHistory day = Day(86400);
    for (auto _ : state) {
        std::filesystem::remove_all(folder / "График");
        Chart.saving = true;
        PngChartExporter exporter(folder.string() + "/");
        if (!exporter.Start(day, kLook, LocalTime{2026, 12, 7, 0, 0, 1})) {
            state.SkipWithError("the worker did not start");
            break;
        }
        exporter.Wait();
    }
    int64_t files = 0;
    const uintmax_t bytes = FolderBytes(folder, files);
    state.counters["pages"] = static_cast<double>(files);
    state.counters["png_bytes"] = static_cast<double>(bytes);
    ResetMessageLog();
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ExportWholeDay)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// One full page (800 samples, 4000 × 472) written with zlib level range(0) and
// libpng filters range(1).
void BM_PngPage(benchmark::State& state) {
    const ChartHistory day = Day(800);
    ChartLook look = kLook;
    look.visible = 800;
    Surface image(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 4000, 472),
                  &cairo_surface_destroy);
    {
        Context cr(cairo_create(image.get()), &cairo_destroy);
        DrawChart(cr.get(), 4000, 472, ChartContent{look, day, day.size(), 0}, ChartTarget::kPage);
    }
    const std::filesystem::path folder = ScratchFolder("png");
    const std::string path = (folder / "page.png").string();
    const PngCompression compression{static_cast<int>(state.range(0)),
                                     static_cast<int>(state.range(1))};
    for (auto _ : state) {
        if (!WritePng(image.get(), path, compression)) {
            state.SkipWithError("the page was not written");
            break;
        }
    }
    state.counters["png_bytes"] = static_cast<double>(std::filesystem::file_size(path));
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_PngPage)
    ->Args({1, PNG_FILTER_SUB})
    ->Args({3, PNG_FILTER_SUB})
    ->Args({6, PNG_FILTER_SUB})
    ->Args({3, PNG_FILTER_NONE})
    ->Args({4, PNG_FILTER_NONE})
    ->Args({6, PNG_FILTER_NONE})
    ->Args({3, PNG_ALL_FILTERS})
    ->Args({6, PNG_ALL_FILTERS})
    ->Args({9, PNG_ALL_FILTERS})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace flextor
