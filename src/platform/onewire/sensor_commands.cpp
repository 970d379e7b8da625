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

// A reset with a presence pulse begins every addressed transaction.
bool StartTransaction(OWire& link) {
    link.CheckPort();
    return Ok() && link.Reset() && Ok();
}

// Match ROM, the code and a function command: the bytes of one addressed command.
std::array<uint8_t, 10> Addressed(const RomCode& rom, uint8_t command) {
    std::array<uint8_t, 10> bytes{};
    bytes[0] = kMatchROM;
    std::copy(rom.begin(), rom.end(), bytes.begin() + 1);
    bytes[9] = command;
    return bytes;
}

bool AllZero(const Scratchpad& pad) {
    return std::all_of(pad.begin(), pad.end(), [](uint8_t b) { return b == 0; });
}

}  // namespace

bool MatchROM(OWire& link, const RomCode& rom) {
    if (!StartTransaction(link)) {
        return false;
    }
    std::array<uint8_t, 10> bytes = Addressed(rom, 0);
    return link.WriteBytes(bytes.data(), 1 + rom.size());
}

bool ConvertT(OWire& link, const RomCode& rom) {
    if (!StartTransaction(link)) {
        return false;
    }
    std::array<uint8_t, 10> bytes = Addressed(rom, kConvertT);
    return link.WriteBytes(bytes.data(), bytes.size());
}

bool ReadScratchpad(OWire& link, const RomCode& rom, Scratchpad& buffer) {
    if (!StartTransaction(link)) {
        return false;
    }
    std::array<uint8_t, 10> bytes = Addressed(rom, kReadScratchpad);
    Scratchpad pad{};
    if (!link.WriteThenRead(bytes.data(), bytes.size(), pad.data(), pad.size()) ||
        CRC8(pad.data(), pad.size()) != 0 || AllZero(pad)) {
        return false;
    }
    buffer = pad;
    return true;
}

}  // namespace flextor::onewire
