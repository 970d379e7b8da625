// The export worker: draws a finished day as PNG pages into a dated folder.
// Runs on its own thread; touches no widget and no settings, only its own copy
// of the day and the look, and reports through PostLogMessage alone.
#pragma once

#include <stop_token>
#include <string>

#include "core/chart/chart_model.h"
#include "core/time/clock.h"

namespace flextor {

struct ChartSaveJob {
    ChartHistory day;
    ChartLook look;
    std::string programFolder;  // ends with "/"
    LocalTime startedAt;        // names the folder
    int pageHeight = 0;         // the chart canvas's height
};

// Writes every page of job.day, newest first, reporting each outcome; a stop
// request ends the save after the page being written. Then frees the day and,
// as its very last step, clears Chart.saving.
void SaveChartThread(std::stop_token stop, ChartSaveJob job);

}  // namespace flextor
