// Commands to one addressed device: Match ROM, and the two DS18B20 function
// commands the controller uses, Convert T and Read Scratchpad.
//
// Thread: the sensor polling thread. Each stops at the first step that leaves
// LastError() non-zero and reports failure.
#pragma once

#include <array>
#include <cstdint>

#include "platform/onewire/link.h"
#include "platform/onewire/rom_code.h"

namespace flextor::onewire {

// Eight data bytes and their CRC.
using Scratchpad = std::array<uint8_t, 9>;

// Reset, then Match ROM with the code: true when the device was addressed.
bool MatchROM(OWire& link, const RomCode& rom);

// Starts a conversion in the device; it runs there for up to 750 ms.
bool ConvertT(OWire& link, const RomCode& rom);

// True with the scratchpad in buffer when it arrived whole with a valid CRC. Nine
// zero bytes (a bus held low) pass the CRC but never come from a sensor, whose
// reserved byte 5 is 0xFF: they fail too.
bool ReadScratchpad(OWire& link, const RomCode& rom, Scratchpad& buffer);

}  // namespace flextor::onewire
