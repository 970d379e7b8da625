#include "platform/onewire/rom_code.h"

#include <algorithm>
#include <cstdio>

namespace flextor::onewire {

uint8_t CRC8(const uint8_t* data, size_t n) {
    uint8_t crc = 0;
    for (size_t i = 0; i < n; ++i) {
        uint8_t byte = data[i];
        for (int bit = 0; bit < 8; ++bit) {
            bool mix = ((crc ^ byte) & 0x01) != 0;
            crc = static_cast<uint8_t>(crc >> 1);
            if (mix) {
                crc ^= 0x8C;
            }
            byte = static_cast<uint8_t>(byte >> 1);
        }
    }
    return crc;
}

bool IsDeviceCode(const RomCode& rom) {
    bool all_zero = std::all_of(rom.begin(), rom.end(), [](uint8_t b) { return b == 0; });
    return !all_zero && CRC8(rom.data(), 7) == rom[7];
}

int64_t RomCodeID(const RomCode& rom) {
    uint64_t id = 0;
    for (size_t i = 0; i < rom.size(); ++i) {
        id |= static_cast<uint64_t>(rom[i]) << (8 * i);
    }
    return static_cast<int64_t>(id);
}

RomCode RomCodeFromID(int64_t id) {
    RomCode rom{};
    for (size_t i = 0; i < rom.size(); ++i) {
        rom[i] = static_cast<uint8_t>(static_cast<uint64_t>(id) >> (8 * i));
    }
    return rom;
}

std::string FormatRomCode(const RomCode& rom) {
    char text[32];
    std::snprintf(text, sizeof text, "%02X-%02X%02X%02X%02X%02X%02X-%02X", rom[0], rom[6], rom[5],
                  rom[4], rom[3], rom[2], rom[1], rom[7]);
    return text;
}

}  // namespace flextor::onewire
