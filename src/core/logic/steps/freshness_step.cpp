#include "core/logic/cycle_steps.h"
#include "core/sensors/freshness.h"

namespace flextor {

void FreshnessStep() {
    CheckSensorFreshness();
}

}  // namespace flextor
