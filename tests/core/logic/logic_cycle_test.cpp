// The logic cycle as a whole: its guard, the stop without a serial port, the
// temperature fields and the steps it hands on to.
#include "core/logic/cycle_steps.h"
#include "logic_fixture.h"

namespace flextor::test {
namespace {

using LogicCycleTest = LogicTest;

TEST_F(LogicCycleTest, CycleInsideACycleDoesNothing) {
    Start();
    LogicBusy = 1;
    CycleAt(745);
    EXPECT_EQ(col1.DelayState, 0);
    EXPECT_EQ(LogicBusy, 1);
    LogicBusy = 0;
    CycleAt(745);
    EXPECT_EQ(col1.DelayState, 1);
    EXPECT_EQ(LogicBusy, 0);
}

TEST_F(LogicCycleTest, WithoutTheSerialPortEveryColumnStops) {
    AddSensor(kRoleStill, 200);
    AddSensor(kRoleMash, 200);
    Start();
    ColumnCommand(kColumn1, kCommandPause);
    ColumnCommand(kColumn2, kCommandStart);
    ColumnCommand(kColumn3, kCommandStart);
    TakeMessages();
    // A resumed run before the polling thread has told anything of its port.
    ProgVar.Sensors.PortID = 0;
    PortReported = false;
    Cycle();
    EXPECT_TRUE(TakeMessages().empty());
    PortReported = true;
    Cycle();
    EXPECT_EQ(TakeMessages(), (Messages{"Остановлена работа колонки 1 (Ректификация)",
                                        "Остановлена работа колонки 2 (Дистилляция)",
                                        "Остановлена работа колонки 3 (Брага)"}));
    Cycle();
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(LogicCycleTest, TemperatureFieldsShowEachRolesState) {
    ColumnSensor().Termo = 784;
    FindSensorByRole(kRoleTsa)->Use = kRoleNone;
    AddSensor(kRoleStill, -5).Flag |= kFlagError;
    SensorParam& mash = AddSensor(kRoleMash, 250);
    Cycle();
    EXPECT_EQ(display.temperatures[kRoleTsa], "Не выбран");
    EXPECT_EQ(display.temperatures[kRoleColumn], "78.4 °C");
    EXPECT_EQ(display.temperatures[kRoleStill], "Ошибка");
    EXPECT_EQ(display.temperatures[kRoleMash], "25.0 °C");
    mash.Termo = 300;
    mash.UpdateCount = 0;
    Cycle();
    EXPECT_EQ(display.temperatures[kRoleMash], "25.0 °C");  // stale: unchanged
    ProgVar.Sensors.PortID = 0;
    Cycle();
    for (int role = kRoleTsa; role <= kRoleSensor6; ++role) {
        EXPECT_EQ(display.temperatures[role], "Нет данных");
    }
}

TEST_F(LogicCycleTest, SensorListIsRefreshedOnlyWhileTheSensorsWindowPolls) {
    int refreshes = 0;
    SetSensorListRefresh([&refreshes] { ++refreshes; });
    Cycle();
    PollAll = 1;
    Cycle();
    SetSensorListRefresh(nullptr);
    EXPECT_EQ(refreshes, 1);
}

TEST_F(LogicCycleTest, PendingSettingsSaveIsCounted) {
    SaveCounter = 0;
    Cycle();
    EXPECT_EQ(SaveCounter, 1);
}

}  // namespace
}  // namespace flextor::test
