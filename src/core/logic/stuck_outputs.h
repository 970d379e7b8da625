// An output that should be off but will not go off: a run line that stays high
// after its column stopped keeps a heater on while the window rightly shows the
// column stopped. Once a switch-off has failed for 3 s the alarm latches (the
// alarm output goes high, columns 1 and 2 are blocked) and the pin is named in
// the log as an error. GUI thread only.
#pragma once

#include <cstdint>

namespace flextor {

inline constexpr int64_t kStuckOutputLimitMs = 3000;

// After every write of the output word: failed_bits are the bits whose write
// failed this time.
void CheckStuckOutputs(uint16_t word, uint16_t failed_bits);

// What output bit i drives, in the log's words ("пуск колонки 1 (Ректификация)").
const char* OutputPurpose(int bit);

}  // namespace flextor
