#include "core/startup/fresh_start.h"

#include <gtest/gtest.h>

#include "core/settings/settings.h"
#include "core/state/program_state.h"
#include "support/sensor_row.h"

namespace flextor {
namespace {

SensorParam Saved(uint8_t family, uint8_t serial, uint8_t use) {
    SensorParam row = test::SensorRow(family, serial, use);
    row.SN.CRC = 0x9C;
    row.CountErr = 7;  // nothing but the ID and the role is taken over
    return row;
}

class FreshStartTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetProgramState();
        ResetSettings();
    }
    void TearDown() override {
        ResetProgramState();
        ResetSettings();
    }
};

TEST_F(FreshStartTest, NamesOnePairOfLogFilesByTheStartTime) {
    StartFresh("/opt/flextor/", LocalTime{2026, 12, 6, 18, 24, 5});
    EXPECT_EQ(ProgVar.LogInfo_FileName, "/opt/flextor/Log/06_12_2026__18_24_05.log");
    EXPECT_EQ(ProgVar.LogTermo_FileName, "/opt/flextor/Log/Termo_06_12_2026__18_24_05.log");
}

TEST_F(FreshStartTest, BuildsTheSensorTableFromTheSavedListWithoutEmptyRows) {
    ProgVar.Sensors.Sensor.push_back(Saved(0x28, 0x99, 1));  // left from before: replaced
    SettingSensors = {Saved(0x28, 1, 3), SensorParam{}, Saved(0x10, 2, 0), Saved(0x01, 3, 5)};

    StartFresh("/x/", LocalTime{});

    const std::vector<SensorParam>& table = ProgVar.Sensors.Sensor;
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[0].ID, SettingSensors[0].ID);
    EXPECT_EQ(table[0].Use, 3);
    EXPECT_EQ(table[0].Flag, kFlagTemperatureSensor);
    EXPECT_EQ(table[0].CountErr, 0);
    EXPECT_EQ(table[1].ID, SettingSensors[2].ID);
    EXPECT_EQ(table[1].Flag, kFlagTemperatureSensor);
    EXPECT_EQ(table[2].Use, 5);
    EXPECT_EQ(table[2].Flag, 0);  // not a temperature sensor
}

}  // namespace
}  // namespace flextor
