// The simulated bus as the link sees it: bytes through a pseudo-terminal.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "owsim/sim_bus.h"
#include "platform/owsim/raw_port.h"

namespace flextor::owsim {
namespace {

using test::BytesFromEcho;
using test::RawPort;
using test::ReadSlots;
using test::ResetEcho;
using test::SlotsFor;

class OwsimPty : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(bus_.Start());
        port_ = std::make_unique<RawPort>(bus_.SlavePath());
        ASSERT_TRUE(port_->IsOpen());
    }

    std::string Match(const RomCode& rom) {
        std::string command = "\x55" + std::string(rom.begin(), rom.end());
        return port_->Exchange(SlotsFor(command));
    }

    SimBus bus_;
    std::unique_ptr<RawPort> port_;
};

TEST_F(OwsimPty, NamesThePortTheWayTheProgramOpensIt) {
    EXPECT_TRUE(bus_.SlavePath().starts_with("/dev/pts/"));
    EXPECT_EQ("/dev/" + bus_.PortName(), bus_.SlavePath());
    EXPECT_FALSE(bus_.Start());
}

TEST_F(OwsimPty, ResetAt9600AndSlotsAt115200) {
    EXPECT_EQ(ResetEcho(*port_), "\xF0");
    RomCode rom = bus_.AddSensor(0x28, 0x0000041A2B3C, 250);
    EXPECT_EQ(ResetEcho(*port_), "\xE0");

    // The same byte at the slot rate is a write-1 slot, echoed as written.
    EXPECT_EQ(port_->Exchange("\xF0"), "\xF0");
    EXPECT_EQ(ResetEcho(*port_), "\xE0");
    EXPECT_EQ(port_->Exchange(SlotsFor("\x33")), SlotsFor("\x33"));
    EXPECT_EQ(BytesFromEcho(port_->Exchange(ReadSlots(8))), std::string(rom.begin(), rom.end()));
    EXPECT_EQ(bus_.Resets(), 3);
}

TEST_F(OwsimPty, ScratchpadBlockComesBackWholeAndInOrder) {
    RomCode rom = bus_.AddSensor(0x28, 7, -103);
    bus_.AddSensor(0x10, 8, 500);
    for (const char* command : {"\x44", "\xBE"}) {
        ASSERT_EQ(ResetEcho(*port_), "\xE0");
        Match(rom);
        port_->Exchange(SlotsFor(command));
    }
    std::string echo = port_->Exchange(ReadSlots(9));
    ASSERT_EQ(echo.size(), 72u);
    std::string pad = BytesFromEcho(echo);
    EXPECT_EQ(Crc8(reinterpret_cast<const uint8_t*>(pad.data()), 9), 0);
    EXPECT_EQ(pad.substr(0, 2), "\x5B\xFF");  // -10.3 C as -165/16
    EXPECT_EQ(port_->Waiting(), 0);
    EXPECT_EQ(bus_.Reads(rom), 1);
    EXPECT_EQ(bus_.Converts(rom), 1);
}

TEST_F(OwsimPty, FaultsShowInTheEcho) {
    bus_.AddSensor(0x28, 1, 250);
    bus_.SetShorted(true);
    EXPECT_EQ(ResetEcho(*port_), std::string(1, '\0'));
    EXPECT_EQ(port_->Exchange(ReadSlots(1)), std::string(8, '\0'));
    bus_.SetShorted(false);

    bus_.SetSilent(true);
    EXPECT_EQ(ResetEcho(*port_, 100), "");
    bus_.SetSilent(false);

    bus_.DropNextEchoes(1);
    EXPECT_EQ(port_->Exchange(ReadSlots(1), 100).size(), 7u);
    EXPECT_EQ(port_->Exchange(ReadSlots(1)).size(), 8u);

    bus_.SetEchoDelayMs(150);
    ASSERT_TRUE(port_->Write(ReadSlots(1)));
    EXPECT_EQ(port_->Read(8, 40), "");
    EXPECT_EQ(port_->Read(8, 2000).size(), 8u);

    bus_.ClearFaults();
    EXPECT_EQ(ResetEcho(*port_), "\xE0");
}

TEST_F(OwsimPty, StopsPromptlyEvenWhileHoldingAnEcho) {
    bus_.SetEchoDelayMs(60000);
    ASSERT_TRUE(port_->Write(ReadSlots(1)));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    auto start = std::chrono::steady_clock::now();
    bus_.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_FALSE(bus_.Running());
    EXPECT_EQ(bus_.SlavePath(), "");

    bus_.SetEchoDelayMs(0);
    ASSERT_TRUE(bus_.Start());
    RawPort again(bus_.SlavePath());
    EXPECT_EQ(again.Exchange(ReadSlots(1)), ReadSlots(1));
}

// Each byte is answered at the rate the port has when the byte arrives, even while
// the adapter still holds the echoes of earlier bytes.
TEST_F(OwsimPty, AdapterLatencyHoldsEchoesButNotTheRateOfTheirBytes) {
    bus_.AddSensor(0x28, 1, 0);
    bus_.SetLineTime(true);
    bus_.SetLatencyUs(40000);
    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(port_->SetBaud(9600));
    ASSERT_TRUE(port_->Write("\xF0"));
    // The rate changes once the bus has taken the byte as a reset: on a loaded machine,
    // or under qemu, its thread may take longer than any fixed pause. Looked at every
    // millisecond, well inside the adapter's 40 ms, so that the reset's echo is still held
    // when the next bytes come (the suites' WaitUntil looks every 50 ms).
    for (int waited = 0; bus_.Resets() == 0 && waited < 5000; ++waited) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(bus_.Resets(), 1);
    ASSERT_TRUE(port_->SetBaud(115200));
    ASSERT_TRUE(port_->Write(ReadSlots(1)));
    EXPECT_EQ(port_->Read(9, 1000), "\xE0" + ReadSlots(1));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(40));
}

// Settings change from the test's thread while the bus serves traffic on its own.
TEST_F(OwsimPty, ChangesFromAnotherThreadWhileServing) {
    RomCode rom = bus_.AddSensor(0x28, 1, 0);
    std::atomic<bool> done{false};
    std::thread plant([&] {
        for (int tenths = 0; !done; tenths = (tenths + 7) % 1000) {
            EXPECT_TRUE(bus_.SetTemperature(rom, tenths));
            bus_.AddSensor(0x01, 99, 0);
            EXPECT_TRUE(bus_.RemoveDevice(MakeRom(0x01, 99)));
        }
    });
    for (int i = 0; i < 20; ++i) {
        ResetEcho(*port_);
        Match(rom);
        port_->Exchange(SlotsFor("\x44"));
        ResetEcho(*port_);
        Match(rom);
        port_->Exchange(SlotsFor("\xBE"));
        std::string pad = BytesFromEcho(port_->Exchange(ReadSlots(9)));
        ASSERT_EQ(Crc8(reinterpret_cast<const uint8_t*>(pad.data()), 9), 0) << i;
    }
    done = true;
    plant.join();
    EXPECT_EQ(bus_.Reads(rom), 20);
}

}  // namespace
}  // namespace flextor::owsim
