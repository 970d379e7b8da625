#include "core/logic/cycle_steps.h"

namespace flextor {

// Not built yet: latches the alarm when an alarm sensor trips, fails or has no sensor.
void AlarmStep() {}

}  // namespace flextor
