// ROM codes: CRC, construction and the text form used by the control interface.
#include <cstdio>

#include "owsim/sim_bus.h"
#include "platform/onewire/rom_code.h"

namespace flextor::owsim {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

// Reads exactly 2 * count hex digits at text[pos] into bytes, first digits = first byte.
bool ReadHexBytes(const std::string& text, std::size_t pos, int count, uint8_t* bytes) {
    if (pos + 2 * static_cast<std::size_t>(count) > text.size()) {
        return false;
    }
    for (int i = 0; i < count; ++i) {
        int high = HexDigit(text[pos + 2 * i]);
        int low = HexDigit(text[pos + 2 * i + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        bytes[i] = static_cast<uint8_t>(high * 16 + low);
    }
    return true;
}

}  // namespace

uint8_t Crc8(const uint8_t* data, std::size_t n) {
    return onewire::CRC8(data, n);
}

RomCode MakeRom(uint8_t family, uint64_t serial) {
    RomCode rom{};
    rom[0] = family;
    for (int i = 1; i <= 6; ++i) {
        rom[i] = static_cast<uint8_t>(serial >> (8 * (i - 1)));
    }
    rom[7] = Crc8(rom.data(), 7);
    return rom;
}

std::string FormatRom(const RomCode& rom) {
    return onewire::FormatRomCode(rom);
}

bool ParseRom(const std::string& text, RomCode* rom) {
    if (text.size() != 18 || text[2] != '-' || text[15] != '-') {
        return false;
    }
    uint8_t serial[6];
    RomCode parsed{};
    if (!ReadHexBytes(text, 0, 1, &parsed[0]) || !ReadHexBytes(text, 3, 6, serial) ||
        !ReadHexBytes(text, 16, 1, &parsed[7])) {
        return false;
    }
    for (int i = 0; i < 6; ++i) {
        parsed[6 - i] = serial[i];
    }
    *rom = parsed;
    return true;
}

}  // namespace flextor::owsim
