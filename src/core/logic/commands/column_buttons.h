// The column buttons of the main window. Stop and skip ask first when the
// CheckStopColumn setting is on; only Yes goes on. GUI thread only.
#pragma once

namespace flextor {

// The Start button of column (0, 1 or 2).
void PressStart(int column);
// The Pause button of column 1.
void PressPause();
// The Stop button of column (0, 1 or 2).
void PressStop(int column);
// The Skip button of column 1.
void PressSkip();

}  // namespace flextor
