#include "core/logic/steps/cycle_steps.h"

namespace flextor {

// Column 2's step comes with column 2.
void Col2Step() {}

}  // namespace flextor
