// ROM codes and the scratchpads the simulated sensors return.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "owsim/scratchpad.h"
#include "owsim/sim_bus.h"

namespace flextor::owsim {
namespace {

TEST(OwsimCodes, CrcAndRomCodes) {
    const char digits[] = "123456789";
    EXPECT_EQ(Crc8(reinterpret_cast<const uint8_t*>(digits), 9), 0xA1);

    RomCode rom = MakeRom(0x28, 0x0000041A2B3C);
    EXPECT_EQ(rom, (RomCode{0x28, 0x3C, 0x2B, 0x1A, 0x04, 0x00, 0x00, rom[7]}));
    EXPECT_EQ(Crc8(rom.data(), 8), 0);
    EXPECT_EQ(FormatRom(rom).substr(0, 15), "28-0000041A2B3C");

    RomCode parsed{};
    ASSERT_TRUE(ParseRom(FormatRom(rom), &parsed));
    EXPECT_EQ(parsed, rom);
    ASSERT_TRUE(ParseRom("28-0000041a2b3c-00", &parsed));  // any CRC, any case
    EXPECT_EQ(parsed[7], 0x00);
    for (const char* bad : {"", "28-0000041A2B3C", "28-0000041A2B3C-0G", "28:0000041A2B3C:BB",
                            "280000041A2B3C-BB0"}) {
        EXPECT_FALSE(ParseRom(bad, &parsed)) << bad;
    }
}

TEST(OwsimCodes, PowerOnScratchpadsAreTheDatasheetValues) {
    EXPECT_EQ(PowerOnScratchpad(0x28),
              (Scratchpad{0x50, 0x05, 0x4B, 0x46, 0x7F, 0xFF, 0x0C, 0x10, 0x1C}));
    EXPECT_EQ(PowerOnScratchpad(0x10),
              (Scratchpad{0xAA, 0x00, 0x4B, 0x46, 0xFF, 0xFF, 0x0C, 0x10, 0x87}));
}

int Raw(const Scratchpad& pad) {
    return static_cast<int16_t>(pad[0] | (pad[1] << 8));
}

// Every temperature of the range comes back within half a step of the chip's
// resolution, with a valid CRC.
TEST(OwsimCodes, ScratchpadsCarryTheTemperatureOverTheWholeRange) {
    for (int tenths = -550; tenths <= 1250; ++tenths) {
        double degrees = tenths / 10.0;
        Scratchpad b20 = ScratchpadFor(0x28, tenths);
        ASSERT_EQ(Crc8(b20.data(), 9), 0) << tenths;
        ASSERT_LE(std::fabs(Raw(b20) / 16.0 - degrees), 1 / 32.0) << tenths;

        Scratchpad s20 = ScratchpadFor(0x10, tenths);
        ASSERT_EQ(Crc8(s20.data(), 9), 0) << tenths;
        ASSERT_LE(std::fabs(Raw(s20) / 2.0 - degrees), 0.5) << tenths;
        int remain = s20[6];
        ASSERT_TRUE(remain >= 1 && remain <= 16) << tenths;
        double extended = (Raw(s20) >> 1) - 0.25 + (16 - remain) / 16.0;
        ASSERT_LE(std::fabs(extended - degrees), 1 / 32.0) << tenths;
    }
    EXPECT_EQ(Raw(ScratchpadFor(0x28, -6)), -10);  // -0.625 C, 0xFFF6
    EXPECT_EQ(Raw(ScratchpadFor(0x28, 2000)), 125 * 16);
    EXPECT_EQ(Raw(ScratchpadFor(0x10, -2000)), -110);
}

}  // namespace
}  // namespace flextor::owsim
