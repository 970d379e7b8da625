// The temperature log's lines and when they are written.
#include <filesystem>

#include "logic_fixture.h"
#include "support/temp_dir.h"

namespace flextor::test {
namespace {

class TemperatureLogTest : public LogicTest {
  protected:
    void SetUp() override {
        LogicTest::SetUp();
        ProgVar.LogTermo_FileName = (dir / "Log/Termo_x.log").string();
    }
    // The lines written so far, without the byte-order mark.
    std::vector<std::string> Lines() const {
        std::string text = ReadFile(ProgVar.LogTermo_FileName);
        std::vector<std::string> lines;
        size_t start = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
        for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
            lines.push_back(text.substr(start, end - start));
        }
        return lines;
    }
    void OnlyTrigger(uint8_t LogSettings::*trigger) {
        LogSettings& settings = Settings.Log;
        settings.CheckSavesSec = settings.CheckModify = 0;
        settings.CheckMaxTermo = settings.CheckSensorErr = 0;
        if (trigger != nullptr) {
            settings.*trigger = 1;
        }
    }
    TempDir dir;
};

TEST_F(TemperatureLogTest, LineHoldsSixFieldsOfSixteenCharactersTheLastUnfilled) {
    OnlyTrigger(&LogSettings::CheckSensorErr);
    FindSensorByRole(kRoleTsa)->Termo = 245;
    FindSensorByRole(kRoleCondenser)->Flag |= kFlagError;
    FindSensorByRole(kRoleColumn)->Use = kRoleNone;
    AddSensor(kRoleStill, -55);
    AddSensor(kRoleSensor6, 1250);
    Cycle();
    // Cycle() moved the clock on by one second.
    EXPECT_EQ(Lines(), std::vector<std::string>{"[01/03/2024 12:00:01]  "
                                                "d1 24.5 °C      "
                                                "d2 ошибка       "
                                                "d3 не назначен  "
                                                "d4 -5.5 °C      "
                                                "d5 не назначен  "
                                                "d6 125.0 °C"});
    EXPECT_EQ(FindSensorByRole(kRoleTsa)->TermoLog, 245);
    EXPECT_EQ(FindSensorByRole(kRoleSensor6)->TermoLog, 1250);
}

TEST_F(TemperatureLogTest, PeriodicLinesComeEveryTenCyclesTheFirstInTheTenth) {
    OnlyTrigger(&LogSettings::CheckSavesSec);
    Cycle(9);
    EXPECT_TRUE(Lines().empty());
    Cycle();
    EXPECT_EQ(Lines().size(), 1u);
    Cycle(20);
    EXPECT_EQ(Lines().size(), 3u);
}

TEST_F(TemperatureLogTest, ChangeTriggerFiresAtModifyEitherWay) {
    OnlyTrigger(&LogSettings::CheckModify);
    for (SensorParam& row : ProgVar.Sensors.Sensor) {
        row.TermoLog = row.Termo;
    }
    const std::pair<int16_t, bool> steps[] = {{649, false}, {650, true}, {551, false}, {550, true}};
    for (const auto& [termo, written] : steps) {
        const size_t before = Lines().size();
        ColumnSensor().TermoLog = 600;  // 60.0 °C written last
        CycleAt(termo);
        EXPECT_EQ(Lines().size(), before + (written ? 1 : 0)) << termo;
    }
    ColumnSensor().TermoLog = 600;
    Stale(700);
    Cycle();
    EXPECT_EQ(Lines().size(), 2u) << "a stale reading triggers nothing";
}

TEST_F(TemperatureLogTest, WithEveryTriggerOffNoFileIsMade) {
    OnlyTrigger(nullptr);
    FindSensorByRole(kRoleTsa)->Flag |= kFlagError;
    CycleAt(1200, 15);
    EXPECT_FALSE(std::filesystem::exists(dir / "Log"));
}

}  // namespace
}  // namespace flextor::test
