// The nine scratchpad bytes a temperature sensor returns for a temperature.
#pragma once

#include <array>
#include <cstdint>

namespace flextor::owsim {

using Scratchpad = std::array<uint8_t, 9>;

bool IsTemperatureFamily(uint8_t family);

// Clamped to the sensors' range, -55.0..125.0 C.
int ClampTenths(int tenths);

// The scratchpad after a conversion at the given temperature (tenths of a degree),
// with its CRC. DS18B20 (0x28): 12-bit reading in 1/16 C, TH 0x4B, TL 0x46, 12-bit
// configuration. DS18S20 (0x10): reading in 0.5 C, COUNT_REMAIN and COUNT_PER_C
// (16) in bytes 6 and 7, so that reading - 0.25 + (16 - remain) / 16 gives 1/16 C.
Scratchpad ScratchpadFor(uint8_t family, int tenths);

// The scratchpad right after power-on: 85.0 C.
Scratchpad PowerOnScratchpad(uint8_t family);

}  // namespace flextor::owsim
