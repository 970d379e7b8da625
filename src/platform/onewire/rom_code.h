// 1-Wire ROM codes and the CRC-8 that guards them and the sensors' scratchpads.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace flextor::onewire {

// Eight bytes in bus order: family code, six serial bytes (least significant
// first), CRC. The same bytes are OW_SN, and read as one little-endian integer
// they are the sensor's ID.
using RomCode = std::array<uint8_t, 8>;

// The codes one search found, in the order found.
using SearchResult = std::vector<RomCode>;

// Dallas/Maxim CRC-8: x^8 + x^5 + x^4 + 1, least significant bit first, start 0.
// A block followed by its own CRC gives 0.
uint8_t CRC8(const uint8_t* data, size_t n);

// A code names a device when it is not all zeros and its last byte is the CRC of
// the first seven.
bool IsDeviceCode(const RomCode& rom);

int64_t RomCodeID(const RomCode& rom);
RomCode RomCodeFromID(int64_t id);

// "28-0000041A2B3C-BB": family, serial bytes 5 down to 0, CRC, in upper-case hex.
std::string FormatRomCode(const RomCode& rom);

}  // namespace flextor::onewire
