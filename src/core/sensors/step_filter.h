// The plausibility filter of fresh readings (the options' StepCheck and
// StepLimit): a role sensor's reading that differs from the last one the logic
// took by more than StepLimit °C per second is not used: the row keeps the
// value it had and loses its fresh mark, and the jump is counted. Three in a
// row fail the sensor (kFlagError, which the columns and the alarm latch already
// know); a reading back within the limit of the kept value clears it. A jump
// to a reading that makes the plant safer (core/logic/checks/safer_reading.h:
// the alarm latched, a column stopped, a valve shut, a heater off) is taken at
// once all the same, so that no protection waits for it; the reading before
// it is then still a good reference for the next one, so that the end of a
// spike is no jump either. Its state lives here, keyed by the sensor's ID,
// never in ProgVar. GUI thread only.
#pragma once

#include <cstdint>

#include "core/state/program_state.h"

namespace flextor {

// Jumps in a row that fail the sensor.
inline constexpr int kJumpsToFail = 3;
// After this long without a fresh reading the next one is taken as it is: there
// is nothing recent to compare it with.
inline constexpr int64_t kStepReferenceLifetimeMs = 10000;

struct StepFilterState {
    bool has_reference = false;
    int16_t reference = 0;      // the last reading the logic took
    int64_t last_fresh_ms = 0;  // monotonic time of the last fresh reading, taken or not
    int in_row = 0;             // jumps in a row
    uint64_t jumps = 0;         // jumps counted since the reset
    int16_t last_jump = 0;      // the last reading left out
    bool has_before = false;    // a safer jump was taken: the reading before it
    int16_t before = 0;
};

// SensorDataHandover, for a role sensor's row after the thread's Flag and Termo
// were copied into it: previous is the row's Termo before.
void FilterReading(SensorParam& row, int16_t previous);

// The filter's state of a sensor, or nullptr when it has none.
const StepFilterState* StepFilterOf(int64_t id);

// The sensor is failed by jumps (kJumpsToFail in a row, not yet cleared).
bool FailedByJumps(int64_t id);

void ResetStepFilter();

}  // namespace flextor
