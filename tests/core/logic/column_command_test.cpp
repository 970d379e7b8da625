// Start, pause, continue, stop, skip and block of the three columns, the
// refusals in their order, and the questions of the stop and skip buttons.
#include "core/logic/col1/col1_mode.h"
#include "core/logic/commands/column_buttons.h"
#include "logic_fixture.h"

namespace flextor::test {
namespace {

using Col1CommandTest = LogicTest;

TEST_F(Col1CommandTest, PauseFreezesTheColumnAndStartContinuesIt) {
    Settings.Logic.TimeStable = 1;
    StartIn(kModeStabilise);
    CycleAt(790);
    TakeMessages();
    ColumnCommand(kColumn1, kCommandPause);
    EXPECT_EQ(TakeMessages(), Messages{"Работа колонки 1 (Ректификация) приостановлена (пауза)"});
    EXPECT_EQ(display.statusText, "Работа колонки приостановлена (пауза)");
    EXPECT_EQ(display.controls[kColumn1], kControlsPaused);
    Cycle(10);
    EXPECT_EQ(col1.CountDelay, 59);
    ColumnCommand(kColumn1, kCommandPause);
    EXPECT_TRUE(TakeMessages().empty());
    Start();
    EXPECT_EQ(TakeMessages(), Messages{"Продолжена работа колонки 1 (Ректификация)"});
    EXPECT_EQ(col1.Status, 1);
    EXPECT_EQ(col1.Mode, kModeStabilise);
    EXPECT_EQ(display.controls[kColumn1], kControlsRunning);
}

TEST_F(Col1CommandTest, RefusalsComeInTheirOrderAndChangeNothing) {
    Settings.Logic.Performance = 7200;
    ProgVar.Logic.Alarm = 1;
    ProgVar.Sensors.PortID = 0;
    ColumnSensor().Flag |= kFlagError;
    const Messages expected = {
        "Для запуска колонки 1 (Ректификация) нужно перезапустить программу!",
        "Для работы колонки 1 (Ректификация) нужно открыть COM порт к которому подключены "
        "датчики!",
        "Датчик не назначен для колонки 1 (Ректификация) или он нестабильно работает!",
    };
    Start();
    ProgVar.Logic.Alarm = 0;
    Start();
    ProgVar.Sensors.PortID = 7;
    Start();
    ColumnSensor().Flag = kFlagTemperatureSensor;
    ColumnSensor().Use = 0;
    Start();
    EXPECT_EQ(TakeMessages(), (Messages{expected[0], expected[1], expected[2], expected[2]}));
    EXPECT_EQ(display.refusals, (Messages{expected[0], expected[1], expected[2], expected[2]}));
    EXPECT_EQ(col1.Status, 0);
    EXPECT_TRUE(display.controls.find(kColumn1) == display.controls.end());
    EXPECT_DOUBLE_EQ(col1.Volume, 2.0);  // recomputed even when refused
}

// Without an outputs guard nothing may heat: the starts of columns 1 and 2 are
// refused with the reason, and a guard lost while they run blocks them; column
// 3 goes on.
TEST_F(Col1CommandTest, WithoutAGuardColumns1And2NeitherStartNorGoOn) {
    SetMissingGuard("Не найден сторож выходов /x/outputs-guard.");
    Start();
    ColumnCommand(kColumn2, kCommandStart);
    EXPECT_EQ(display.refusals,
              (Messages{"Колонка 1 (Ректификация) не запускается без сторожа выходов. Не найден "
                        "сторож выходов /x/outputs-guard.",
                        "Колонка 2 (Дистилляция) не запускается без сторожа выходов. Не найден "
                        "сторож выходов /x/outputs-guard."}));
    EXPECT_EQ(col1.Status, 0);
    EXPECT_EQ(ProgVar.Logic.Col2.Work, 0);
    SetMissingGuard("");
    Start();
    ProgVar.Logic.Col3.Work = 1;
    TakeMessages();
    LoseGuard("Сторож выходов ушёл.");
    EXPECT_EQ(col1.Status, 0);
    EXPECT_EQ(display.controls[kColumn1], kControlsBlocked);
    EXPECT_EQ(display.controls[kColumn2], kControlsBlocked);
    EXPECT_EQ(ProgVar.Logic.Col3.Work, 1);
    const Messages logged = TakeMessages();
    ASSERT_FALSE(logged.empty());
    EXPECT_EQ(logged[0], "Сторож выходов ушёл.");
    display.refusals.clear();
    Start();
    EXPECT_EQ(display.refusals.size(), 1u) << "refused until the program starts again";
    SetMissingGuard("");
}

TEST_F(Col1CommandTest, RefusalIsAWarning) {
    ProgVar.Sensors.PortID = 0;
    Start();
    EXPECT_EQ(LastLevel(), kLevelWarning);
}

TEST_F(Col1CommandTest, PausedColumnContinuesWithThePortClosedAndTheNextCycleStopsIt) {
    Start();
    ColumnCommand(kColumn1, kCommandPause);
    ProgVar.Sensors.PortID = 0;
    TakeMessages();
    Start();
    EXPECT_EQ(col1.Status, 1);
    EXPECT_EQ(TakeMessages(), Messages{"Продолжена работа колонки 1 (Ректификация)"});
    Cycle();
    EXPECT_EQ(col1.Status, 0);
    EXPECT_EQ(TakeMessages(), Messages{"Остановлена работа колонки 1 (Ректификация)"});
}

TEST_F(Col1CommandTest, StartBeginsAFreshRunInTheModeHeld) {
    col1.Mode = kModeValve1;
    col1.v0_Volume = 3;
    col1.v1_Volume = 4;
    col1.PWM = 50;
    col1.CountDelay = 9;
    Start();
    EXPECT_EQ(col1.Mode, kModeValve1);
    EXPECT_DOUBLE_EQ(col1.v0_Volume, 3);
    EXPECT_DOUBLE_EQ(col1.v1_Volume, 0);
    EXPECT_EQ(col1.PWM, 0);
    EXPECT_EQ(col1.CountDelay, 0);
}

TEST_F(Col1CommandTest, StopOfAStoppedColumnLogsNothingButResetsLampsAndControls) {
    col1.ControlValves = 2;
    display.SetIndicator(kLampValve2, kLampOn);
    display.SetIndicator(kLampColumn1, kLampAttention);
    ColumnCommand(kColumn1, kCommandStop);
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_EQ(col1.ControlValves, 0);
    EXPECT_EQ(display.Lamp(kLampValve2), kLampOff);
    EXPECT_EQ(display.Lamp(kLampColumn1), kLampOff);
    EXPECT_EQ(display.controls[kColumn1], kControlsStopped);
}

TEST_F(Col1CommandTest, StopKeepsDutyAndVolumes) {
    StartIn(kModeValve2);
    col1.v2_Volume = 12;
    ColumnCommand(kColumn1, kCommandBlock);
    EXPECT_EQ(col1.Status, 0);
    EXPECT_EQ(col1.Mode, 0);
    EXPECT_EQ(col1.PWM, 100);
    EXPECT_DOUBLE_EQ(col1.v2_Volume, 12);
    EXPECT_EQ(display.controls[kColumn1], kControlsBlocked);
}

using SkipTest = LogicTest;

TEST_F(SkipTest, FromValve1LogsTheLitresSoFar) {
    Settings.Logic.Performance = 3600;
    StartIn(kModeValve1);
    CycleAt(790, 3);
    TakeMessages();
    ColumnCommand(kColumn1, kCommandSkip);
    EXPECT_EQ(TakeMessages(),
              (Messages{"Был пропущен режим - 'Работа клапана 1 (Г. Фракция)'",
                        "Работа клапана 1 завершена. Отобрано 0.003 литров.",
                        "Режим работы колонки 1 (Ректификация) изменен на 'Работа клапана 2 "
                        "(Спирт)'"}));
    EXPECT_EQ(col1.Mode, kModeValve2);
}

TEST_F(SkipTest, IntoValve0WithoutItsVolumePassesToValve1) {
    Settings.Logic.MaxVolume_v0 = 0;
    StartIn(kModeStabilise);
    TakeMessages();
    ColumnCommand(kColumn1, kCommandSkip);
    EXPECT_EQ(TakeMessages(),
              (Messages{"Был пропущен режим - 'Стабилизация'",
                        "Режим работы колонки 1 (Ректификация) изменен на 'Работа клапана 1 "
                        "(Г. Фракция)'"}));
    EXPECT_EQ(col1.Mode, kModeValve1);
}

TEST_F(SkipTest, PastTheTailsStopsWhetherRunningOrPaused) {
    for (bool paused : {false, true}) {
        StartIn(kModeValve3);
        if (paused) {
            ColumnCommand(kColumn1, kCommandPause);
        }
        TakeMessages();
        ColumnCommand(kColumn1, kCommandSkip);
        EXPECT_EQ(col1.Status, 0);
        EXPECT_EQ(col1.Mode, 0);
        EXPECT_EQ(TakeMessages(), Messages{"Остановлена работа колонки 1 (Ректификация)"});
        EXPECT_EQ(display.controls[kColumn1], kControlsStopped);
    }
}

TEST_F(SkipTest, ContinuesAPausedColumnAndDoesNothingWhenStopped) {
    ColumnCommand(kColumn1, kCommandSkip);
    EXPECT_EQ(col1.Mode, 0);
    EXPECT_TRUE(TakeMessages().empty());
    Start();
    ColumnCommand(kColumn1, kCommandPause);
    ColumnCommand(kColumn1, kCommandSkip);
    EXPECT_EQ(col1.Status, 1);
    EXPECT_EQ(col1.Mode, kModeStabilise);
    EXPECT_EQ(display.controls[kColumn1], kControlsRunning);
}

using Col2CommandTest = LogicTest;

TEST_F(Col2CommandTest, StartsOnAStaleLowReadingAndRefusesAtTheThreshold) {
    SensorParam& still = AddSensor(kRoleStill, 751);
    still.UpdateCount = 0;
    ColumnCommand(kColumn2, kCommandStart);
    EXPECT_EQ(ProgVar.Logic.Col2.Work, 1);
    EXPECT_EQ(display.Lamp(kLampColumn2), kLampOn);
    EXPECT_EQ(display.controls[kColumn2], kControlsRunning);
    EXPECT_EQ(TakeMessages(), Messages{"Начата работа колонки 2 (Дистилляция)"});
    ColumnCommand(kColumn2, kCommandStop);
    EXPECT_EQ(TakeMessages(), Messages{"Остановлена работа колонки 2 (Дистилляция)"});
    EXPECT_EQ(display.Lamp(kLampColumn2), kLampOff);
    still.Termo = 752;
    ColumnCommand(kColumn2, kCommandStart);
    EXPECT_EQ(ProgVar.Logic.Col2.Work, 0);
    EXPECT_EQ(display.refusals,
              Messages{"Запуск колонки 2 (Дистилляция) невозможен, т. к. температура выше "
                       "порога!"});
}

TEST_F(Col2CommandTest, RefusalsComeInTheirOrder) {
    ProgVar.Logic.Alarm = 1;
    ProgVar.Sensors.PortID = 0;
    ColumnCommand(kColumn2, kCommandStart);
    ProgVar.Logic.Alarm = 0;
    ColumnCommand(kColumn2, kCommandStart);
    ProgVar.Sensors.PortID = 7;
    ColumnCommand(kColumn2, kCommandStart);
    EXPECT_EQ(display.refusals,
              (Messages{"Для запуска колонки 2 (Дистилляция) нужно перезапустить программу!",
                        "Для работы колонки 2 (Дистилляция) нужно открыть COM порт к которому "
                        "подключены датчики!",
                        "Датчик не назначен для колонки 2 (Дистилляция) или он нестабильно "
                        "работает!"}));
    ColumnCommand(kColumn2, kCommandPause);
    ColumnCommand(kColumn2, kCommandSkip);
    EXPECT_EQ(TakeMessages().size(), 3u);
}

using Col3CommandTest = LogicTest;

TEST_F(Col3CommandTest, RefusalsComeInTheirOrderAndTheAlarmDoesNotCount) {
    ProgVar.Logic.Alarm = 1;
    ProgVar.Sensors.PortID = 0;
    Settings.WinMain.d5_LimitMax = 800;
    ProgVar.Logic.Col3.PinMax = 1;
    ColumnCommand(kColumn3, kCommandStart);
    EXPECT_EQ(ProgVar.Logic.Col3.PinMax, 0);  // cleared even when refused
    ProgVar.Sensors.PortID = 7;
    ColumnCommand(kColumn3, kCommandStart);
    Settings.WinMain.d5_LimitMax = 801;
    ColumnCommand(kColumn3, kCommandStart);
    EXPECT_EQ(display.refusals,
              (Messages{"Для работы колонки 3 (Брага) нужно открыть COM порт к которому "
                        "подключены датчики!",
                        "В колонке 3 (Брага) минимальный порог не может быть равен больше "
                        "максимального!",
                        "Датчик не назначен для клонки 3 (Брага) или он нестабильно работает!"}));
    AddSensor(kRoleMash, 200);
    TakeMessages();
    ColumnCommand(kColumn3, kCommandStart);
    EXPECT_EQ(ProgVar.Logic.Col3.Work, 1);
    EXPECT_EQ(TakeMessages(), Messages{"Начата работа колонки 3 (Брага)"});
    ProgVar.Logic.Col3.PinMin = 1;
    display.SetIndicator(kLampCol3Lower, kLampOn);
    ColumnCommand(kColumn3, kCommandBlock);
    EXPECT_EQ(ProgVar.Logic.Col3.PinMin, 0);
    EXPECT_EQ(display.Lamp(kLampCol3Lower), kLampOff);
    EXPECT_EQ(display.controls[kColumn3], kControlsBlocked);
    EXPECT_EQ(TakeMessages(), Messages{"Остановлена работа колонки 3 (Брага)"});
}

using ColumnButtonsTest = LogicTest;

TEST_F(ColumnButtonsTest, StopAndSkipAskFirstWhenTheSettingSaysSo) {
    Start();
    PressSkip();
    PressStop(kColumn1);
    EXPECT_TRUE(display.questions.empty());
    EXPECT_EQ(col1.Status, 0);

    Settings.Logic.CheckStopColumn = 1;
    display.answer = false;
    Start();
    PressSkip();
    PressStop(kColumn1);
    PressStop(kColumn2);
    PressStop(kColumn3);
    EXPECT_EQ(col1.Status, 1);
    EXPECT_EQ(col1.Mode, 0);
    EXPECT_EQ(display.questions, (Messages{"Пропустить текущий режим колонки 1 (Ректификация)?",
                                           "Остановить работу колонки 1 (Ректификация)?",
                                           "Остановить работу колонки 2 (Дистилляция)?",
                                           "Остановить работу колонки 3 (Брага)?"}));
    display.answer = true;
    PressSkip();
    EXPECT_EQ(col1.Mode, 1);
    PressStop(kColumn1);
    EXPECT_EQ(col1.Status, 0);
}

TEST_F(ColumnButtonsTest, WithoutADisplayEveryQuestionIsAnsweredNo) {
    Settings.Logic.CheckStopColumn = 1;
    Start();
    SetStatusDisplay(nullptr);
    PressStop(kColumn1);
    EXPECT_EQ(col1.Status, 1);
}

}  // namespace
}  // namespace flextor::test
