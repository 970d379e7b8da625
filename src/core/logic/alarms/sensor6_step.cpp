#include "core/logic/cycle_steps.h"

namespace flextor {

// Not built yet: switches the sensor-6 output on its threshold with hysteresis.
void Sensor6Step() {}

}  // namespace flextor
