#include <gtest/gtest.h>

#include <cstring>

#include "platform/onewire/rom_code.h"

namespace flextor::onewire {
namespace {

TEST(CRC8, CheckValueAndBlockFollowedByItsCrcGivesZero) {
    const char* digits = "123456789";
    EXPECT_EQ(CRC8(reinterpret_cast<const uint8_t*>(digits), std::strlen(digits)), 0xA1);

    // The power-on scratchpad of a DS18B20 ends in its own CRC.
    const uint8_t power_on[9] = {0x50, 0x05, 0x4B, 0x46, 0x7F, 0xFF, 0x0C, 0x10, 0x1C};
    EXPECT_EQ(CRC8(power_on, 8), 0x1C);
    EXPECT_EQ(CRC8(power_on, 9), 0);

    uint8_t block[6] = {0x10, 0xAB, 0x00, 0xFF, 0x7E, 0};
    block[5] = CRC8(block, 5);
    EXPECT_EQ(CRC8(block, 6), 0);
    block[2] ^= 0x04;
    EXPECT_NE(CRC8(block, 6), 0);
}

TEST(RomCode, DeviceCodesAreNonZeroWithTheirCrc) {
    RomCode rom = {0x28, 0x3C, 0x2B, 0x1A, 0x04, 0x00, 0x00, 0x00};
    rom[7] = CRC8(rom.data(), 7);
    EXPECT_TRUE(IsDeviceCode(rom));
    rom[7] ^= 0x01;
    EXPECT_FALSE(IsDeviceCode(rom));
    EXPECT_FALSE(IsDeviceCode(RomCode{}));  // zeros carry a valid CRC but name no device
}

TEST(RomCode, TextAndIdentifier) {
    const RomCode rom = {0x28, 0x3C, 0x2B, 0x1A, 0x04, 0x00, 0x00, 0xBB};
    EXPECT_EQ(FormatRomCode(rom), "28-0000041A2B3C-BB");
    EXPECT_EQ(static_cast<uint64_t>(RomCodeID(rom)), 0xBB0000041A2B3C28ull);
    EXPECT_EQ(RomCodeFromID(RomCodeID(rom)), rom);
    const RomCode high = {0x10, 0xFF, 0xEE, 0xDD, 0xCC, 0xBB, 0xAA, 0x9F};
    EXPECT_EQ(FormatRomCode(high), "10-AABBCCDDEEFF-9F");
    EXPECT_EQ(RomCodeFromID(RomCodeID(high)), high);
}

}  // namespace
}  // namespace flextor::onewire
