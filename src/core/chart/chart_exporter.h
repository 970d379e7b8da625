// The export of a finished day's chart, as the chart tick starts it at the change
// of date. The program's exporter draws PNG pages on a worker thread; tests put a
// recording double here.
#pragma once

#include "core/chart/chart_model.h"
#include "core/time/clock.h"

namespace flextor {

class ChartExporter {
  public:
    virtual ~ChartExporter() = default;
    // GUI thread. Starts writing day (handed over whole) as PNG pages into
    // "График/" + the stamp of started_at, drawn with look, reporting through
    // PostLogMessage. The caller has set Chart.saving; the worker clears it as its
    // very last step. False when the worker could not be started: then nothing
    // was written and Chart.saving is left to the caller.
    [[nodiscard]] virtual bool Start(ChartHistory day, const ChartLook& look,
                                     const LocalTime& started_at) = 0;
};

}  // namespace flextor
