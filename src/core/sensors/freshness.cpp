#include "core/sensors/freshness.h"

#include "core/sensors/find_sensor.h"

namespace flextor {
namespace {

// Cycles without a fresh reading, after the credit ran out, that a sensor may go
// before it is declared in error.
constexpr uint16_t kMaxCyclesWithoutUpdate = 59;

void AgeReading(SensorParam& row) {
    if ((row.Flag & kFlagFresh) != 0) {
        row.Flag &= static_cast<uint8_t>(~kFlagFresh);
        row.CountNoUpdate = 0;
        if (row.UpdateCount > 0) {
            --row.UpdateCount;
        }
    } else if (row.UpdateCount > 0) {
        row.CountNoUpdate = 0;
        --row.UpdateCount;
    } else if (row.CountNoUpdate > kMaxCyclesWithoutUpdate) {
        row.Flag |= kFlagError;
    } else {
        ++row.CountNoUpdate;
    }
}

}  // namespace

void CheckSensorFreshness() {
    for (uint8_t role = kRoleTsa; role <= kRoleSensor6; ++role) {
        SensorParam* row = FindSensorByRole(role);
        if (row != nullptr) {
            AgeReading(*row);
        }
    }
}

}  // namespace flextor
