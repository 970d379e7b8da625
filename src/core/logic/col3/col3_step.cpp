#include "core/logic/cycle_steps.h"

namespace flextor {

// Not built yet: holds the mash between its thresholds with two hysteresis outputs.
void Col3Step() {}

}  // namespace flextor
