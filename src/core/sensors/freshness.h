// Ageing of the role sensors' readings. GUI thread only.
#pragma once

namespace flextor {

// Once per logic cycle: for each role 1 to 6 that has a sensor, uses up one
// cycle of the reading's credit (UpdateCount) and, once it is gone, counts the
// cycles without a fresh reading (CountNoUpdate). After 60 such cycles the next
// one marks the sensor in error; the next hand-over of a fresh reading clears it.
void CheckSensorFreshness();

}  // namespace flextor
