// Column 1's modes at their edges: the heat-up delay, the stabilisation, stale
// and failed sensors, the lowest permitted temperature and semi-automatic pauses.
#include "core/logic/col1/col1_mode.h"
#include "logic_fixture.h"

namespace flextor::test {
namespace {

using HeatUpTest = LogicTest;

TEST_F(HeatUpTest, DipDuringTheDelayRestartsItFromTheBeginning) {
    Start();
    CycleAt(745);  // the threshold is first seen
    CycleAt(745);
    CycleAt(745);
    EXPECT_EQ(display.statusText,
              "Текущий режим - 'Ожидание нагрева'. Порог превышен. Задержка смены режимов "
              "(осталось 9 сек.)");
    CycleAt(735);
    EXPECT_EQ(col1.DelayState, 0);
    EXPECT_EQ(col1.CountDelay, 0);
    CycleAt(745);  // seen again: the full delay starts over
    CycleAt(745, 9);
    EXPECT_EQ(col1.Mode, 0);
    EXPECT_EQ(display.statusText,
              "Текущий режим - 'Ожидание нагрева'. Порог превышен. Задержка смены режимов "
              "(осталось 2 сек.)");
    CycleAt(745);
    EXPECT_EQ(col1.Mode, 1);
}

TEST_F(HeatUpTest, WithoutDelayStabilisationBeginsTheCycleAfterTheThreshold) {
    Settings.Logic.DelayMode = 0;
    Start();
    CycleAt(740);
    EXPECT_EQ(col1.Mode, 0);
    CycleAt(740);
    EXPECT_EQ(col1.Mode, 1);
}

TEST_F(HeatUpTest, NoPauseAfterHeatUpInSemiAutomaticOperation) {
    Settings.Logic.Col1_Auto = 1;
    Settings.Logic.DelayMode = 0;
    Start();
    CycleAt(750);
    CycleAt(750);
    EXPECT_EQ(col1.Mode, 1);
    EXPECT_EQ(col1.Status, 1);
}

// Column 1 entering stabilisation without a stabilisation time.
class StabiliseTest : public LogicTest {
  protected:
    void SetUp() override {
        LogicTest::SetUp();
        Settings.Logic.TimeStable = 0;
        StartIn(kModeStabilise);
    }
};

TEST_F(StabiliseTest, WithoutStabilisationTimeTakeOffBeginsInTheFirstCycle) {
    CycleAt(790);
    EXPECT_EQ(col1.Mode, kModeValve0);
}

TEST_F(StabiliseTest, ExactlyAtTheThresholdIsAnOverheatOfOneTenth) {
    CycleAt(800);
    EXPECT_EQ(col1.Mode, kModeStabilise);
    EXPECT_EQ(display.statusText,
              "Текущий режим - 'Стабилизация'. Порог превышен. Перегрев 0.1 °C Ожидание "
              "снижения температуры до 79.9 °C");
    EXPECT_EQ(display.Lamp(kLampColumn1), kLampAttention);
}

using StaleSensorTest = LogicTest;

TEST_F(StaleSensorTest, NeitherStartsTheHeatUpDelayNorChangesTheLamp) {
    Start();
    Stale(900);
    Cycle(20);
    EXPECT_EQ(col1.Mode, 0);
    EXPECT_EQ(col1.DelayState, 0);
    EXPECT_EQ(display.statusText, "Текущий режим - 'Ожидание нагрева'.");
    EXPECT_EQ(display.Lamp(kLampColumn1), 0);
}

TEST_F(StaleSensorTest, StabilisationCountsDownButDoesNotEnd) {
    StartIn(kModeStabilise);
    col1.CountDelay = 5;
    Stale(700);
    Cycle(10);
    EXPECT_EQ(col1.Mode, kModeStabilise);
    EXPECT_EQ(col1.CountDelay, 0);
    EXPECT_EQ(display.statusText, "Текущий режим - 'Стабилизация'.");
}

TEST_F(StaleSensorTest, VolumeIsCountedWithoutStopsOrModeChanges) {
    Settings.Logic.Performance = 3600;
    StartIn(kModeValve1);
    Stale(100);  // below Col1_MinTermo, but not fresh
    Cycle(3);
    EXPECT_EQ(col1.Status, 1);
    EXPECT_DOUBLE_EQ(col1.v1_Volume, 3.0);
    SetCol1Mode(kModeValve3);
    Stale(1000);  // above Valve3_Termo, but not fresh
    Cycle(3);
    EXPECT_EQ(col1.Status, 1);
    EXPECT_EQ(col1.Mode, kModeValve3);
}

TEST_F(StaleSensorTest, AgedOutSensorStopsTheColumnAfterSixtyFiveCycles) {
    Settings.Logic.Performance = 3600;
    StartIn(kModeValve1);
    Settings.Logic.MaxVolume = 100000;
    Reading(790);
    TakeMessages();
    Cycle(65);  // four cycles of the last reading, then 61 without any
    EXPECT_EQ(col1.Status, 1);
    EXPECT_DOUBLE_EQ(col1.v1_Volume, 65.0);
    EXPECT_TRUE(TakeMessages().empty());
    Cycle();
    EXPECT_EQ(col1.Status, 0);
    EXPECT_DOUBLE_EQ(col1.v1_Volume, 65.0);
    EXPECT_EQ(TakeMessages(),
              (Messages{"Работа колонки 1 (Ректификация) остановлена из-за ошибки датчика!",
                        "Остановлена работа колонки 1 (Ректификация)"}));
}

TEST_F(StaleSensorTest, FailedOrMissingSensorStopsAtOnceWithAnError) {
    Start();
    ColumnSensor().Flag |= kFlagError;
    TakeMessages();
    Cycle();
    EXPECT_EQ(col1.Status, 0);
    EXPECT_EQ(log.rows.front().level, kLevelError);
    EXPECT_EQ(TakeMessages().front(),
              "Работа колонки 1 (Ректификация) остановлена из-за ошибки датчика!");

    ColumnSensor().Flag = kFlagTemperatureSensor;
    Start();
    ColumnSensor().Use = 0;
    Cycle();
    EXPECT_EQ(col1.Status, 0);
}

using LowestTemperatureTest = LogicTest;

TEST_F(LowestTemperatureTest, StopsFromValve0OnButNotBefore) {
    Start();
    CycleAt(100);
    EXPECT_EQ(col1.Status, 1);
    SetCol1Mode(kModeValve1);
    TakeMessages();
    CycleAt(499);
    EXPECT_EQ(col1.Status, 0);
    EXPECT_EQ(log.rows.front().level, kLevelWarning);
    EXPECT_EQ(TakeMessages(),
              (Messages{"Работа колонки 1 (Ректификация) остановлена т. к. текущая температура "
                        "(49.9 °C) меньше допустимой (50.0 °C)!",
                        "Остановлена работа колонки 1 (Ректификация)"}));
}

TEST_F(LowestTemperatureTest, EnteringValve0AlreadyBelowItStopsInTheSameCycle) {
    Settings.Logic.TimeStable = 0;
    StartIn(kModeStabilise);
    TakeMessages();
    CycleAt(400);
    EXPECT_EQ(col1.Status, 0);
    EXPECT_EQ(TakeMessages(),
              (Messages{"Режим работы колонки 1 (Ректификация) изменен на 'Работа клапана 0 "
                        "(Головная фракция 1)'",
                        "Работа колонки 1 (Ректификация) остановлена т. к. текущая температура "
                        "(40.0 °C) меньше допустимой (50.0 °C)!",
                        "Остановлена работа колонки 1 (Ректификация)"}));
}

class AutoPauseTest : public LogicTest {
  protected:
    void SetUp() override {
        LogicTest::SetUp();
        Settings.Logic.Col1_Auto = 1;
        Settings.Logic.TimeStable = 0;
        Settings.Logic.Performance = 3600;
        Settings.Logic.MaxVolume_v0 = 1;
        Settings.Logic.MaxVolume = 1;
        Settings.Logic.DelayMode = 0;
        Settings.Logic.Valve2_Stable = 0;
        Start();
    }

    // Runs cycles until the column pauses (at most limit), then continues it.
    uint8_t ModeAtPause(int16_t termo, int limit = 10) {
        for (int i = 0; i < limit && col1.Status == 1; ++i) {
            CycleAt(termo);
        }
        const uint8_t mode = col1.Status == 2 ? col1.Mode : 255;
        Start();
        return mode;
    }
};

TEST_F(AutoPauseTest, PausesAfterEveryAutomaticChangeFromStabilisationOn) {
    SetCol1Mode(kModeStabilise);
    EXPECT_EQ(ModeAtPause(790), kModeValve0);
    EXPECT_EQ(ModeAtPause(790), kModeValve1);
    EXPECT_EQ(ModeAtPause(790), kModeValve2);
    EXPECT_EQ(ModeAtPause(810), kModeValve3);
}

TEST_F(AutoPauseTest, PauseLeavesThePauseTextOnTheStatusLine) {
    SetCol1Mode(kModeStabilise);
    CycleAt(790);
    EXPECT_EQ(col1.Status, 2);
    EXPECT_EQ(display.statusText, "Работа колонки приостановлена (пауза)");
    Cycle(5);
    EXPECT_EQ(display.statusText, "Работа колонки приостановлена (пауза)");
    EXPECT_EQ(col1.Mode, kModeValve0);
    EXPECT_DOUBLE_EQ(col1.v0_Volume, 0.0);
}

TEST_F(AutoPauseTest, NoPauseAfterASkip) {
    ColumnCommand(kColumn1, kCommandSkip);
    ColumnCommand(kColumn1, kCommandSkip);
    EXPECT_EQ(col1.Mode, kModeValve0);
    EXPECT_EQ(col1.Status, 1);
}

}  // namespace
}  // namespace flextor::test
