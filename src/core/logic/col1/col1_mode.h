// Column 1 (rectification): its run states, its modes, their names and how one
// is entered. GUI thread only.
#pragma once

#include <cstdint>
#include <string>

#include "core/state/program_state.h"

namespace flextor {

// Run states (Logic_Col1::Status).
inline constexpr uint8_t kCol1Stopped = 0;
inline constexpr uint8_t kCol1Running = 1;
inline constexpr uint8_t kCol1Paused = 2;

// Modes (Logic_Col1::Mode).
inline constexpr uint8_t kModeHeatUp = 0;
inline constexpr uint8_t kModeStabilise = 1;
inline constexpr uint8_t kModeValve0 = 2;
inline constexpr uint8_t kModeValve1 = 3;
inline constexpr uint8_t kModeValve2 = 4;
inline constexpr uint8_t kModeValve3 = 5;

// Column 1's part of the program state.
inline Logic_Col1& Col1() {
    return ProgVar.Logic.Col1;
}

// The name shown for mode (with its single quotes); "" for any other number.
std::string ModeName(int mode);

// Enters mode m: sets up its duty, counters and countdown, logs the change and
// puts the valve lamps and the PWM field off. A volume-limited mode whose limit
// is 0 passes on at once (2 → 3 → 4).
void SetCol1Mode(uint8_t m);

// Puts the three valve lamps off and empties the PWM field.
void ValveDisplayOff();

// After an automatic mode change: pauses column 1 in semi-automatic operation.
void AutoPause();

}  // namespace flextor
