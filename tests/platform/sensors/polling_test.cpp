// Which sensors the thread reads and how often, on a simulated bus.
#include <gtest/gtest.h>

#include "core/state/program_state.h"
#include "platform/sensors/poller_fixture.h"

namespace flextor::test {
namespace {

using SensorPollingTest = PollerTest;

TEST_F(SensorPollingTest, ReadsRoleSensorsOncePerCycleAndOthersOnlyWhilePollAllIsSet) {
    owsim::RomCode column = AddSensor(1, 785, 3);
    owsim::RomCode spare = AddSensor(2, 236, 0);
    StartPolling();
    RunCycles(3);
    // The first cycle after opening only converts.
    EXPECT_EQ(bus.Converts(column), 4);
    EXPECT_EQ(bus.Reads(column), 3);
    EXPECT_EQ(bus.Converts(spare), 0);
    EXPECT_EQ(bus.Reads(spare), 0);
    EXPECT_EQ(LastRow(column).Termo, 785);
    EXPECT_EQ(LastRow(column).Flag, kFlagTemperatureSensor | kFlagFresh | kFlagConverting);
    EXPECT_EQ(LastRow(spare).Flag, kFlagTemperatureSensor);
    EXPECT_NE(Last().port_id, 0);
    EXPECT_EQ(Last().command, kCmdFreshData);

    // The sensors window opens: the request is taken at the next exchange, the
    // sensor converted in the cycle after it and read in the one after that.
    Request(kCmdPollAll, [](SensorShareBlock& share) { share.PollAll = 1; });
    RunCycles(2);
    EXPECT_EQ(bus.Converts(spare), 1);
    EXPECT_EQ(bus.Reads(spare), 0);
    RunCycles(1);
    EXPECT_EQ(bus.Reads(spare), 1);
    EXPECT_EQ(LastRow(spare).Termo, 236);
    EXPECT_NE(LastRow(spare).Flag & kFlagFresh, 0);

    // The window closes: after the cycle that takes the request, it is left alone.
    Request(kCmdPollAll, [](SensorShareBlock& share) { share.PollAll = 0; });
    RunCycles(1);
    const int reads = bus.Reads(spare);
    const int converts = bus.Converts(spare);
    RunCycles(2);
    EXPECT_EQ(bus.Reads(spare), reads);
    EXPECT_EQ(bus.Converts(spare), converts);
    EXPECT_EQ(bus.Reads(column), 9);
}

TEST_F(SensorPollingTest, CyclePeriodIsThePausePlusTheBusTime) {
    owsim::RomCode column = AddSensor(1, 785, 3);
    StartPolling(0, PollerOptions{});
    RunFreely();
    ASSERT_TRUE(WaitForExchanges(4, std::chrono::seconds(60)));
    std::vector<SeenExchange> seen = Seen();
    for (size_t i = 1; i < 4; ++i) {
        auto gap = seen[i].when - seen[i - 1].when;
        EXPECT_GE(gap, std::chrono::milliseconds(900));
        EXPECT_LT(gap, std::chrono::seconds(10));
    }
    EXPECT_GE(bus.Reads(column), 3);
}

}  // namespace
}  // namespace flextor::test
