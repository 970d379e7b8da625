// The texts the sensors window shows for a row of the sensor table.
#pragma once

#include <cstdint>
#include <string>

#include "core/state/program_state.h"

namespace flextor {

// Family, the six serial bytes from the last down to the first, CRC, in upper-case
// hex: ROM bytes 28 3C 2B 1A 04 00 00 BB read "28-0000041A2B3C-BB".
std::string SensorIdText(const SensorParam& row);

// "Датчик 3 (д. Колонна)" for role 3; roles outside 1..6 are "Не используется".
std::string RoleName(int role);

// The temperature column: not found (no port open, or the row is missing from
// the bus), not a temperature sensor, a read error, or the reading in °C.
std::string TemperatureColumnText(const SensorParam& row, int32_t port_id);

}  // namespace flextor
