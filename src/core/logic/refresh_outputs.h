// The output refresh: every 100 ms the whole logic state becomes one word of
// output levels (bit i drives entry i of the pin table), and only the bits that
// changed since the last write are written. GUI thread only.
#pragma once

#include <cstdint>

#include "core/outputs/output_pins.h"

namespace flextor {

// Output word bits.
inline constexpr uint16_t kBitPulse = 1u << 0;
inline constexpr uint16_t kBitCol1Run = 1u << 1;
inline constexpr uint16_t kBitValve1 = 1u << 3;
inline constexpr uint16_t kBitValve2 = 1u << 4;
inline constexpr uint16_t kBitValve3 = 1u << 5;
inline constexpr uint16_t kBitCol2Run = 1u << 6;
inline constexpr uint16_t kBitCol3Upper = 1u << 7;
inline constexpr uint16_t kBitCol3Lower = 1u << 8;
inline constexpr uint16_t kBitSensor6 = 1u << 9;
inline constexpr uint16_t kBitAlarm = 1u << 10;

// The pins the refresh writes; nullptr (the default) writes nothing.
void SetOutputPins(OutputPins* pins);

// Composes OutputWord, advances the pulsing signal and the valve duty phase, and
// writes the changed bits. A failed write is logged as a warning at most once a
// second, and written again at every refresh until it succeeds.
void RefreshOutputs();

// The 100 ms timer's entry: RefreshOutputs unless a refresh is already running
// (a modal box opened below runs a nested event loop).
void RefreshOutputsTick();

}  // namespace flextor
