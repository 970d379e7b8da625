// The sensor of a role as the columns use it. GUI thread only.
#pragma once

#include <cstdint>

#include "core/state/program_state.h"

namespace flextor {

// The row of role (1..6) when it exists and has no error bit; nullptr when the
// sensor is missing or failed, which the columns treat alike.
const SensorParam* WorkingSensor(uint8_t role);

// The row has a reading that has not aged out yet.
inline bool HasFreshReading(const SensorParam& row) {
    return row.UpdateCount > 0;
}

}  // namespace flextor
