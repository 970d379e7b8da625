// The modes of column 1 (rectification): their names and how one is entered.
// GUI thread only.
#pragma once

#include <cstdint>
#include <string>

namespace flextor {

inline constexpr uint8_t kModeHeatUp = 0;
inline constexpr uint8_t kModeStabilise = 1;
inline constexpr uint8_t kModeValve0 = 2;
inline constexpr uint8_t kModeValve1 = 3;
inline constexpr uint8_t kModeValve2 = 4;
inline constexpr uint8_t kModeValve3 = 5;

// The name shown for mode (with its single quotes); "" for any other number.
std::string ModeName(int mode);

// Enters mode m: sets up its duty, counters and countdown, logs the change and
// puts the valve lamps and the PWM field off. A volume-limited mode whose limit
// is 0 passes on at once (2 → 3 → 4).
void SetCol1Mode(uint8_t m);

// After an automatic mode change: pauses column 1 in semi-automatic operation.
void AutoPause();

}  // namespace flextor
