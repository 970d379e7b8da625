// The main window after a resume: columns, lamps and the hand valve as the
// restored run has them. GUI thread only.
#pragma once

#include <string>

#include "ui/main_window/main_window.h"

namespace flextor {

// Logs the restart and shows the restored columns on window, which must be the
// installed status display; a hand valve of a stopped or paused column 1 is
// opened again by pressing its button.
void ShowResumedWindow(MainWindow& window);

// The same after a power cut, with message logged in place of the failure's.
void ShowResumedWindow(MainWindow& window, const std::string& message);

}  // namespace flextor
