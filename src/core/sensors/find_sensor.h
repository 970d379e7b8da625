// Finding the sensor that holds a role (GUI thread: it reads ProgVar.Sensors).
#pragma once

#include <cstdint>

#include "core/state/program_state.h"

namespace flextor {

// Sensor roles (SensorParam.Use).
inline constexpr uint8_t kRoleNone = 0;
inline constexpr uint8_t kRoleTsa = 1;        // "ав. ТСА"
inline constexpr uint8_t kRoleCondenser = 2;  // "ав. Конденсатор"
inline constexpr uint8_t kRoleColumn = 3;     // "д. Колонна"
inline constexpr uint8_t kRoleStill = 4;      // "д. Куб"
inline constexpr uint8_t kRoleMash = 5;       // "д. Брага"
inline constexpr uint8_t kRoleSensor6 = 6;    // "Датчик 6"

// The first row of ProgVar.Sensors.Sensor that is a temperature sensor and has
// the role, or nullptr. The pointer is valid until the table changes.
SensorParam* FindSensorByRole(uint8_t role);

}  // namespace flextor
