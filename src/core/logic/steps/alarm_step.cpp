#include "core/logic/steps/cycle_steps.h"

namespace flextor {

// The alarm latch comes with the alarms.
void AlarmStep() {}

}  // namespace flextor
