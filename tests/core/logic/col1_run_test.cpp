// A whole rectification run, from the heat-up wait through every mode to the end
// of the tails, with every message, status line and output word along the way.
#include "logic_fixture.h"

namespace flextor::test {
namespace {

class WholeRunTest : public LogicTest {
  protected:
    void SetUp() override {
        LogicTest::SetUp();
        Settings.Logic.Performance = 3600;  // 1 ml a second at full opening
        Settings.Logic.DelayMode = 3;
        Settings.Logic.TimeStable = 1;
        Settings.Logic.MaxVolume_v0 = 3;
        Settings.Logic.MaxVolume = 5;
        Settings.Logic.Valve2_Stable = 1;
    }

    // n times one cycle at termo, then a second of refreshes; the last word
    // without the pulse.
    uint16_t SecondAt(int16_t termo, int n = 1) {
        uint16_t word = 0;
        for (int i = 0; i < n; ++i) {
            CycleAt(termo);
            word = Word(10);
        }
        return word;
    }
};

TEST_F(WholeRunTest, WalksEveryModeToTheEndOfTheTails) {
    Start();
    EXPECT_EQ(TakeMessages(), Messages{"Начата работа колонки 1 (Ректификация)"});
    EXPECT_EQ(display.controls[kColumn1], kControlsRunning);

    // Heat-up: below the threshold the status line names it.
    EXPECT_EQ(SecondAt(700), kBitCol1Run);
    EXPECT_EQ(display.statusText, "Текущий режим - 'Ожидание нагрева'. (порог: 74.0 °C)");
    EXPECT_EQ(display.pwmText, "");
    EXPECT_EQ(display.Lamp(kLampColumn1), kLampOff);

    // The threshold is held for DelayMode seconds, counted down on the line.
    SecondAt(745);
    EXPECT_EQ(display.statusText, "Текущий режим - 'Ожидание нагрева'.");
    SecondAt(745);
    EXPECT_EQ(display.statusText,
              "Текущий режим - 'Ожидание нагрева'. Порог превышен. Задержка смены режимов "
              "(осталось 3 сек.)");
    SecondAt(745);
    EXPECT_TRUE(TakeMessages().empty());
    SecondAt(745);
    EXPECT_EQ(TakeMessages(),
              Messages{"Режим работы колонки 1 (Ректификация) изменен на 'Стабилизация'"});
    EXPECT_EQ(col1.Mode, 1);

    // Stabilisation for TimeStable minutes, then an overheat holds it.
    EXPECT_EQ(SecondAt(790), kBitCol1Run);
    EXPECT_EQ(display.statusText, "Текущий режим - 'Стабилизация'. Осталось 1 мин. 0 сек.");
    SecondAt(790, 59);
    EXPECT_EQ(display.statusText, "Текущий режим - 'Стабилизация'. Осталось 1 сек.");
    SecondAt(805);
    EXPECT_EQ(display.statusText,
              "Текущий режим - 'Стабилизация'. Порог превышен. Перегрев 0.6 °C Ожидание "
              "снижения температуры до 79.9 °C");
    EXPECT_EQ(display.Lamp(kLampColumn1), kLampAttention);
    EXPECT_TRUE(TakeMessages().empty());

    // Valve 0: a first heads portion of 3 ml at 1 ml/s, no valve output.
    EXPECT_EQ(SecondAt(790), kBitCol1Run);
    EXPECT_EQ(TakeMessages(), Messages{"Режим работы колонки 1 (Ректификация) изменен на "
                                       "'Работа клапана 0 (Головная фракция 1)'"});
    EXPECT_EQ(display.Lamp(kLampColumn1), kLampOff);
    EXPECT_EQ(display.pwmText, "100");
    EXPECT_EQ(SecondAt(790), kBitCol1Run);
    EXPECT_EQ(display.statusText,
              "Текущий режим - 'Работа клапана 0 (Головная фракция 1)'. Осталось 0.002 литров. "
              "Будет завершено через 2 сек.");
    SecondAt(790);
    SecondAt(790);
    EXPECT_EQ(TakeMessages(), Messages{"Режим работы колонки 1 (Ректификация) изменен на "
                                       "'Работа клапана 1 (Г. Фракция)'"});

    // Valve 1: the heads, 5 ml through valve 1.
    EXPECT_EQ(SecondAt(790), kBitCol1Run | kBitValve1);
    EXPECT_EQ(display.statusText,
              "Текущий режим - 'Работа клапана 1 (Г. Фракция)'. Осталось 0.004 литров. Будет "
              "завершено через 4 сек.");
    EXPECT_EQ(display.headsVolume, "0.001");
    EXPECT_EQ(display.Lamp(kLampValve1), kLampOn);
    SecondAt(790, 4);
    EXPECT_EQ(display.headsVolume, "0.005");
    EXPECT_EQ(TakeMessages(),
              (Messages{"Работа клапана 1 завершена. Отобрано 0.005 литров.",
                        "Режим работы колонки 1 (Ректификация) изменен на 'Работа клапана 2 "
                        "(Спирт)'"}));
    EXPECT_EQ(display.Lamp(kLampValve1), kLampOff);

    // Valve 2: the spirit at full duty until the column overheats.
    EXPECT_EQ(SecondAt(790), kBitCol1Run | kBitValve2);
    EXPECT_EQ(display.statusText, "Текущий режим - 'Работа клапана 2 (Спирт)'.");
    EXPECT_EQ(display.spiritVolume, "0.001");
    EXPECT_EQ(display.Lamp(kLampValve2), kLampOn);
    EXPECT_EQ(SecondAt(805), kBitCol1Run);
    EXPECT_EQ(display.Lamp(kLampValve2), kLampOff);
    SecondAt(805);
    SecondAt(805);
    EXPECT_TRUE(TakeMessages().empty());
    SecondAt(805);
    EXPECT_EQ(TakeMessages(),
              Messages{"ШИМ клапана 2 снижен до 80  Температура датчика 3 составляет 80.5 °C"});
    EXPECT_EQ(display.pwmText, "80");
    SecondAt(805);
    EXPECT_EQ(display.statusText,
              "Текущий режим - 'Работа клапана 2 (Спирт)'. Стабилизация. До завершения "
              "осталось 1 мин. 0 сек.Перегрев составляет 0.5 °C");
    SecondAt(805, 59);
    EXPECT_EQ(TakeMessages(),
              (Messages{"Работа клапана 2 завершена. Отобрано 0.001 литров.",
                        "Режим работы колонки 1 (Ректификация) изменен на 'Работа клапана 3 "
                        "(Т. Фракция)'"}));

    // Valve 3: the tails at half duty until Valve3_Termo.
    CycleAt(850);
    EXPECT_EQ(display.statusText,
              "Текущий режим - 'Работа клапана 3 (Т. Фракция)'. До превышения порога (90.0 °C) "
              "осталось 5.0 °C");
    EXPECT_EQ(display.pwmText, "50");
    EXPECT_EQ(display.Lamp(kLampValve3), kLampOn);
    EXPECT_EQ(CountHigh(kBitCol1Run | kBitValve3, 100), 50);
    EXPECT_EQ(SecondAt(900), 0);
    EXPECT_EQ(TakeMessages(), (Messages{"Превышен порог температуры при работе клапана 3!",
                                        "Остановлена работа колонки 1 (Ректификация)"}));
    EXPECT_EQ(col1.Status, 0);
    EXPECT_EQ(col1.Mode, 0);
    EXPECT_EQ(display.statusText, "");
    EXPECT_EQ(display.controls[kColumn1], kControlsStopped);
    EXPECT_EQ(display.Lamp(kLampValve3), kLampOff);
}

TEST_F(WholeRunTest, StatusLineAndPwmFieldAreWrittenOnlyWhenTheyChange) {
    Start();
    display.statusWrites.clear();
    display.pwmWrites.clear();
    CycleAt(700, 5);
    EXPECT_EQ(display.statusWrites,
              Messages{"Текущий режим - 'Ожидание нагрева'. (порог: 74.0 °C)"});
    EXPECT_TRUE(display.pwmWrites.empty());
}

}  // namespace
}  // namespace flextor::test
