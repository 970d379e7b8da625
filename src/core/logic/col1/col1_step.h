// The once-a-second step of a running column 1 (rectification). GUI thread only.
#pragma once

namespace flextor {

// Runs the current mode of column 1 on the column sensor's reading, changes
// modes, stops the column on a sensor error, below the lowest permitted
// temperature and at the end of the tails, and shows the status line and the
// PWM field. Called by the logic cycle only while the column runs.
void Col1Step();

}  // namespace flextor
