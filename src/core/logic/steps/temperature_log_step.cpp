#include "core/logic/steps/cycle_steps.h"

namespace flextor {

// The temperature log's writing comes with the temperature log.
void TemperatureLogStep() {}

}  // namespace flextor
