#include "core/logic/role_sensor.h"

#include "core/sensors/find_sensor.h"

namespace flextor {

const SensorParam* WorkingSensor(uint8_t role) {
    const SensorParam* row = FindSensorByRole(role);
    if (row == nullptr || (row->Flag & kFlagError) != 0) {
        return nullptr;
    }
    return row;
}

}  // namespace flextor
