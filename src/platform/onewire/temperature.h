// The reading of a DS18B20 (family 0x28, 1/16 °C per step) or DS18S20 (family
// 0x10, 1/2 °C per step) in the program's unit, tenths of a degree Celsius.
#pragma once

#include <cstdint>

namespace flextor::onewire {

// What a sensor reports before its first conversion, 85.0 °C: counted, never
// taken as a reading.
inline constexpr int16_t kPowerOnTenths = 850;

inline bool IsPowerOnValue(int16_t tenths) {
    return tenths == kPowerOnTenths;
}

// Scratchpad bytes 0 (low) and 1 (high) as tenths, rounded half away from zero.
// Families other than 0x10 use the DS18B20 step. Raw values beyond what the
// unit can hold saturate instead of wrapping.
int16_t TemperatureTenths(uint8_t family, uint8_t low, uint8_t high);

}  // namespace flextor::onewire
