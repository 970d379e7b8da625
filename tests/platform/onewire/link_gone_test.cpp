// A pulled-out adapter as the link sees it, told apart from a bus on which
// nobody answers.
#include <gtest/gtest.h>

#include "platform/onewire/sim_fixture.h"

namespace flextor::onewire::test {
namespace {

using LinkGoneTest = SimulatedBusTest;

TEST_F(LinkGoneTest, OnlyAVanishedAdapterMakesThePortGone) {
    RomCode sensor = Sensor(0x28, 0x1);
    ASSERT_TRUE(bus.SetAbsent(sensor, true));
    EXPECT_FALSE(link.Reset());
    EXPECT_EQ(LastError(), kErrNoPresence);
    bus.SetSilent(true);
    EXPECT_FALSE(link.Reset());
    EXPECT_EQ(LastError(), kErrIO);
    EXPECT_FALSE(link.PortGone());

    bus.Stop();
    EXPECT_FALSE(link.Reset());
    EXPECT_TRUE(link.PortGone());
    EXPECT_TRUE(link.Close());
    EXPECT_FALSE(link.PortGone());
}

}  // namespace
}  // namespace flextor::onewire::test
