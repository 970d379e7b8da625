// The sensors window's logic without its window: the texts of a row, the edited
// roles, and what applying and reverting do to the table, the settings and the
// requests to the polling thread.
#include <gtest/gtest.h>

#include <cstring>
#include <mutex>

#include "core/sensors/list_roles.h"
#include "core/sensors/sensor_texts.h"
#include "core/sensors/sensors_window_requests.h"
#include "core/settings/settings.h"
#include "core/state/program_state.h"
#include "support/sensor_row.h"

namespace flextor {
namespace {

SensorParam Row(uint8_t serial, uint8_t role, uint8_t flag = 0, uint8_t family = kFamilyDS18B20) {
    SensorParam row = test::SensorRow(family, serial, role);
    row.Flag = static_cast<uint8_t>(FamilyFlag(row) | flag);
    return row;
}

std::vector<int64_t> TableIds() {
    std::vector<int64_t> ids;
    for (const SensorParam& row : ProgVar.Sensors.Sensor) {
        ids.push_back(row.ID);
    }
    return ids;
}

class SensorsWindowLogicTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetProgramState();
        ResetSettings();
    }
    void TearDown() override { SetUp(); }
};

TEST_F(SensorsWindowLogicTest, IdentifierShowsSerialBytesFromTheLast) {
    SensorParam row;
    const uint8_t rom[8] = {0x28, 0x3C, 0x2B, 0x1A, 0x04, 0x00, 0x00, 0xBB};
    std::memcpy(&row.SN, rom, sizeof rom);
    EXPECT_EQ(SensorIdText(row), "28-0000041A2B3C-BB");
    EXPECT_EQ(RoleName(7), "Не используется");
}

TEST_F(SensorsWindowLogicTest, TemperatureColumn) {
    struct Case {
        uint8_t family;
        uint8_t flag;
        int16_t termo;
        int32_t port;
        const char* text;
    };
    const Case cases[] = {
        {kFamilyDS18B20, 0, -55, 7, "-5.5 °C"},
        {kFamilyDS18S20, kFlagFresh, 785, 7, "78.5 °C"},
        {kFamilyDS18B20, kFlagError, 785, 7, "Ошибка чтения данных"},
        {0x01, 0, 0, 7, "Не является датчиком температуры или несовместим с DS18B20"},
        {kFamilyDS18B20, kFlagNotFound, 785, 7, "Датчик не найден"},
        // No port open: every row, whatever its flags.
        {kFamilyDS18B20, 0, 785, 0, "Датчик не найден"},
        {kFamilyDS18B20, kFlagError, 785, 0, "Датчик не найден"},
        {0x01, 0, 0, 0, "Датчик не найден"},
    };
    for (const Case& c : cases) {
        SensorParam row = Row(1, 0, c.flag, c.family);
        row.Termo = c.termo;
        EXPECT_EQ(TemperatureColumnText(row, c.port), c.text) << int(c.flag) << " port " << c.port;
    }
}

TEST_F(SensorsWindowLogicTest, ListRolesFollowTheTableLength) {
    ProgVar.Sensors.Sensor = {Row(1, 3), Row(2, 0)};
    ListRoles roles;
    MatchTableLength(roles);
    ASSERT_EQ(roles, (ListRoles{3, 0}));
    roles[1] = 5;
    ProgVar.Sensors.Sensor.push_back(Row(3, 4));  // a search grew the table
    MatchTableLength(roles);
    EXPECT_EQ(roles, (ListRoles{3, 5, 4}));
    ProgVar.Sensors.Sensor.resize(1);
    MatchTableLength(roles);
    EXPECT_EQ(roles, (ListRoles{3}));
}

TEST_F(SensorsWindowLogicTest, DeletingNotFoundKeepsEachRowsEditedRole) {
    ProgVar.Sensors.Sensor = {Row(1, 1), Row(2, 2, kFlagNotFound), Row(3, 0),
                              Row(4, 4, kFlagNotFound), Row(5, 0)};
    ListRoles roles = {1, 2, 3, 4, 6};
    EXPECT_TRUE(AnyRowNotFound());
    DeleteNotFoundRows(roles);
    EXPECT_EQ(TableIds(), (std::vector<int64_t>{Row(1, 0).ID, Row(3, 0).ID, Row(5, 0).ID}));
    EXPECT_EQ(roles, (ListRoles{1, 3, 6}));
    EXPECT_FALSE(AnyRowNotFound());
}

TEST_F(SensorsWindowLogicTest, ReassigningARoleLeavesOneHolder) {
    ListRoles roles = {3, 0, 3, 1};
    EXPECT_TRUE(RoleHeldByOther(roles, 1, 3));
    EXPECT_FALSE(RoleHeldByOther(roles, 3, 1));
    AssignRole(roles, 1, 3);
    EXPECT_EQ(roles, (ListRoles{0, 3, 0, 1}));
    AssignRole(roles, 3, 0);
    EXPECT_EQ(roles, (ListRoles{0, 3, 0, 0}));
}

TEST_F(SensorsWindowLogicTest, ApplyMakesRolesSettingsAndDropsAPendingHandOver) {
    ProgVar.Sensors.Sensor = {Row(1, 0), Row(2, 3)};
    {
        std::lock_guard lock(SensorShare.Mutex);
        SensorShare.Command = kCmdFreshData | kCmdSearchResults | kCmdPollAll;
        SensorShare.Sensor = {Row(1, 0), Row(2, 0), Row(9, 0)};  // a search found 9
    }
    ApplySensorsWindow("ttyUSB1", true, {4, 0});

    EXPECT_EQ(Settings.Sensor.PortName, "ttyUSB1");
    EXPECT_EQ(Settings.Sensor.Serial, 1);
    EXPECT_EQ(ProgVar.Sensors.Sensor[0].Use, 4);
    EXPECT_EQ(ProgVar.Sensors.Sensor[1].Use, 0);
    ASSERT_EQ(SettingSensors.size(), 2u);
    EXPECT_EQ(SettingSensors[0].ID, Row(1, 0).ID);
    EXPECT_EQ(SettingSensors[0].Use, 4);
    std::lock_guard lock(SensorShare.Mutex);
    EXPECT_EQ(SensorShare.Command, kCmdNewTable | kCmdPollAll);
    EXPECT_EQ(SensorShare.PortName, "ttyUSB1");
    EXPECT_EQ(SensorShare.Serial, 1);
    ASSERT_EQ(SensorShare.Sensor.size(), 2u);
    EXPECT_EQ(SensorShare.Sensor[0].ID, Row(1, 0).ID);
    EXPECT_EQ(SensorShare.Sensor[0].Use, 4);
}

TEST_F(SensorsWindowLogicTest, RevertBringsBackTheSavedRowsAndPort) {
    Settings.Sensor.PortName = "ttyUSB0";
    SettingSensors = {Row(1, 1), Row(2, 2), Row(3, 0, 0, 0x01)};
    ProgVar.Sensors.Sensor = {Row(2, 5), Row(7, 0)};  // 1 and 3 deleted, 7 found since
    {
        std::lock_guard lock(SensorShare.Mutex);
        SensorShare.PortName = "ttyS0";  // chosen in the window
        SensorShare.Command = kCmdSearchResults;
    }
    RevertSensorsWindow();

    EXPECT_EQ(TableIds(),
              (std::vector<int64_t>{Row(2, 0).ID, Row(1, 0).ID, Row(3, 0, 0, 0x01).ID}));
    EXPECT_EQ(ProgVar.Sensors.Sensor[1].Use, 1);
    EXPECT_EQ(ProgVar.Sensors.Sensor[1].Flag, kFlagTemperatureSensor);
    EXPECT_EQ(ProgVar.Sensors.Sensor[2].Flag, 0);
    std::lock_guard lock(SensorShare.Mutex);
    EXPECT_EQ(SensorShare.Command, kCmdReopen | kCmdNewTable);
    EXPECT_EQ(SensorShare.PortName, "ttyUSB0");
    EXPECT_EQ(SensorShare.Sensor.size(), 3u);
}

}  // namespace
}  // namespace flextor
