// The texts made ready for the failure handler at the end of each logic cycle.
#include "core/crash/crash_snapshot.h"

#include <algorithm>
#include <string>

#include "core/crash/crash_state_json.h"
#include "core/crash/crash_state_read.h"
#include "core/logic/col1/col1_mode.h"
#include "core/logic/commands/column_command.h"
#include "core/logic/cycle_steps.h"
#include "core/logic/logic_fixture.h"
#include "core/settings/settings_file.h"

namespace flextor::test {
namespace {

class CrashSnapshotTest : public LogicTest {
  protected:
    void SetUp() override {
        LogicTest::SetUp();
        ResetCrashSnapshot();
        // The log file names here are only texts: nothing is written to them.
        Settings.Log.InfoFile = Settings.Log.WarnFile = Settings.Log.ErrFile = 0;
    }
    void TearDown() override {
        ResetCrashSnapshot();
        LogicTest::TearDown();
    }

    static std::string Text(ReadyText text) { return std::string(text.data, text.size); }
};

TEST_F(CrashSnapshotTest, ThePrefixWithTheHandlersEndIsTheStateWithoutItsOutputLevels) {
    EXPECT_EQ(ReadyCrashStateText().prefix.size, 0u);
    ResetCrashSnapshot();
    ProgVar.LogInfo_FileName = "/x/Log/1.log";
    ProgVar.Logic.Col3 = {1, 1, 1, 1, 0};
    ProgVar.Logic.d6_Pin = 1;
    ProgVar.Crash.Count = 3;
    Cycle();

    const ReadyCrashState ready = ReadyCrashStateText();
    std::string text = Text(ready.prefix);
    ASSERT_TRUE(text.ends_with(",\"Crash\":")) << text;
    EXPECT_EQ(ready.count, 3);
    char end[256];
    FixedText out(end, sizeof end);
    PutCrashStateEnd(out, 4, "Ошибка \"x\"");
    text += out.Text();

    ProgVarRecord expected = ProgVar;
    expected.Sensors.PortID = 0;
    expected.Logic.Col3.PinMax = 0;
    expected.Logic.Col3.PinMin = 0;
    expected.Logic.d6_Pin = 0;
    expected.Crash = {4, "Ошибка \"x\""};
    EXPECT_EQ(text, FormatCrashStateJson(expected));
    ProgVarRecord back;
    EXPECT_TRUE(ParseCrashState(text, back));
}

// A restart must never resume a state older than what the window or the log has
// shown: each change is ready for the failure handler at once, not only at the
// end of the next cycle.
TEST_F(CrashSnapshotTest, EveryChangeOfTheRunIsReadyBeforeTheNextCycle) {
    const auto saved = [] {
        ReadyCrashState ready = ReadyCrashStateText();
        std::string text = Text(ready.prefix);
        char end[64];
        FixedText out(end, sizeof end);
        PutCrashStateEnd(out, 1, "");
        text += out.Text();
        ProgVarRecord back;
        EXPECT_TRUE(ParseCrashState(text, back));
        ResetCrashSnapshot();
        return back;
    };
    StartIn(kModeValve1);
    EXPECT_EQ(saved().Logic.Col1.Mode, kModeValve1);
    SetCol1Mode(kModeValve2);
    EXPECT_EQ(saved().Logic.Col1.Mode, kModeValve2);
    ColumnCommand(kColumn1, kCommandPause);
    EXPECT_EQ(saved().Logic.Col1.Status, kCol1Paused);
    ColumnCommand(kColumn1, kCommandStop);
    EXPECT_EQ(saved().Logic.Col1.Status, kCol1Stopped);
    ProgVar.Sensors.Sensor[1].Termo = 2000;  // the condenser far above its limit
    AlarmStep();
    EXPECT_EQ(saved().Logic.Alarm, 1);
}

TEST_F(CrashSnapshotTest, AReadTextIsNeverWrittenAgain) {
    SaveCounter = 0;
    Cycle();
    TakeMessages();
    const ReadyText state = ReadyCrashStateText().prefix;
    const ReadyText settings = ReadySettingsText();
    const std::string state_before = Text(state);
    const std::string settings_before = Text(settings);
    ASSERT_FALSE(settings_before.empty());
    ProgVar.Logic.Alarm = 1;
    Settings.Logic.TimeStable = 77;
    Cycle(3);
    EXPECT_EQ(ReadyCrashStateText().prefix.data, state.data);
    EXPECT_EQ(Text(state), state_before);
    EXPECT_EQ(Text(ReadySettingsText()), settings_before);
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(CrashSnapshotTest, ATextTooLargeKeepsThePreviousOneAndIsReportedOnce) {
    ProgVar.LogInfo_FileName = "/x/1.log";
    Cycle();
    ProgVar.LogInfo_FileName.assign(600 * 1024, 'a');
    Cycle(2);
    ProgVar.LogInfo_FileName = "/x/1.log";
    const Messages messages = TakeMessages();
    EXPECT_EQ(std::count(messages.begin(), messages.end(),
                         "Состояние для перезапуска после сбоя не обновлено: состояние "
                         "программы не помещается в буфер."),
              1);
    EXPECT_NE(Text(ReadyCrashStateText().prefix).find("\"/x/1.log\""), std::string::npos);
}

TEST_F(CrashSnapshotTest, SettingsAreReadyOnlyWhileASaveIsPending) {
    const struct {
        int32_t save_counter;
        bool ready;
    } cases[] = {{100, false}, {0, true}, {9, true}, {11, false}};
    for (const auto& c : cases) {
        ResetCrashSnapshot();
        SaveCounter = c.save_counter;
        Cycle();  // counts on by one, and saves at 10
        EXPECT_EQ(Text(ReadySettingsText()),
                  c.ready ? FormatSettings(Settings, SettingSensors) : "")
            << c.save_counter;
    }
}

}  // namespace
}  // namespace flextor::test
