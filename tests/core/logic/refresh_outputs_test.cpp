// The output word and what the refresh writes to the pins.
#include <algorithm>

#include "core/logic/col1/col1_mode.h"
#include "logic_fixture.h"

namespace flextor::test {
namespace {

constexpr uint16_t kAllPins = 0x07FF;

using RefreshOutputsTest = LogicTest;

TEST_F(RefreshOutputsTest, FirstRefreshWritesAllElevenPinsAndASteadyStateNone) {
    RefreshOutputs();
    ASSERT_EQ(pins.writes.size(), 1u);
    EXPECT_EQ(pins.writes[0].mask & kAllPins, kAllPins);
    EXPECT_EQ(pins.writes[0].values, 0);
    for (int i = 0; i < 40; ++i) {
        RefreshOutputs();
    }
    EXPECT_EQ(pins.writes.size(), 1u);
}

TEST_F(RefreshOutputsTest, OnlyTheChangedBitsAreWritten) {
    RefreshOutputs();
    col1.ControlValves = 2;
    RefreshOutputs();
    ASSERT_EQ(pins.writes.size(), 2u);
    EXPECT_EQ(pins.writes[1].mask, kBitValve2);
    EXPECT_EQ(pins.writes[1].values, kBitValve2);
}

TEST_F(RefreshOutputsTest, PulseIsOnForFiveOfEveryFiftyAndDrivesItsLamp) {
    for (int i = 0; i < 45; ++i) {
        RefreshOutputs();
    }
    EXPECT_EQ(display.Lamp(kLampPulse), 0);  // never lit yet
    RefreshOutputs();
    EXPECT_EQ(display.Lamp(kLampPulse), kLampOn);
    for (int i = 0; i < 5; ++i) {
        RefreshOutputs();
    }
    EXPECT_EQ(display.Lamp(kLampPulse), kLampOff);
    EXPECT_EQ(CountHigh(kBitPulse, 500), 50);
}

TEST_F(RefreshOutputsTest, HalfDutyOpensTheValveForHalfOfEveryPeriod) {
    Settings.Logic.Valve1_PWM = 50;
    StartIn(kModeValve1);
    EXPECT_EQ(CountHigh(kBitCol1Run | kBitValve1, 100), 50);
    EXPECT_EQ(CountHigh(kBitValve1, 1000), 500);
}

TEST_F(RefreshOutputsTest, Valve0PortionDrivesNoValve) {
    StartIn(kModeValve0);
    EXPECT_EQ(Word(100), kBitCol1Run);
    EXPECT_EQ(col1.CounterPWM, 0);
}

TEST_F(RefreshOutputsTest, PauseKeepsTheRunLineDropsTheValveAndHoldsAHandValve) {
    StartIn(kModeValve1);
    EXPECT_EQ(Word(), kBitCol1Run | kBitValve1);
    ColumnCommand(kColumn1, kCommandPause);
    const uint8_t phase = col1.CounterPWM;
    EXPECT_EQ(Word(20), kBitCol1Run);
    EXPECT_EQ(col1.CounterPWM, phase);  // the duty period stands still
    col1.ControlValves = 2;
    EXPECT_EQ(Word(), kBitCol1Run | kBitValve2);
}

TEST_F(RefreshOutputsTest, HandValvesWhileStopped) {
    col1.ControlValves = 1;
    EXPECT_EQ(Word(), kBitValve1);
    col1.ControlValves = 3;
    EXPECT_EQ(Word(), kBitValve3);
    col1.ControlValves = 0;
    EXPECT_EQ(Word(), 0);
}

TEST_F(RefreshOutputsTest, AlarmForcesColumnsOneAndTwoOff) {
    StartIn(kModeValve2);
    ProgVar.Logic.Col2.Work = 1;
    ProgVar.Logic.Col3.Work = 1;
    ProgVar.Logic.Col3.PinMin = 1;
    ProgVar.Logic.d6_Pin = 1;
    EXPECT_EQ(Word(), kBitCol1Run | kBitValve2 | kBitCol2Run | kBitCol3Lower | kBitSensor6);
    ProgVar.Logic.Alarm = 1;
    EXPECT_EQ(Word(), kBitAlarm | kBitCol3Lower | kBitSensor6);
    ColumnCommand(kColumn1, kCommandBlock);
    col1.ControlValves = 1;
    EXPECT_EQ(Word(), kBitAlarm | kBitCol3Lower | kBitSensor6);
}

TEST_F(RefreshOutputsTest, FailedSensorWithARoleSwitchesTheAlarmOutput) {
    SensorParam& spare = AddSensor(kRoleNone, 200);
    spare.Flag |= kFlagError;
    EXPECT_EQ(Word(), 0);
    SensorParam& sixth = AddSensor(kRoleSensor6, 200);
    sixth.Flag |= kFlagError;
    EXPECT_EQ(Word(), kBitAlarm);
    sixth.Flag = kFlagTemperatureSensor;
    EXPECT_EQ(Word(), 0);
}

TEST_F(RefreshOutputsTest, Sensor6OutputNeedsItsSetting) {
    ProgVar.Logic.d6_Pin = 1;
    Settings.Logic.Check_d6 = 0;
    EXPECT_EQ(Word(), 0);
    Settings.Logic.Check_d6 = 1;
    EXPECT_EQ(Word(), kBitSensor6);
}

// Writes that keep failing are named once as they start, and once for each pin
// as it takes a write again, with the count of writes that failed.
TEST_F(RefreshOutputsTest, WriteFailureIsReportedWhenItStartsAndWhenItEnds) {
    pins.failBits = kBitValve1 | kBitValve2;
    pins.failWith = "GPIO22, GPIO10";
    RefreshOutputs();
    EXPECT_EQ(LastLevel(), kLevelWarning);
    EXPECT_EQ(TakeMessages(), Messages{"Ошибка вывода в GPIO22, GPIO10"});
    for (uint8_t valve : {1, 2, 1, 3}) {
        clock.Advance(1300);
        col1.ControlValves = valve;
        RefreshOutputs();
    }
    EXPECT_TRUE(TakeMessages().empty());
    pins.failBits = kBitValve2;
    RefreshOutputs();
    EXPECT_EQ(LastLevel(), kLevelInfo);
    EXPECT_EQ(TakeMessages(), Messages{"Вывод в GPIO22 восстановлен, неудачных записей: 5"});
    pins.failBits = kBitValve1;
    col1.ControlValves = 1;
    RefreshOutputs();
    EXPECT_EQ(TakeMessages(), (Messages{"Вывод в GPIO10 восстановлен, неудачных записей: 6",
                                        "Ошибка вывода в GPIO22"}));
}

// A run line whose switch-off failed once must not stay on while the window
// shows the column stopped: the pin is written at every refresh until it takes
// the write, and only the failed pins are.
TEST_F(RefreshOutputsTest, FailedPinIsWrittenAgainUntilItTakesTheWrite) {
    StartIn(kModeValve1);
    RefreshOutputs();
    TakeMessages();
    pins.failBits = kBitCol1Run;
    pins.failWith = "GPIO17";
    col1.Status = kCol1Stopped;
    col1.Mode = 0;
    pins.writes.clear();
    for (int i = 0; i < 3; ++i) {
        clock.Advance(100);
        RefreshOutputs();
    }
    ASSERT_EQ(pins.writes.size(), 3u);
    EXPECT_EQ(pins.writes[1].mask, kBitCol1Run);
    EXPECT_EQ(pins.writes[2].mask, kBitCol1Run);
    EXPECT_EQ(pins.writes[2].values & kBitCol1Run, 0);
    EXPECT_EQ(TakeMessages(), Messages{"Ошибка вывода в GPIO17"});

    pins.failBits = 0;
    RefreshOutputs();
    RefreshOutputs();
    EXPECT_EQ(pins.writes.size(), 4u);
    EXPECT_EQ(FailedOutputs, 0);
}

// A switch-off that keeps failing for 3 s latches the alarm and names the pin
// once; one that takes the write in time does not.
TEST_F(RefreshOutputsTest, SwitchOffFailingForThreeSecondsLatchesTheAlarm) {
    const auto stop_failing = [&](int ticks) {
        StartIn(kModeValve1);
        pins.failBits = 0;
        RefreshOutputs();
        pins.failBits = kBitCol1Run;
        pins.failWith = "GPIO17";
        col1.Status = kCol1Stopped;
        col1.Mode = 0;
        for (int i = 0; i < ticks; ++i) {
            clock.Advance(100);
            RefreshOutputs();
        }
    };
    stop_failing(30);
    pins.failBits = 0;
    RefreshOutputs();
    EXPECT_EQ(ProgVar.Logic.Alarm, 0);
    TakeMessages();

    stop_failing(31);
    EXPECT_EQ(ProgVar.Logic.Alarm, 1);
    RefreshOutputs();
    EXPECT_NE(OutputWord & kBitAlarm, 0);
    stop_failing(40);
    const Messages logged = TakeMessages();
    EXPECT_EQ(std::count(logged.begin(), logged.end(),
                         "Выход GPIO17 (пуск колонки 1 (Ректификация)) не выключается дольше 3 "
                         "с! Включена авария."),
              1);
}

TEST_F(RefreshOutputsTest, BusyRefreshIsSkipped) {
    OutputBusy = 1;
    RefreshOutputsTick();
    EXPECT_TRUE(pins.writes.empty());
    OutputBusy = 0;
    RefreshOutputsTick();
    EXPECT_EQ(pins.writes.size(), 1u);
    EXPECT_EQ(OutputBusy, 0);
}

}  // namespace
}  // namespace flextor::test
