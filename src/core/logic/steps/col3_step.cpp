#include "core/logic/steps/cycle_steps.h"

namespace flextor {

// Column 3's step comes with column 3.
void Col3Step() {}

}  // namespace flextor
