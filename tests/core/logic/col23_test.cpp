// Columns 2 (distillation) and 3 (mash), cycle by cycle.
#include "logic_fixture.h"

namespace flextor::test {
namespace {

class Col23Test : public LogicTest {
  protected:
    // The sensor of role gets a reading: fresh or stale.
    void Read(uint8_t role, int16_t termo, bool fresh = true) {
        SensorParam& row = *FindSensorByRole(role);
        row.Termo = termo;
        row.UpdateCount = fresh ? 4 : 0;
        Cycle();
    }
    const Logic_Col3& col3 = ProgVar.Logic.Col3;
};

TEST_F(Col23Test, Column2EndsAtItsThresholdOnAFreshReadingOnly) {
    AddSensor(kRoleStill, 700);
    ColumnCommand(kColumn2, kCommandStart);
    TakeMessages();
    Read(kRoleStill, 780, false);
    Read(kRoleStill, 751);
    EXPECT_EQ(ProgVar.Logic.Col2.Work, 1);
    Read(kRoleStill, 752);
    EXPECT_EQ(ProgVar.Logic.Col2.Work, 0);
    EXPECT_EQ(LastLevel(), kLevelInfo);
    EXPECT_EQ(TakeMessages(),
              (Messages{"Работа колонки 2 (Дистилляция) остановлена из-за превышения порога.",
                        "Остановлена работа колонки 2 (Дистилляция)"}));

    ColumnCommand(kColumn2, kCommandStart);
    Read(kRoleStill, 740);
    Settings.WinMain.d4_Limit = 735;
    Read(kRoleStill, 740);
    EXPECT_EQ(ProgVar.Logic.Col2.Work, 0) << "a lowered threshold stops it in the next cycle";
}

TEST_F(Col23Test, Column2StopsOnASensorError) {
    AddSensor(kRoleStill, 700);
    ColumnCommand(kColumn2, kCommandStart);
    TakeMessages();
    FindSensorByRole(kRoleStill)->Flag |= kFlagError;
    Cycle();
    EXPECT_EQ(ProgVar.Logic.Col2.Work, 0);
    EXPECT_EQ(TakeMessages().front(),
              "Работа колонки 2 (Дистилляция) остановлена из-за ошибки датчика!");
}

// The defaults: upper 90.0 °C, lower 80.0 °C, hysteresis 0.5 °C.
TEST_F(Col23Test, Column3OutputsFollowTheirHysteresisBandsAndLamps) {
    AddSensor(kRoleMash, 850);
    ColumnCommand(kColumn3, kCommandStart);
    struct Step {
        int16_t termo;
        uint8_t upper;
        uint8_t lower;
    };
    const Step steps[] = {
        {850, 0, 0}, {904, 0, 0}, {905, 1, 0}, {901, 1, 0}, {900, 0, 0},
        {850, 0, 0}, {796, 0, 0}, {795, 0, 1}, {799, 0, 1}, {800, 0, 0},
    };
    for (const Step& step : steps) {
        Read(kRoleMash, step.termo);
        EXPECT_EQ(col3.PinMax, step.upper) << step.termo;
        EXPECT_EQ(col3.PinMin, step.lower) << step.termo;
        EXPECT_EQ(display.Lamp(kLampCol3Upper) == kLampOn, step.upper == 1) << step.termo;
        EXPECT_EQ(display.Lamp(kLampCol3Lower) == kLampOn, step.lower == 1) << step.termo;
    }
    Read(kRoleMash, 790);
    Read(kRoleMash, 950, false);
    EXPECT_EQ(col3.PinMin, 1) << "a stale reading keeps both";
    EXPECT_EQ(col3.PinMax, 0);
    EXPECT_EQ(display.Lamp(kLampCol3Lower), kLampOn);
    Read(kRoleMash, 850);
    EXPECT_EQ(display.Lamp(kLampCol3Lower), kLampOff);
}

TEST_F(Col23Test, Column3StopsWhenBothOutputsWouldBeOnOrItsSensorFails) {
    AddSensor(kRoleMash, 850);
    ColumnCommand(kColumn3, kCommandStart);
    Read(kRoleMash, 850);
    TakeMessages();
    Settings.WinMain.d5_LimitMax = 840;
    Settings.WinMain.d5_LimitMin = 860;
    Read(kRoleMash, 850);
    EXPECT_EQ(col3.Work, 0);
    EXPECT_EQ(col3.PinMax + col3.PinMin, 0) << "the stop clears the levels";
    EXPECT_EQ(TakeMessages().front(),
              "Работа колонки 3 (Брага) остановлена (справедливо условие верхнего и нижнего "
              "порога)!Проверьте корректность настроек порогов.");

    Settings.WinMain.d5_LimitMax = 900;
    Settings.WinMain.d5_LimitMin = 800;
    ColumnCommand(kColumn3, kCommandStart);
    FindSensorByRole(kRoleMash)->Flag |= kFlagError;
    TakeMessages();
    Cycle();
    EXPECT_EQ(col3.Work, 0);
    EXPECT_EQ(LastLevel(), kLevelInfo);  // the stop's own message comes last
    EXPECT_EQ(TakeMessages().front(), "Работа колонки 3 (Брага) остановлена из-за ошибки датчика!");
}

}  // namespace
}  // namespace flextor::test
