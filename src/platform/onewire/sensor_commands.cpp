#include "platform/onewire/sensor_commands.h"

#include <algorithm>

namespace flextor::onewire {
namespace {

constexpr uint8_t kMatchROM = 0x55;
constexpr uint8_t kConvertT = 0x44;
constexpr uint8_t kReadScratchpad = 0xBE;

bool Ok() {
    return LastError() == kErrNone;
}

// Addresses the device and sends one function command to it.
bool SendFunction(OWire& link, const RomCode& rom, uint8_t command) {
    if (!MatchROM(link, rom)) {
        return false;
    }
    link.CheckPort();  // drops anything stray before the command
    return Ok() && link.WriteBytes(command);
}

bool AllZero(const Scratchpad& pad) {
    return std::all_of(pad.begin(), pad.end(), [](uint8_t b) { return b == 0; });
}

}  // namespace

bool MatchROM(OWire& link, const RomCode& rom) {
    link.CheckPort();
    if (!Ok()) {
        return false;
    }
    if (!link.Reset() || !Ok()) {
        return false;
    }
    return link.WriteBytes(kMatchROM) && link.WriteBytes(rom.data(), rom.size());
}

bool ConvertT(OWire& link, const RomCode& rom) {
    return SendFunction(link, rom, kConvertT);
}

bool ReadScratchpad(OWire& link, const RomCode& rom, Scratchpad& buffer) {
    if (!SendFunction(link, rom, kReadScratchpad)) {
        return false;
    }
    Scratchpad pad{};
    link.ReadBytes(pad.data(), pad.size());
    if (!Ok() || CRC8(pad.data(), pad.size()) != 0 || AllZero(pad)) {
        return false;
    }
    buffer = pad;
    return true;
}

}  // namespace flextor::onewire
