#include "core/chart/chart_tick.h"

#include <algorithm>
#include <utility>

#include "base/diagnostics/source_position.h"
#include "core/chart/chart_control.h"
#include "core/log/message_log.h"

namespace flextor {
namespace {

// What the tick remembers between its runs.
struct TickMemory {
    bool any_second = false;
    int32_t last_second = 0;
    int new_seconds = 0;  // counted up to the end of the warm-up
    int day = 0;          // day of month of the history; 0 before the first sample
};

TickMemory memory;

// True once per second of the wall clock, however often the timer runs in it.
bool IsNewSecond(int32_t second) {
    if (memory.any_second && second == memory.last_second) {
        return false;
    }
    memory.any_second = true;
    memory.last_second = second;
    return true;
}

bool WarmingUp() {
    if (memory.new_seconds < kChartWarmUpSeconds) {
        ++memory.new_seconds;
        return true;
    }
    return false;
}

// The finished day is handed over whole, so the export never shares a sample with
// the new day. While an export still runs, the day is dropped.
void StartExport(ChartExporter& exporter, const LocalTime& now) {
    Chart.saving = true;
    if (!exporter.Start(std::move(Chart.history), Chart.look, now)) {
        Chart.saving = false;
        PostLogMessage("Не удалось создать поток для сохранения графика", kLevelError);
    }
}

void EndDay(const LocalTime& now, ChartView& view) {
    ChartExporter* exporter = BoundChartExporter();
    if (Chart.newDay && exporter != nullptr && Chart.history.size() > kChartFewestSaved &&
        !Chart.saving) {
        StartExport(*exporter, now);
    }
    Chart.history.clear();
    Chart.look.scrollPos = 0;
    view.SetScrollBar(0, Chart.look.visible, 0);
}

void Append(const ChartSample& sample, ChartView& view) {
    Chart.history.push_back(sample);
    while (Chart.history.size() > kChartCapacity) {
        Chart.history.pop_front();
    }
    const auto count = static_cast<int32_t>(Chart.history.size());
    if (Chart.autoScroll) {
        Chart.look.scrollPos = std::max(0, count - Chart.look.visible);
    }
    view.SetScrollBar(count - 1, Chart.look.visible, Chart.look.scrollPos);
}

}  // namespace

// The tick never opens a nested event loop, so it cannot run inside itself.
void ChartTick() {
    FLEXTOR_PROCEDURE();
    ChartView* view = BoundChartView();
    if (view == nullptr) {
        return;
    }
    const LocalTime now = CurrentClock().Now();
    if (!IsNewSecond(WallSeconds(now)) || WarmingUp()) {
        return;
    }
    FLEXTOR_STEP();
    const ChartSample sample = TakeChartSample(now);
    if (now.day != memory.day) {
        EndDay(now, *view);
        memory.day = now.day;
    }
    FLEXTOR_STEP();
    Append(sample, *view);
    view->QueueRedraw();
}

void ResetChartTick() {
    memory = TickMemory{};
}

}  // namespace flextor
