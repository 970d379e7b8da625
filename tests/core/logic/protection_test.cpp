// The alarm latch and the sensor-6 output, cycle by cycle.
#include "core/logic/col1/col1_mode.h"
#include "logic_fixture.h"

namespace flextor::test {
namespace {

const char kBlocked[] =
    "Работа колонок 'Ректификация' и 'Дистилляция' заблокирована до перезапуска программы!";

class AlarmTest : public LogicTest {
  protected:
    SensorParam& Alarm(uint8_t role) { return *FindSensorByRole(role); }
    uint16_t Outputs() {
        RefreshOutputs();
        return OutputWord & static_cast<uint16_t>(~kBitPulse);
    }
};

TEST_F(AlarmTest, MissingSensorsLatchInTheFirstCycleWithEveryCauseThenOneBlockingMessage) {
    Alarm(kRoleTsa).Use = kRoleNone;
    Cycle();
    EXPECT_EQ(ProgVar.Logic.Alarm, 1);
    EXPECT_EQ(LastLevel(), kLevelWarning);
    EXPECT_EQ(TakeMessages(), (Messages{"Не назначен датчик 1 (ав. ТСА)!", kBlocked}));
    EXPECT_EQ(display.Lamp(kLampAlarm), kLampAttention);
    Cycle(3);
    EXPECT_TRUE(TakeMessages().empty()) << "the latch is not checked again";

    ResetProgramState();
    ProgVar.Sensors.PortID = 7;
    Cycle();
    EXPECT_EQ(TakeMessages(), (Messages{"Не назначен датчик 1 (ав. ТСА)!",
                                        "Не назначен датчик 2 (ав. Конденсатор)!", kBlocked}));
}

struct AlarmCase {
    const char* what;
    uint8_t role;
    uint8_t flag;
    int16_t termo;
    bool fresh;
    const char* message;  // nullptr: no alarm
};

TEST_F(AlarmTest, EachAlarmSensorLatchesWhenFailedOrFreshlyAtItsThreshold) {
    const AlarmCase cases[] = {
        {"failed", kRoleTsa, kFlagError, 250, true, "Обнаружена ошибка датчика 1 (ав. ТСА)!"},
        {"at the threshold", kRoleTsa, 0, 900, true,
         "Превышение порога датчика 1 (ав. ТСА)! Температура 90.0  Порог 90.0"},
        {"just below", kRoleTsa, 0, 899, true, nullptr},
        {"stale above", kRoleTsa, 0, 950, false, nullptr},
        {"failed", kRoleCondenser, kFlagError, 250, false,
         "Обнаружена ошибка датчика 2 (ав. Конденсатор)!"},
        {"above", kRoleCondenser, 0, 1234, true,
         "Превышение порога датчика 2 (ав. Конденсатор)! Температура 123.4  Порог 90.0"},
        {"stale below", kRoleCondenser, 0, 100, false, nullptr},
    };
    for (const AlarmCase& c : cases) {
        SCOPED_TRACE(std::string("role ") + std::to_string(c.role) + " " + c.what);
        ProgVar.Logic.Alarm = 0;
        TakeMessages();
        keep_alarm_sensors_fresh = false;
        for (uint8_t role : {kRoleTsa, kRoleCondenser}) {
            Alarm(role).Flag = kFlagTemperatureSensor;
            Alarm(role).Termo = 250;
            Alarm(role).UpdateCount = 4;
        }
        SensorParam& row = Alarm(c.role);
        row.Flag |= c.flag;
        row.Termo = c.termo;
        row.UpdateCount = c.fresh ? 4 : 0;
        Cycle();
        if (c.message == nullptr) {
            EXPECT_EQ(ProgVar.Logic.Alarm, 0);
            EXPECT_TRUE(TakeMessages().empty());
        } else {
            EXPECT_EQ(ProgVar.Logic.Alarm, 1);
            EXPECT_EQ(TakeMessages(), (Messages{c.message, kBlocked}));
        }
    }
}

TEST_F(AlarmTest, LatchStopsAndBlocksColumns1And2AndLeavesColumn3Working) {
    AddSensor(kRoleStill, 500);
    AddSensor(kRoleMash, 850);
    Start();
    ColumnCommand(kColumn2, kCommandStart);
    ColumnCommand(kColumn3, kCommandStart);
    Cycle();
    EXPECT_EQ(Outputs(), kBitCol1Run | kBitCol2Run);
    TakeMessages();

    Alarm(kRoleCondenser).Termo = 950;
    Cycle();
    EXPECT_EQ(col1.Status, kCol1Stopped);
    EXPECT_EQ(ProgVar.Logic.Col2.Work, 0);
    EXPECT_EQ(display.controls[kColumn1], kControlsBlocked);
    EXPECT_EQ(Outputs(), kBitAlarm);
    TakeMessages();

    Start();
    EXPECT_EQ(TakeMessages(),
              Messages{"Для запуска колонки 1 (Ректификация) нужно перезапустить программу!"});
    EXPECT_EQ(col1.Status, kCol1Stopped);
    ColumnCommand(kColumn3, kCommandStop);
    ColumnCommand(kColumn3, kCommandStart);
    EXPECT_EQ(ProgVar.Logic.Col3.Work, 1);
    CycleAt(200, 1);
    FindSensorByRole(kRoleMash)->Termo = 950;
    FindSensorByRole(kRoleMash)->UpdateCount = 4;
    Cycle();
    EXPECT_EQ(Outputs(), kBitAlarm | kBitCol3Upper);
}

TEST_F(AlarmTest, FailedRole6SensorDrivesTheAlarmOutputWithoutLatching) {
    SensorParam& sixth = AddSensor(kRoleSensor6, 600);
    sixth.Flag |= kFlagError;
    Cycle();
    EXPECT_EQ(ProgVar.Logic.Alarm, 0);
    EXPECT_EQ(Outputs() & kBitAlarm, kBitAlarm);
    FindSensorByRole(kRoleSensor6)->Flag &= static_cast<uint8_t>(~kFlagError);
    Cycle();
    EXPECT_EQ(Outputs() & kBitAlarm, 0);
    EXPECT_TRUE(TakeMessages().empty());
}

// With the defaults: off at 50.0 °C and above, on at 48.0 °C and below.
TEST_F(AlarmTest, Sensor6OutputSwitchesOnItsHysteresisBand) {
    AddSensor(kRoleSensor6, 490);
    const std::pair<int16_t, uint8_t> steps[] = {
        {490, 0}, {600, 0}, {481, 0}, {480, 1}, {499, 1}, {500, 0}, {470, 1},
    };
    for (const auto& [termo, level] : steps) {
        SensorParam& sixth = *FindSensorByRole(kRoleSensor6);
        sixth.Termo = termo;
        sixth.UpdateCount = 4;
        Cycle();
        EXPECT_EQ(ProgVar.Logic.d6_Pin, level) << termo;
    }
    FindSensorByRole(kRoleSensor6)->UpdateCount = 0;
    FindSensorByRole(kRoleSensor6)->Termo = 700;
    Cycle();
    EXPECT_EQ(ProgVar.Logic.d6_Pin, 1) << "a stale reading keeps the level";
    Settings.Logic.Check_d6 = 0;
    Cycle();
    EXPECT_EQ(ProgVar.Logic.d6_Pin, 0);
}

}  // namespace
}  // namespace flextor::test
