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

// Each is one reset and one block of slots: after the reset's echo, Match ROM,
// the code and what follows go out in one write, and the link waits once for
// the whole echo. A cycle therefore costs a sensor four round trips through the
// adapter, which matters most on USB adapters that hold echoes for milliseconds.

// Reset, then Match ROM with the code: true when the device was addressed.
[[nodiscard]] bool MatchROM(OWire& link, const RomCode& rom);

// Reset, Match ROM, the code and Convert T. Starts a conversion in the device;
// it runs there for up to 750 ms.
[[nodiscard]] bool ConvertT(OWire& link, const RomCode& rom);

// Reset, then Match ROM, the code, Read Scratchpad and the 72 read slots as one
// block, whose echo is the scratchpad. True with the scratchpad in buffer when it
// arrived whole with a valid CRC. Nine zero bytes (a bus held low) pass the CRC
// but never come from a sensor, whose reserved byte 5 is 0xFF: they fail too.
[[nodiscard]] bool ReadScratchpad(OWire& link, const RomCode& rom, Scratchpad& buffer);

}  // namespace flextor::onewire
