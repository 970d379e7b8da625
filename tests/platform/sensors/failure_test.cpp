// Failed reads and power-on readings adding up to a sensor error, and the first
// good reading clearing it, with the real thread on a simulated bus.
#include <gtest/gtest.h>

#include "core/state/program_state.h"
#include "platform/sensors/poller_fixture.h"

namespace flextor::test {
namespace {

using SensorFailureTest = PollerTest;

bool InError(const SensorParam& row) {
    return (row.Flag & kFlagError) != 0;
}

TEST_F(SensorFailureTest, TenthFailedReadInARowMarksTheSensorInError) {
    owsim::RomCode column = AddSensor(1, 785, 3);
    EXPECT_TRUE(bus.SetBadCrc(column, true));
    StartPolling();
    RunCycles(9);  // nine reads, each with a bad CRC
    EXPECT_EQ(bus.Reads(column), 9);
    EXPECT_EQ(LastRow(column).CountErr, 9);
    EXPECT_FALSE(InError(LastRow(column)));

    RunCycles(1);
    EXPECT_TRUE(InError(LastRow(column)));
    EXPECT_EQ(LastRow(column).CountErr, 9);

    EXPECT_TRUE(bus.SetBadCrc(column, false));
    RunCycles(1);
    SensorParam row = LastRow(column);
    EXPECT_FALSE(InError(row));
    EXPECT_EQ(row.CountErr, 0);
    EXPECT_EQ(row.Termo, 785);
    EXPECT_NE(row.Flag & kFlagFresh, 0);
}

TEST_F(SensorFailureTest, SequentialModeWithSixRowsMarksTheErrorAtTheFourthFailure) {
    owsim::RomCode failing = AddSensor(1, 785, 1);
    for (uint64_t serial = 2; serial <= 6; ++serial) {
        AddSensor(serial, 200, static_cast<uint8_t>(serial));
    }
    EXPECT_TRUE(bus.SetBadCrc(failing, true));
    StartPolling(1);
    // The failing row is converted in cycles 1, 7, 13 and 19 and read in the
    // cycle after each: one conversion in the whole bus per cycle.
    RunCycles(13);
    EXPECT_EQ(bus.Reads(failing), 3);
    EXPECT_EQ(LastRow(failing).CountErr, 3);
    EXPECT_FALSE(InError(LastRow(failing)));
    RunCycles(6);
    EXPECT_EQ(bus.Reads(failing), 4);
    EXPECT_TRUE(InError(LastRow(failing)));
    EXPECT_EQ(bus.Converts(failing), 4);

    EXPECT_TRUE(bus.SetBadCrc(failing, false));
    RunCycles(6);
    EXPECT_FALSE(InError(LastRow(failing)));
    EXPECT_EQ(LastRow(failing).Termo, 785);
}

TEST_F(SensorFailureTest, PowerOnReadingNumberSixtyTwoMarksTheErrorAndKeepsTheLastRealValue) {
    owsim::RomCode column = AddSensor(1, 250, 3);
    StartPolling();
    RunCycles(1);
    ASSERT_EQ(LastRow(column).Termo, 250);

    EXPECT_TRUE(bus.SetStuckAt85(column, true));
    RunCycles(61);
    SensorParam row = LastRow(column);
    EXPECT_EQ(row.Count85Err, 61);
    EXPECT_FALSE(InError(row));
    EXPECT_EQ(row.Termo, 250);
    EXPECT_EQ(row.Flag & kFlagFresh, 0);

    RunCycles(1);
    row = LastRow(column);
    EXPECT_TRUE(InError(row));
    EXPECT_EQ(row.Count85Err, 61);
    EXPECT_EQ(row.Termo, 250);
}

TEST_F(SensorFailureTest, OneGoodReadingBetweenPowerOnReadingsStartsTheCountAgain) {
    owsim::RomCode column = AddSensor(1, 250, 3);
    EXPECT_TRUE(bus.SetStuckAt85(column, true));
    StartPolling();
    RunCycles(40);
    ASSERT_EQ(LastRow(column).Count85Err, 40);

    EXPECT_TRUE(bus.SetStuckAt85(column, false));
    for (int cycle = 0; cycle < 3 && (LastRow(column).Flag & kFlagFresh) == 0; ++cycle) {
        RunCycles(1);
    }
    ASSERT_NE(LastRow(column).Flag & kFlagFresh, 0);
    EXPECT_EQ(LastRow(column).Count85Err, 0);
    EXPECT_EQ(LastRow(column).Termo, 250);

    EXPECT_TRUE(bus.SetStuckAt85(column, true));
    RunCycles(61);
    EXPECT_EQ(LastRow(column).Count85Err, 61);
    EXPECT_FALSE(InError(LastRow(column)));
}

}  // namespace
}  // namespace flextor::test
