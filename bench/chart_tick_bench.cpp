// The chart's cost: a whole day of samples fed through the real tick (the resident
// memory it adds, the target being at most 3 MB) and a tick at rest, which runs
// ten times a second and must do next to nothing.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdint>
#include <fstream>

#include "core/chart/chart_control.h"
#include "core/chart/chart_tick.h"
#include "core/settings/settings.h"
#include "core/state/program_state.h"

namespace flextor {
namespace {

constexpr int kDaySeconds = 86400;

// A wall clock that moves one second at every reading when stepping, else stands.
class TickClock final : public Clock {
  public:
    explicit TickClock(bool stepping) : stepping_(stepping) {}
    LocalTime Now() const override { return FromWallSeconds(stepping_ ? second_++ : second_); }
    int64_t MonotonicMs() const override { return 0; }
    void Set(const LocalTime& t) { second_ = WallSeconds(t); }

  private:
    bool stepping_;
    mutable int32_t second_ = 0;
};

class CountingView final : public ChartView {
  public:
    int64_t redraws = 0;
    ChartCanvasSize CanvasSize() const override { return ChartCanvasSize{484, 472}; }
    void SetScrollBar(int32_t, int32_t, int32_t) override {}
    void QueueRedraw() override { ++redraws; }
};

// Resident set size in bytes, from /proc/self/statm.
double ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

[[nodiscard]] bool StartChart(CountingView& view, TickClock& clock, const LocalTime& from) {
    ResetProgramState();
    ResetSettings();
    ProgVar.Sensors.PortID = 7;
    for (uint8_t role = 1; role <= 6; ++role) {
        SensorParam row;
        row.SN.Type = kFamilyDS18B20;
        row.SN.Number[0] = role;
        row.Use = role;
        row.Termo = static_cast<int16_t>(200 + 100 * role);
        row.Flag = kFlagTemperatureSensor;
        ProgVar.Sensors.Sensor.push_back(row);
    }
    clock.Set(from);
    InstallClock(&clock);
    ApplyChartSettings();
    return InitChart(&view, nullptr);
}

// The warm-up ends at midnight, then one sample for every second of the day.
void BM_ChartDayMemory(benchmark::State& state) {
    for (auto _ : state) {
        CountingView view;
        TickClock clock(true);
        if (!StartChart(view, clock, LocalTime{2026, 12, 5, 23, 59, 60 - kChartWarmUpSeconds})) {
            state.SkipWithError("the chart did not start");
            break;
        }
        const double before = ResidentBytes();
        for (int i = 0; i < kChartWarmUpSeconds + kDaySeconds; ++i) {
            ChartTick();
        }
        const double after = ResidentBytes();
        state.counters["samples"] = static_cast<double>(Chart.history.size());
        state.counters["redraws"] = static_cast<double>(view.redraws);
        state.counters["rss_before_MB"] = before / 1e6;
        state.counters["rss_growth_MB"] = (after - before) / 1e6;
        ReleaseChart();
        InstallClock(nullptr);
    }
}
BENCHMARK(BM_ChartDayMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

// Nine of every ten ticks find the second they saw last time.
void BM_ChartTickAtRest(benchmark::State& state) {
    CountingView view;
    TickClock clock(false);
    if (!StartChart(view, clock, LocalTime{2026, 12, 6, 12, 0, 0})) {
        state.SkipWithError("the chart did not start");
        return;
    }
    ChartTick();
    for (auto _ : state) {
        ChartTick();
    }
    state.counters["redraws"] = static_cast<double>(view.redraws);
    ReleaseChart();
    InstallClock(nullptr);
}
BENCHMARK(BM_ChartTickAtRest);

}  // namespace
}  // namespace flextor
