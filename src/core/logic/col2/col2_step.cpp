#include "core/logic/cycle_steps.h"

namespace flextor {

// Not built yet: stops column 2 on a still-sensor error or at d4_Limit.
void Col2Step() {}

}  // namespace flextor
