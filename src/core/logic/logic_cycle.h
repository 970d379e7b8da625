// The logic cycle: once a second (and once at start-up) on the GUI thread.
#pragma once

namespace flextor {

// Runs, in this order: the settings auto-save, the temperature log, the stop of
// every column when no serial port is open, the alarms (unless latched), column
// 1 (while running), column 2 (while running), column 3, sensor 6, the six
// temperature fields, the sensors window's list (while it is open) and the
// sensor freshness check. Returns at once when a cycle is already running (a
// modal box opened inside it runs a nested event loop).
void LogicCycle();

}  // namespace flextor
