#include "core/logic/steps/cycle_steps.h"

namespace flextor {

// The sensor-6 output comes with its own work.
void Sensor6Step() {}

}  // namespace flextor
