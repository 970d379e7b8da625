// Which readings make the plant safer: the step filter of the hand-over never
// holds those back, however far they jump, so that protection is never
// delayed by a plausibility check. A jump only holds back what would open a
// valve, start or go on heating. GUI thread only.
#pragma once

#include <cstdint>

namespace flextor {

// True when this reading of the role's sensor, taken now, would latch the alarm,
// stop a column, shut (or keep shut) a take-off valve, or switch a heating
// output off.
bool ReadingMakesPlantSafer(uint8_t role, int16_t tenths);

}  // namespace flextor
