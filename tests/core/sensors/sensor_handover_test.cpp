// The GUI side of the hand-over: readings and search results from SensorShare
// merged into ProgVar.Sensors, and the freshness of the role sensors' readings.
#include "core/sensors/sensor_handover.h"

#include <gtest/gtest.h>

#include <mutex>

#include "core/sensors/find_sensor.h"
#include "core/sensors/freshness.h"
#include "core/state/program_state.h"
#include "support/sensor_row.h"

namespace flextor {
namespace {

SensorParam Row(uint8_t family, uint8_t serial, uint8_t role, uint8_t flag = 0) {
    SensorParam row = test::SensorRow(family, serial, role);
    row.Flag = static_cast<uint8_t>(FamilyFlag(row) | flag);
    return row;
}

// A row as the polling thread hands it over.
SensorParam Polled(const SensorParam& row, int16_t termo, uint8_t flag) {
    SensorParam polled = row;
    polled.Termo = termo;
    polled.Flag = static_cast<uint8_t>(kFlagTemperatureSensor | flag);
    polled.CountErr = 5;
    polled.Use = 6;
    return polled;
}

class SensorHandoverTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetProgramState();
        SetUpdateDeleteButton([this] { ++delete_button_updates; });
    }
    void TearDown() override {
        SetUpdateDeleteButton(nullptr);
        ResetProgramState();
    }

    // What the thread leaves in the block at an exchange.
    void Share(uint8_t command, std::vector<SensorParam> rows, int32_t port_id = 9) {
        std::lock_guard lock(SensorShare.Mutex);
        SensorShare.Command = command;
        SensorShare.Sensor = std::move(rows);
        SensorShare.PortID = port_id;
    }

    std::vector<SensorParam>& Table() { return ProgVar.Sensors.Sensor; }

    int delete_button_updates = 0;
};

TEST_F(SensorHandoverTest, ReadingsReachOnlyThePolledRows) {
    SensorParam column = Row(kFamilyDS18B20, 1, kRoleColumn);
    SensorParam spare = Row(kFamilyDS18B20, 2, kRoleNone, kFlagFresh);
    SensorParam lost = Row(kFamilyDS18S20, 3, kRoleStill);
    SensorParam counter = Row(0x1D, 4, kRoleNone);
    Table() = {column, spare, lost, counter};
    Share(kCmdFreshData | kCmdPollAll,
          {Polled(column, 785, kFlagFresh), Polled(spare, 200, kFlagFresh)});

    SensorDataHandover();

    EXPECT_EQ(Table()[0].Termo, 785);
    EXPECT_EQ(Table()[0].Flag, kFlagTemperatureSensor | kFlagFresh);
    EXPECT_EQ(Table()[0].UpdateCount, kFreshReadingCredit);
    EXPECT_EQ(Table()[0].CountErr, 0);  // the thread's counters and roles stay there
    EXPECT_EQ(Table()[0].Use, kRoleColumn);
    EXPECT_EQ(Table()[1].Termo, 0);  // no role and PollAll 0: only the fresh mark goes
    EXPECT_EQ(Table()[1].Flag, kFlagTemperatureSensor);
    EXPECT_EQ(Table()[2].Flag, kFlagTemperatureSensor | kFlagNotFound);
    EXPECT_EQ(Table()[3].Flag, 0);
    EXPECT_EQ(ProgVar.Sensors.PortID, 9);
    EXPECT_EQ(delete_button_updates, 1);  // the lost row's mark came
    {
        std::lock_guard lock(SensorShare.Mutex);
        EXPECT_EQ(SensorShare.Command, kCmdPollAll);  // the GUI's request stays for the thread
        EXPECT_TRUE(SensorShare.Sensor.empty());
    }

    // The delete button follows the marks as they come and go, and only then.
    Share(kCmdFreshData, {Polled(column, 786, kFlagFresh)});
    SensorDataHandover();
    EXPECT_EQ(delete_button_updates, 1);
    Share(kCmdFreshData, {Polled(column, 787, kFlagNotFound), Polled(lost, 300, kFlagFresh)});
    SensorDataHandover();
    EXPECT_EQ(Table()[0].Flag, kFlagTemperatureSensor | kFlagNotFound);  // a search's mark
    EXPECT_EQ(Table()[2].Flag, kFlagTemperatureSensor | kFlagFresh);
    EXPECT_EQ(delete_button_updates, 2);
}

TEST_F(SensorHandoverTest, SearchResultAppendsOnlyUnknownDevices) {
    SensorParam column = Row(kFamilyDS18B20, 1, kRoleColumn, kFlagNotFound);
    Table() = {column};
    SensorParam found = Row(kFamilyDS18S20, 2, kRoleNone);
    SensorParam other = Row(0x01, 3, kRoleNone);
    SensorParam bare_column;
    bare_column.ID = column.ID;
    // Readings of an earlier exchange that the GUI never took are stale beside it.
    Share(kCmdSearchResults | kCmdFreshData, {bare_column, found, other}, 0);

    SensorDataHandover();

    ASSERT_EQ(Table().size(), 3u);
    EXPECT_EQ(Table()[0].Flag, kFlagTemperatureSensor | kFlagNotFound);  // keeps its marks
    EXPECT_EQ(Table()[0].Use, kRoleColumn);
    EXPECT_EQ(Table()[1].ID, found.ID);
    EXPECT_EQ(Table()[1].Flag, kFlagTemperatureSensor);
    EXPECT_EQ(Table()[2].ID, other.ID);
    EXPECT_EQ(Table()[2].Flag, 0);
    EXPECT_EQ(delete_button_updates, 1);
    std::lock_guard lock(SensorShare.Mutex);
    EXPECT_EQ(SensorShare.Command, 0);
}

TEST_F(SensorHandoverTest, RoleSensorWithoutFreshReadingsFailsAfterSixtyFiveCycles) {
    SensorParam tsa = Row(kFamilyDS18B20, 1, kRoleTsa);
    SensorParam spare = Row(kFamilyDS18B20, 2, kRoleNone);
    Table() = {tsa, spare};
    Share(kCmdFreshData, {Polled(tsa, 300, kFlagFresh)});
    SensorDataHandover();

    for (int cycle = 1; cycle <= 64; ++cycle) {
        CheckSensorFreshness();
        ASSERT_EQ(Table()[0].Flag & kFlagError, 0) << "cycle " << cycle;
    }
    EXPECT_EQ(Table()[0].UpdateCount, 0);
    EXPECT_EQ(Table()[0].CountNoUpdate, 60);
    EXPECT_EQ(Table()[0].Flag & kFlagFresh, 0);
    CheckSensorFreshness();
    EXPECT_NE(Table()[0].Flag & kFlagError, 0);
    EXPECT_EQ(Table()[1].CountNoUpdate, 0);  // only role sensors age

    Share(kCmdFreshData, {Polled(tsa, 310, kFlagFresh)});
    SensorDataHandover();
    EXPECT_EQ(Table()[0].Flag & kFlagError, 0);
    CheckSensorFreshness();
    EXPECT_EQ(Table()[0].CountNoUpdate, 0);
    EXPECT_EQ(Table()[0].UpdateCount, kFreshReadingCredit - 1);
}

}  // namespace
}  // namespace flextor
