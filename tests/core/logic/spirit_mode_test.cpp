// Mode 4, the spirit: valve 2 shut on overheat, the duty cut, the settling
// period and the guard period after the overheat.
#include "core/logic/col1/col1_mode.h"
#include "logic_fixture.h"

namespace flextor::test {
namespace {

class SpiritTest : public LogicTest {
  protected:
    void SetUp() override {
        LogicTest::SetUp();
        Settings.Logic.Performance = 3600;
        Settings.Logic.DelayMode = 10;
        Settings.Logic.Valve2_Stable = 4;
        StartIn(kModeValve2);
        TakeMessages();
    }

    bool ValveOpenAllSecond() { return CountHigh(kBitValve2, 10) == 10; }
    bool ValveShutAllSecond() { return CountHigh(kBitValve2, 10) == 0; }
};

TEST_F(SpiritTest, FullDutyKeepsTheValveOpen) {
    CycleAt(790);
    EXPECT_EQ(CountHigh(kBitCol1Run | kBitValve2, 300), 300);
}

TEST_F(SpiritTest, OverheatShutsAtOnceCutsTheDutyAndEndsAfterTheSettling) {
    CycleAt(790);
    EXPECT_TRUE(ValveOpenAllSecond());
    CycleAt(805);
    EXPECT_EQ(col1.v2_CloseState, 1);
    EXPECT_TRUE(ValveShutAllSecond());
    CycleAt(805, 9);
    EXPECT_EQ(col1.PWM, 100);
    EXPECT_TRUE(TakeMessages().empty());
    CycleAt(805);  // ten seconds after the overheat was seen
    EXPECT_EQ(col1.PWM, 80);
    EXPECT_DOUBLE_EQ(col1.VolumePWM, 0.8);
    EXPECT_EQ(LastLevel(), kLevelInfo);
    EXPECT_EQ(TakeMessages(),
              Messages{"ШИМ клапана 2 снижен до 80  Температура датчика 3 составляет 80.5 °C"});
    CycleAt(805, 239);
    EXPECT_EQ(col1.Mode, kModeValve2);
    EXPECT_TRUE(ValveShutAllSecond());
    EXPECT_DOUBLE_EQ(col1.v2_Volume, 1.0);  // nothing flows while shut
    CycleAt(805);                           // four minutes after the cut
    EXPECT_EQ(col1.Mode, kModeValve3);
    EXPECT_EQ(TakeMessages(),
              (Messages{"Работа клапана 2 завершена. Отобрано 0.001 литров.",
                        "Режим работы колонки 1 (Ректификация) изменен на 'Работа клапана 3 "
                        "(Т. Фракция)'"}));
}

TEST_F(SpiritTest, EndOfOverheatReopensTheValveAndGuardsAgainstAnotherCut) {
    col1.PWM = 80;
    col1.VolumePWM = 0.8;
    col1.DelayState = 2;
    col1.CountDelay = 100;
    col1.v2_CloseState = 1;
    CycleAt(790);
    EXPECT_EQ(col1.DelayState, 3);
    EXPECT_EQ(col1.v2_CloseState, 0);
    EXPECT_EQ(col1.CounterPWM, 0);
    EXPECT_EQ(CountHigh(kBitValve2, 100), 80);
    CycleAt(790);
    EXPECT_EQ(display.statusText,
              "Текущий режим - 'Работа клапана 2 (Спирт)'. Предотвращение лавинообразного "
              "снижения ШИМ. Осталось 10 сек.");
    CycleAt(790, 9);
    EXPECT_EQ(col1.DelayState, 0);
    EXPECT_EQ(col1.PWM, 80);
}

TEST_F(SpiritTest, OverheatDuringTheGuardStartsAFullDelayAgain) {
    col1.PWM = 80;
    col1.DelayState = 3;
    col1.CountDelay = 4;
    CycleAt(805);
    EXPECT_EQ(col1.DelayState, 1);
    EXPECT_EQ(col1.CountDelay, 10);
    CycleAt(805, 10);
    EXPECT_EQ(col1.PWM, 60);
}

TEST_F(SpiritTest, CutBelowTwentyPercentEndsTheSpirit) {
    col1.PWM = 20;
    col1.DelayState = 1;
    col1.CountDelay = 0;
    CycleAt(805);
    EXPECT_EQ(col1.Mode, kModeValve3);
    EXPECT_EQ(col1.PWM, Settings.Logic.Valve3_PWM);
    const Messages messages = TakeMessages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], "Работа клапана 2 завершена. Отобрано 0.000 литров.");
}

TEST_F(SpiritTest, SettlingTextHasNoBlankBeforeTheOverheat) {
    col1.PWM = 60;
    col1.DelayState = 2;
    col1.CountDelay = 93784;
    CycleAt(812);
    EXPECT_EQ(display.statusText,
              "Текущий режим - 'Работа клапана 2 (Спирт)'. Стабилизация. До завершения "
              "осталось 1 дн. 2 ч. 3 мин. Перегрев составляет 1.2 °C");
}

}  // namespace
}  // namespace flextor::test
