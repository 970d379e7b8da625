// The plausibility checks through the logic cycle: each fires at its limit and
// not a second before, logs once when it starts and once when it clears, shows
// on the alarm lamp, and with AlarmOnProblem latches the alarm.
#include "core/logic/checks/plausibility_checks.h"

#include <mutex>

#include "core/sensors/sensor_handover.h"
#include "logic_fixture.h"

namespace flextor::test {
namespace {

class ChecksTest : public LogicTest {
  protected:
    // Only the checks asked for, with a one-minute window.
    void Only(bool heat, bool stuck, bool step) {
        CheckOptions& checks = CurrentOptions().checks;
        checks = CheckOptions{};
        checks.heat_check = heat;
        checks.stuck_check = stuck;
        checks.step_check = step;
        checks.heat_minutes = checks.stuck_minutes = 1;
    }
    void Feed(uint8_t role, int16_t termo) {
        FindSensorByRole(role)->Termo = termo;
        FindSensorByRole(role)->UpdateCount = 4;
    }
    // A reading through the hand-over, as the polling thread brings it.
    void Hand(uint8_t role, int16_t termo) {
        SensorParam polled = *FindSensorByRole(role);
        polled.Termo = termo;
        polled.Flag = kFlagTemperatureSensor | kFlagFresh;
        {
            std::lock_guard lock(SensorShare.Mutex);
            SensorShare.Command = kCmdFreshData;
            SensorShare.PortID = 7;
            SensorShare.Sensor = {polled};
        }
        SensorDataHandover();
    }
};

TEST_F(ChecksTest, EachCheckFiresAtItsLimitAndClearsOnce) {
    struct Case {
        const char* what;
        uint8_t role;
        int column;  // started with kCommandStart (1..3)
        int16_t steady;
        int cycles;  // cycles of steady readings until the warning
        int16_t clearing;
        const char* warning;
        const char* info;
    } cases[] = {
        {"column 2 heats, the still barely", kRoleStill, 2, 203, 61, 225,
         "Нагрев без роста температуры: колонка 2 (Дистилляция), куб +0.0 °C за 1 мин",
         "Температура куба растёт: колонка 2 (Дистилляция), куб +2.2 °C"},
        {"column 1 heats its pot, shared with column 2, the still barely", kRoleStill, 1, 200, 61,
         220, "Нагрев без роста температуры: колонка 1 (Ректификация), куб +0.0 °C за 1 мин",
         "Температура куба растёт: колонка 1 (Ректификация), куб +2.0 °C"},
        {"the mash sensor stuck", kRoleMash, 3, 260, 61, 261,
         "Показания датчика не меняются: датчик 5 (д. Брага), 26.0 °C уже 1 мин",
         "Показания снова меняются: датчик 5 (д. Брага), 26.1 °C"},
        {"the still sensor stuck", kRoleStill, 2, 300, 61, 299,
         "Показания датчика не меняются: датчик 4 (д. Куб), 30.0 °C уже 1 мин",
         "Показания снова меняются: датчик 4 (д. Куб), 29.9 °C"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        const bool heat = std::string(c.warning).starts_with("Нагрев");
        Only(heat, !heat, false);
        CurrentOptions().checks.still_in_column1 = true;
        AddSensor(kRoleStill, 200);
        AddSensor(kRoleMash, 260);
        ColumnCommand(c.column - 1, kCommandStart);
        TakeMessages();
        for (int i = 1; i < c.cycles; ++i) {
            Feed(kRoleTsa, static_cast<int16_t>(250 + i % 2));  // the alarm sensors move
            Feed(kRoleCondenser, static_cast<int16_t>(250 + i % 2));
            Feed(c.role, c.steady);
            Reading(ColumnSensor().Termo);
            Cycle();
        }
        EXPECT_TRUE(CurrentProblems().empty());
        EXPECT_EQ(TakeMessages(), Messages{});
        Feed(c.role, c.steady);
        Reading(ColumnSensor().Termo);
        Cycle();
        ASSERT_EQ(CurrentProblems().size(), 1u);
        EXPECT_EQ(TakeMessages(), Messages{c.warning});
        EXPECT_EQ(LastLevel(), 255);
        EXPECT_EQ(display.Lamp(kLampAlarm), kLampAttention);
        Feed(c.role, c.steady);
        Cycle(5);  // one warning only
        Feed(c.role, c.clearing);
        Cycle();
        EXPECT_EQ(TakeMessages(), Messages{c.info});
        EXPECT_TRUE(CurrentProblems().empty());
        EXPECT_EQ(display.Lamp(kLampAlarm), kLampOff);
        EXPECT_EQ(ProgVar.Logic.Alarm, 0);
    }
}

// A healthy plant: column 1 heats its own pot, which has no sensor, while the
// still sensor sits in column 2's cold pot; the alarm sensors, and the column
// sensor until vapour reaches it, hold one tenth at room temperature.
TEST_F(ChecksTest, ColumnOneAloneWithSteadySensorsRaisesNoProblem) {
    Only(true, true, true);
    AddSensor(kRoleStill, 200);
    ColumnCommand(kColumn1, kCommandStart);
    TakeMessages();
    for (int i = 0; i < 150; ++i) {
        clock.AdvanceSeconds(1);
        Hand(kRoleTsa, 241);
        Hand(kRoleCondenser, 243);
        Hand(kRoleStill, 200);
        Hand(kRoleColumn, 245);
        LogicCycle();
    }
    EXPECT_TRUE(CurrentProblems().empty());
    EXPECT_EQ(TakeMessages(), Messages{});
    EXPECT_EQ(ProgVar.Logic.Col1.Status, kCol1Running);
}

// A reading that makes the plant safer is never held back as a jump: the
// condenser's 24 -> 95 latches the alarm in the cycle after the hand-over, with
// the threshold's own message; a spike's end is no jump either.
TEST_F(ChecksTest, AJumpThatMakesThePlantSaferActsAtOnce) {
    struct Case {
        const char* what;
        uint8_t role;
        int column;
        int16_t before, jump, after;
        const char* message;
    } cases[] = {
        {"the condenser", kRoleCondenser, 0, 240, 950, 950,
         "Превышение порога датчика 2 (ав. Конденсатор)! Температура 95.0  Порог 90.0"},
        {"the atmosphere tube", kRoleTsa, 0, 240, 920, 920,
         "Превышение порога датчика 1 (ав. ТСА)! Температура 92.0  Порог 90.0"},
        {"column 2's pot", kRoleStill, 2, 500, 990, 500,
         "Работа колонки 2 (Дистилляция) остановлена из-за превышения порога."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        Only(false, false, true);
        AddSensor(kRoleStill, 500);
        if (c.column != 0) {
            ColumnCommand(c.column - 1, kCommandStart);
        }
        clock.AdvanceSeconds(1);
        Hand(c.role, c.before);
        LogicCycle();
        TakeMessages();
        clock.AdvanceSeconds(1);
        Hand(c.role, c.jump);
        EXPECT_EQ(FindSensorByRole(c.role)->Termo, c.jump);
        LogicCycle();
        const Messages messages = TakeMessages();
        ASSERT_FALSE(messages.empty());
        EXPECT_EQ(messages[0], c.message);
        clock.AdvanceSeconds(1);
        Hand(c.role, c.after);
        EXPECT_EQ(FindSensorByRole(c.role)->Termo, c.after);
        EXPECT_EQ(FindSensorByRole(c.role)->Flag & kFlagError, 0);
    }
}

TEST_F(ChecksTest, AJumpIsLeftOutThreeInARowFailTheSensorAndAGoodReadingClearsIt) {
    Only(false, false, true);
    AddSensor(kRoleMash, 250);
    const int16_t readings[] = {250, 900, 252, 900, 910, 920, 255};
    const int16_t used[] = {250, 250, 252, 252, 252, 252, 255};
    const bool failed[] = {false, false, false, false, false, true, false};
    for (size_t i = 0; i < std::size(readings); ++i) {
        SCOPED_TRACE(i);
        clock.AdvanceSeconds(1);
        Hand(kRoleMash, readings[i]);
        EXPECT_EQ(FindSensorByRole(kRoleMash)->Termo, used[i]);
        EXPECT_EQ((FindSensorByRole(kRoleMash)->Flag & kFlagError) != 0, failed[i]);
        LogicCycle();
        EXPECT_EQ(CurrentProblems().size(), failed[i] ? 1u : 0u);
    }
    EXPECT_EQ(TakeMessages(),
              (Messages{"Скачки показаний: датчик 5 (д. Брага), 3 показания подряд отличаются от "
                        "25.2 °C больше чем на 15.0 °C за секунду (последнее 92.0 °C), датчик "
                        "считается неисправным",
                        "Показания снова правдоподобны: датчик 5 (д. Брага), 25.5 °C"}));
    clock.AdvanceSeconds(11);  // after a gap the next reading is taken as it is
    Hand(kRoleMash, 700);
    EXPECT_EQ(FindSensorByRole(kRoleMash)->Termo, 700);
}

TEST_F(ChecksTest, WithAlarmOnProblemAProblemLatchesTheAlarmAndBlocksTheColumns) {
    Only(true, false, false);
    CurrentOptions().checks.alarm_on_problem = true;
    AddSensor(kRoleStill, 200);
    ColumnCommand(kColumn2, kCommandStart);
    TakeMessages();
    for (int i = 0; i < 61; ++i) {
        Feed(kRoleStill, 200);
        Cycle();
    }
    EXPECT_EQ(ProgVar.Logic.Alarm, 1);
    EXPECT_EQ(ProgVar.Logic.Col2.Work, 0);
    const Messages messages = TakeMessages();
    ASSERT_GE(messages.size(), 2u);
    EXPECT_EQ(messages[0],
              "Нагрев без роста температуры: колонка 2 (Дистилляция), куб +0.0 °C за 1 мин");
    EXPECT_EQ(messages[1],
              "Работа колонок 'Ректификация' и 'Дистилляция' заблокирована до перезапуска "
              "программы!");
    EXPECT_EQ(display.Lamp(kLampAlarm), kLampAttention);
}

}  // namespace
}  // namespace flextor::test
