// How a sensor's failures and power-on readings add up to an error. In
// sequential polling a row is read only every n cycles, so its limits are
// divided by the number of rows (at most 6) to declare it in error about as soon.
// Thread: polling.
#pragma once

#include <cstdint>

#include "platform/sensors/poll_table.h"

namespace flextor {

// Consecutive failed reads a row may have; the next failure after CountErr has
// passed the limit marks it in error.
uint16_t FailedReadLimit(const PollTable& table);

// Consecutive 85.0 °C readings a row may have, in the same way.
uint16_t PowerOnReadingLimit(const PollTable& table);

// One more failed read (a failed conversion start or data read).
void CountFailedRead(SensorParam& row, const PollTable& table);

// One more reading of exactly 85.0 °C. The last real temperature, the failure
// count and the fresh mark are left as they are.
void CountPowerOnReading(SensorParam& row, const PollTable& table);

}  // namespace flextor
