// The sensor-6 output: a thermostat that is on below Termo_d6, switching on at
// Termo_d6 - Hysteresis_d6 and off at Termo_d6. Off while disabled or without a
// working sensor; a stale reading keeps the level. Logs nothing, and works
// whatever the columns and the alarm latch do.
#include "core/logic/cycle_steps.h"
#include "core/logic/hysteresis.h"
#include "core/logic/role_sensor.h"
#include "core/sensors/find_sensor.h"
#include "core/settings/settings.h"
#include "core/state/program_state.h"

namespace flextor {

void Sensor6Step() {
    uint8_t& level = ProgVar.Logic.d6_Pin;
    const SensorParam* sensor = WorkingSensor(kRoleSensor6);
    if (Settings.Logic.Check_d6 == 0 || sensor == nullptr) {
        level = 0;
        return;
    }
    if (!HasFreshReading(*sensor)) {
        return;
    }
    const int limit = Settings.Logic.Termo_d6;
    level =
        HysteresisLevel(level, sensor->Termo, limit, limit - Settings.Logic.Hysteresis_d6, false);
}

}  // namespace flextor
