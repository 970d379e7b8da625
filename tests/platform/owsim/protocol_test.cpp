// The devices' side of the 1-Wire protocol, driven slot by slot on the bus model.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "owsim/bus_model.h"
#include "platform/owsim/raw_port.h"

namespace flextor::owsim {
namespace {

using test::Bytes;
using test::BytesFromEcho;
using test::ReadSlots;
using test::SlotsFor;

std::string RomText(const RomCode& rom) {
    return std::string(rom.begin(), rom.end());
}

// The host's side, written as plainly as the bus allows.
class Host {
  public:
    explicit Host(BusModel& bus) : bus_(bus) {}

    std::string Reset() { return Send("\xF0", 9600); }
    std::string Slots(const std::string& slots) { return Send(slots, 115200); }
    void Write(const std::string& data) { Slots(SlotsFor(data)); }
    std::string Read(std::size_t count) { return BytesFromEcho(Slots(ReadSlots(count))); }
    bool ReadBit() { return Slots("\xFF") == "\xFF"; }
    void WriteBit(bool bit) { Slots(bit ? "\xFF" : std::string(1, '\0')); }

    void Address(const RomCode& rom) {
        Reset();
        Write("\x55" + RomText(rom));
    }
    std::string ReadScratchpad(const RomCode& rom) {
        Address(rom);
        Write("\xBE");
        return Read(9);
    }
    void ConvertT(const RomCode& rom) {
        Address(rom);
        Write("\x44");
    }

    // The usual search with discrepancy tracking; stops on a pass without presence
    // or with a 1-1 bit pair.
    std::vector<RomCode> Search() {
        std::vector<RomCode> found;
        RomCode rom{};
        int lastDiscrepancy = 0;
        do {
            if (Reset() == "\xF0") {
                break;
            }
            Write("\xF0");
            int lastZero = 0;
            for (int position = 1; position <= 64; ++position) {
                bool bit = ReadBit();
                bool complement = ReadBit();
                if (bit && complement) {
                    return found;
                }
                int byte = (position - 1) / 8;
                uint8_t mask = static_cast<uint8_t>(1 << ((position - 1) % 8));
                bool direction = bit;
                if (!bit && !complement) {
                    direction = position < lastDiscrepancy ? (rom[byte] & mask) != 0
                                                           : position == lastDiscrepancy;
                    lastZero = direction ? lastZero : position;
                }
                rom[byte] = static_cast<uint8_t>(direction ? rom[byte] | mask : rom[byte] & ~mask);
                WriteBit(direction);
            }
            found.push_back(rom);
            lastDiscrepancy = lastZero;
        } while (lastDiscrepancy != 0);
        return found;
    }

  private:
    std::string Send(const std::string& bytes, int baud) {
        return bus_.Answer(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), baud);
    }

    BusModel& bus_;
};

class OwsimProtocol : public ::testing::Test {
  protected:
    RomCode Add(uint8_t family, uint64_t serial, int tenths = 250) {
        RomCode rom = MakeRom(family, serial);
        EXPECT_TRUE(bus_.Add(rom, tenths));
        return rom;
    }
    DeviceInfo& Info(const RomCode& rom) { return bus_.Find(rom)->Info(); }

    BusModel bus_;
    Host host_{bus_};
};

TEST_F(OwsimProtocol, ResetAnswersWithPresenceOnlyWhenADeviceIsThere) {
    EXPECT_EQ(host_.Reset(), "\xF0");
    RomCode rom = Add(0x28, 1);
    EXPECT_EQ(host_.Reset(), "\xE0");
    Info(rom).absent = true;
    EXPECT_EQ(host_.Reset(), "\xF0");
    bus_.Faults().shorted = true;
    EXPECT_EQ(host_.Reset(), std::string(1, '\0'));
    EXPECT_EQ(bus_.Resets(), 4);
}

TEST_F(OwsimProtocol, ReadRomGivesTheCodeOfOneDeviceAndTheAndOfSeveral) {
    RomCode first = Add(0x28, 0x0000041A2B3C);
    host_.Reset();
    host_.Write("\x33");
    EXPECT_EQ(host_.Read(8), RomText(first));

    RomCode second = Add(0x10, 0x0000C3C3C3C3);
    host_.Reset();
    host_.Write("\x33");
    std::string both = host_.Read(8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(static_cast<uint8_t>(both[i]), first[i] & second[i]) << i;
    }
}

TEST_F(OwsimProtocol, SearchFindsEveryPresentDeviceOfEveryFamily) {
    RomCode a = Add(0x28, 0x000000000010);
    RomCode b = Add(0x28, 0x000000000011);  // differs from a in one serial bit
    RomCode c = Add(0x10, 0x0000ABCDEF01);
    RomCode d = Add(0x01, 0x000000000777);
    RomCode gone = Add(0x28, 0x000000000012);
    Info(gone).absent = true;

    std::vector<RomCode> found = host_.Search();
    std::sort(found.begin(), found.end());
    std::vector<RomCode> expected{a, b, c, d};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(found, expected);
    EXPECT_EQ(bus_.Searches(), 4);
}

TEST_F(OwsimProtocol, CodesDifferingOnlyInTheirLastBitAreBothFound) {
    RomCode valid = MakeRom(0x28, 5);  // CRC 0xF5
    RomCode twin = valid;
    twin[7] ^= 0x80;  // an invalid CRC, but a device all the same
    EXPECT_TRUE(bus_.Add(valid, 0));
    EXPECT_TRUE(bus_.Add(twin, 0));
    EXPECT_EQ(host_.Search(), (std::vector<RomCode>{twin, valid}));  // the 0 branch first
}

TEST_F(OwsimProtocol, AddressedSensorConvertsAndReportsOnlyItself) {
    RomCode b20 = Add(0x28, 1, 785);
    RomCode s20 = Add(0x10, 2, -125);
    RomCode serial = Add(0x01, 3);

    EXPECT_EQ(host_.ReadScratchpad(b20),
              Bytes({0x50, 0x05, 0x4B, 0x46, 0x7F, 0xFF, 0x0C, 0x10, 0x1C}));
    host_.ConvertT(b20);
    EXPECT_EQ(host_.ReadScratchpad(b20).substr(0, 2), Bytes({0xE8, 0x04}));  // 78.5 C
    EXPECT_EQ(host_.ReadScratchpad(s20).substr(0, 2), Bytes({0xAA, 0x00}));  // not converted yet
    host_.ConvertT(s20);
    EXPECT_EQ(host_.ReadScratchpad(s20).substr(0, 2), Bytes({0xE7, 0xFF}));  // -12.5 C
    EXPECT_EQ(host_.ReadScratchpad(serial), std::string(9, '\xFF'));         // ignores it

    EXPECT_EQ(Info(b20).converts, 1);
    EXPECT_EQ(Info(b20).reads, 2);
    EXPECT_EQ(Info(s20).reads, 2);
    EXPECT_EQ(Info(serial).reads, 0);
}

TEST_F(OwsimProtocol, SkipRomReachesTheOnlyDevice) {
    RomCode rom = Add(0x28, 9, 200);
    host_.Reset();
    host_.Write("\xCC\x44");
    host_.Reset();
    host_.Write("\xCC\xBE");
    EXPECT_EQ(host_.Read(2), Bytes({0x40, 0x01}));
    EXPECT_EQ(Info(rom).converts, 1);
}

TEST_F(OwsimProtocol, SensorFaultsShowInTheScratchpad) {
    RomCode rom = Add(0x28, 1, 300);
    host_.ConvertT(rom);
    Info(rom).badCrc = true;
    std::string pad = host_.ReadScratchpad(rom);
    EXPECT_EQ(pad.substr(0, 2), Bytes({0xE0, 0x01}));
    EXPECT_NE(Crc8(reinterpret_cast<const uint8_t*>(pad.data()), 9), 0);

    Info(rom).badCrc = false;
    Info(rom).stuckAt85 = true;
    host_.ConvertT(rom);
    EXPECT_EQ(host_.ReadScratchpad(rom),
              Bytes({0x50, 0x05, 0x4B, 0x46, 0x7F, 0xFF, 0x0C, 0x10, 0x1C}));
    Info(rom).stuckAt85 = false;
    host_.ConvertT(rom);
    EXPECT_EQ(host_.ReadScratchpad(rom).substr(0, 2), Bytes({0xE0, 0x01}));
}

TEST_F(OwsimProtocol, AdapterFaultsChangeOnlyTheEcho) {
    RomCode rom = Add(0x28, 1, 300);
    bus_.Faults().silent = true;
    host_.Address(rom);
    EXPECT_EQ(host_.Slots(SlotsFor("\x44")), "");
    EXPECT_EQ(Info(rom).converts, 1);  // the bus still carried the command
    bus_.Faults().silent = false;

    bus_.Faults().dropNext = 1;
    EXPECT_EQ(host_.Slots(ReadSlots(1)).size(), 7u);
    EXPECT_EQ(host_.Slots(ReadSlots(1)).size(), 8u);

    bus_.Faults().dropEvery = 4;
    EXPECT_EQ(host_.Slots(ReadSlots(2)).size(), 12u);
    bus_.Faults().dropEvery = 0;

    bus_.Faults().shorted = true;
    EXPECT_EQ(host_.Slots(ReadSlots(1)), std::string(8, '\0'));
}

}  // namespace
}  // namespace flextor::owsim
