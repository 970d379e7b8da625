#include "core/sensors/find_sensor.h"

namespace flextor {

SensorParam* FindSensorByRole(uint8_t role) {
    for (SensorParam& row : ProgVar.Sensors.Sensor) {
        if (IsTemperatureFamily(row.SN.Type) && row.Use == role) {
            return &row;
        }
    }
    return nullptr;
}

}  // namespace flextor
