#include "core/logic/cycle_steps.h"

namespace flextor {

// Not built yet: writes the temperature log on its periodic and event triggers.
void TemperatureLogStep() {}

}  // namespace flextor
