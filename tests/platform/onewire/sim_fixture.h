// A link opened on a simulated bus served from a pty in this process.
#pragma once

#include <gtest/gtest.h>

#include "owsim/sim_bus.h"
#include "platform/onewire/link.h"
#include "platform/onewire/rom_code.h"

namespace flextor::onewire::test {

// How many times longer the link waits for an echo in these tests: the bus
// answers from a thread of this process, which a loaded machine may hold back
// far longer than a real adapter ever takes.
inline constexpr int kLoadedMachineStretch = 8;

class SimulatedBusTest : public ::testing::Test {
  protected:
    void SetUp() override {
        LinkOptions = 0;
        EchoWaitStretch = kLoadedMachineStretch;
        ASSERT_TRUE(bus.Start());
        ASSERT_NE(link.Open(bus.PortName()), 0);
        bus.ClearCounters();
    }
    void TearDown() override { EchoWaitStretch = 1; }

    RomCode Sensor(uint8_t family, uint64_t serial, int tenths = 250) {
        return bus.AddSensor(family, serial, tenths);
    }

    // Bytes waiting in the link port's receive queue, seen through a second handle.
    int Waiting() const;

    owsim::SimBus bus;
    OWire link;
};

}  // namespace flextor::onewire::test
