// Addressing one sensor among several on the simulated bus, and what each fault
// of the bus does to a conversion and a scratchpad read.
#include <gtest/gtest.h>

#include <optional>
#include <thread>

#include "platform/onewire/sensor_commands.h"
#include "platform/onewire/sim_fixture.h"
#include "platform/onewire/temperature.h"

namespace flextor::onewire::test {
namespace {

class SensorCommandsTest : public SimulatedBusTest {
  protected:
    void SetUp() override {
        SimulatedBusTest::SetUp();
        column = Sensor(0x28, 0x0000041A2B3C, 785);
        still = Sensor(0x28, 0x0000041A2B3D, -125);
        old_sensor = Sensor(0x10, 0x000000ABCDEF, 236);
        serial_number = Sensor(0x01, 0x000000000042);
    }

    // Converts and reads one sensor: its temperature in tenths, or nullopt.
    std::optional<int16_t> Measure(const RomCode& rom) {
        if (!ConvertT(link, rom)) {
            return std::nullopt;
        }
        Scratchpad pad{};
        if (!ReadScratchpad(link, rom, pad)) {
            return std::nullopt;
        }
        return TemperatureTenths(rom[0], pad[0], pad[1]);
    }

    RomCode column, still, old_sensor, serial_number;
};

TEST_F(SensorCommandsTest, ReadsOneSensorAmongSeveral) {
    Scratchpad pad{};
    ASSERT_TRUE(ReadScratchpad(link, still, pad));
    EXPECT_TRUE(IsPowerOnValue(TemperatureTenths(still[0], pad[0], pad[1])));

    EXPECT_EQ(Measure(still), -125);
    EXPECT_EQ(LastError(), kErrNone);
    EXPECT_EQ(bus.Converts(still), 1);
    EXPECT_EQ(bus.Reads(still), 2);
    EXPECT_EQ(bus.Converts(column), 0);
    EXPECT_EQ(bus.Reads(column), 0);
    EXPECT_EQ(bus.Reads(old_sensor), 0);

    EXPECT_EQ(Measure(column), 785);
    EXPECT_EQ(Measure(old_sensor), 235);  // the DS18S20 reads in half degrees
    EXPECT_EQ(Waiting(), 0);
}

TEST_F(SensorCommandsTest, DeviceThatIsNotThereReadsNothing) {
    RomCode stranger = owsim::MakeRom(0x28, 0x777);
    EXPECT_TRUE(MatchROM(link, stranger));  // the others answer the reset
    Scratchpad pad{};
    EXPECT_FALSE(ReadScratchpad(link, stranger, pad));
    EXPECT_EQ(LastError(), kErrNone);
}

struct FaultCase {
    const char* name;
    void (*apply)(owsim::SimBus& bus, const RomCode& rom);
    bool convert_ok;
    int32_t error;  // after the read
};

class SensorFaultTest : public SensorCommandsTest,
                        public ::testing::WithParamInterface<FaultCase> {};

TEST_P(SensorFaultTest, FailsWithItsErrorAndLeavesNoBytesBehind) {
    const FaultCase& fault = GetParam();
    fault.apply(bus, column);
    EXPECT_EQ(ConvertT(link, column), fault.convert_ok);
    Scratchpad pad{};
    EXPECT_FALSE(ReadScratchpad(link, column, pad));
    EXPECT_EQ(LastError(), fault.error);
    EXPECT_EQ(Waiting(), 0);

    bus.ClearFaults();
    EXPECT_EQ(Measure(column), 785);
}

const FaultCase kFaults[] = {
    {"Absent",
     [](owsim::SimBus& bus, const RomCode& rom) { EXPECT_TRUE(bus.SetAbsent(rom, true)); }, true,
     kErrNone},
    {"BadCrc",
     [](owsim::SimBus& bus, const RomCode& rom) { EXPECT_TRUE(bus.SetBadCrc(rom, true)); }, true,
     kErrNone},
    {"Shorted", [](owsim::SimBus& bus, const RomCode&) { bus.SetShorted(true); }, true, kErrNone},
    {"Silent", [](owsim::SimBus& bus, const RomCode&) { bus.SetSilent(true); }, false, kErrIO},
    {"EchoLost", [](owsim::SimBus& bus, const RomCode&) { bus.SetDropEvery(50); }, false, kErrIO},
};

INSTANTIATE_TEST_SUITE_P(Faults, SensorFaultTest, ::testing::ValuesIn(kFaults),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

TEST_F(SensorCommandsTest, EveryDeviceAbsentIsNoPresence) {
    for (const RomCode& rom : {column, still, old_sensor, serial_number}) {
        EXPECT_TRUE(bus.SetAbsent(rom, true));
    }
    EXPECT_FALSE(ConvertT(link, column));
    EXPECT_EQ(LastError(), kErrNoPresence);
    EXPECT_EQ(Waiting(), 0);
}

TEST_F(SensorCommandsTest, OneLostEchoFailsTheCommandBlock) {
    bus.DropNextEchoes(1);
    EXPECT_FALSE(MatchROM(link, column));
    EXPECT_EQ(LastError(), kErrIO);
    EXPECT_EQ(Waiting(), 0);
}

TEST_F(SensorCommandsTest, StuckSensorReadsThePowerOnValue) {
    EXPECT_TRUE(bus.SetStuckAt85(column, true));
    EXPECT_EQ(Measure(column), kPowerOnTenths);
    EXPECT_EQ(LastError(), kErrNone);
}

TEST_F(SensorCommandsTest, EchoDelayWithinTheWaitsIsHarmless) {
    bus.SetEchoDelayMs(4);
    EXPECT_EQ(Measure(column), 785);
}

TEST_F(SensorCommandsTest, UsbAdapterLatencyWithinTheWaitsIsHarmless) {
    bus.SetLineTime(true);
    bus.SetLatencyUs(16000);
    EXPECT_EQ(Measure(column), 785);
    EXPECT_EQ(Measure(old_sensor), 235);
    EXPECT_EQ(bus.Resets(), 4);
}

TEST_F(SensorCommandsTest, LateEchoFailsAndNeverLeaksIntoTheNextTransaction) {
    EchoWaitStretch = 1;  // the program's own limits: a load only makes the echo later
    bus.SetEchoDelayMs(60);
    EXPECT_FALSE(MatchROM(link, column));
    EXPECT_EQ(LastError(), kErrIO);
    bus.SetEchoDelayMs(0);
    EchoWaitStretch = kLoadedMachineStretch;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the late echo lands
    EXPECT_EQ(Measure(column), 785);
}

TEST_F(SensorCommandsTest, ClosedLinkFails) {
    EXPECT_TRUE(link.Close());
    Scratchpad pad{};
    EXPECT_FALSE(ConvertT(link, column));
    EXPECT_FALSE(ReadScratchpad(link, column, pad));
    EXPECT_EQ(LastError(), kErrNoPort);
}

}  // namespace
}  // namespace flextor::onewire::test
