// Sensor table rows for tests, made from the parts of the ROM code that matter.
#pragma once

#include <cstdint>

#include "core/state/program_state.h"

namespace flextor::test {

// A row for the device of family whose first serial byte is serial, in role.
inline SensorParam SensorRow(uint8_t family, uint8_t serial, uint8_t role) {
    SensorParam row;
    row.SN.Type = family;
    row.SN.Number[0] = serial;
    row.Use = role;
    return row;
}

}  // namespace flextor::test
