// Resuming from the crash-state file: which files are taken and deleted, and
// the columns as the restored state shows them.
#include "core/crash/crash_resume.h"

#include <filesystem>
#include <string>

#include "core/logic/logic_fixture.h"
#include "support/temp_dir.h"

namespace flextor::test {
namespace {

class CrashResumeTest : public LogicTest {
  protected:
    // The state file as the failure handler writes it.
    static std::string SavedState(const ProgVarRecord& state) {
        return FormatCrashStateJson(state);
    }

    TempDir dir;
};

// The program folder is dir, named as it is or through a link to it; only
// files inside it are ever deleted.
TEST_F(CrashResumeTest, OnlyACrashStateIsDeletedUnlessTheFileIsTheProgramsOwn) {
    ProgVarRecord saved;
    saved.Crash.Count = 4;
    const std::string state = SavedState(saved);
    TempDir elsewhere;
    std::filesystem::create_directory(dir / "Log");
    std::filesystem::create_directory_symlink(dir.path(), elsewhere / "home");
    std::filesystem::create_symlink(elsewhere / "outside.json", dir / "link.json");
    const struct {
        const char* name;  // in dir, or in elsewhere when it begins with "../"
        std::string bytes;
        bool resumes;
        bool deleted;
    } cases[] = {
        {"state.json", state, true, true},
        {"Crash.json", state, true, true},
        {"Log/state.json", state, true, true},
        {"notes.txt", "Не JSON", false, false},
        {"list.json", "[1,2,3]", false, false},
        {"Crash.json", "{\"LogInfo_Fi", false, true},
        {"Crash.json", "", false, false},
        {"Crash.json", std::string(1024 * 1024 + 1, ' '), false, true},
        {"big.json", std::string(1024 * 1024 + 1, ' '), false, false},
        {"../state.json", state, true, false},
        {"../Crash.json", state, true, false},
        {"../Crash.json", "{\"LogInfo_Fi", false, false},
        {"link.json", state, true, false},  // the state itself is outside
    };
    for (const std::string& folder : {dir.str(), (elsewhere / "home/").string()}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(folder + " " + c.name + " " + std::to_string(c.bytes.size()));
            ResetProgramState();
            const std::string name = c.name;
            const std::filesystem::path path =
                name.starts_with("../") ? elsewhere / name.substr(3) : dir / name;
            const std::filesystem::path written =
                name == "link.json" ? elsewhere / "outside.json" : path;
            WriteFile(written, c.bytes);
            EXPECT_EQ(ResumeFromCrashFile(path.string(), folder), c.resumes);
            EXPECT_EQ(ProgVar.Crash.Count, c.resumes ? 4 : 0);
            EXPECT_EQ(!std::filesystem::exists(path), c.deleted);
            EXPECT_TRUE(std::filesystem::exists(written) || c.deleted);
            std::filesystem::remove(written);
        }
    }
    EXPECT_FALSE(ResumeFromCrashFile((dir / "missing.json").string(), dir.str()));
    EXPECT_FALSE(ResumeFromCrashFile(dir.str(), dir.str()));  // a folder is not read
    EXPECT_TRUE(std::filesystem::exists(dir.path()));
}

TEST_F(CrashResumeTest, AStateWithoutLogicResumesWithEverythingStopped) {
    ProgVar.Logic.Col1.Status = kCol1Running;
    ProgVar.Logic.Col2.Work = 1;
    ProgVar.Logic.Alarm = 1;
    WriteFile(dir / "Crash.json", R"({"LogInfo_FileName":"","Crash":{"Count":1,"Err":"E"}})");

    ASSERT_TRUE(ResumeFromCrashFile((dir / "Crash.json").string(), dir.str()));
    EXPECT_EQ(ShowResumedRun(), 0);

    EXPECT_EQ(LastLevel(), kLevelWarning);
    EXPECT_EQ(TakeMessages(), Messages{"Программа была перезапущена. Подробности ошибки; E"});
    EXPECT_EQ(ProgVar.Logic.Alarm, 0);
    EXPECT_EQ(ProgVar.Logic.Col2.Work, 0);
    EXPECT_EQ(display.controlsCalls, (std::vector<std::pair<int, int>>{{kColumn1, 0}}));
}

TEST_F(CrashResumeTest, TheColumnsComeBackAsTheyStood) {
    const struct {
        uint8_t alarm, status, valve, col2, col3;
        uint8_t reopened_valve;
        std::vector<std::pair<int, int>> controls;
        Messages after_restart;
        int alarm_lamp, col2_lamp;
    } cases[] = {
        {0, kCol1Paused, 3, 0, 0, 3, {{kColumn1, kControlsPaused}}, {}, 0, 0},
        {0,
         kCol1Stopped,
         1,
         1,
         1,
         1,
         {{kColumn1, kControlsStopped}, {kColumn2, kControlsRunning}, {kColumn3, kControlsRunning}},
         {},
         0,
         kLampOn},
        {0, kCol1Running, 2, 0, 0, 0, {{kColumn1, kControlsRunning}}, {}, 0, 0},
        {1,
         kCol1Running,
         0,
         1,
         1,
         0,
         {{kColumn1, kControlsBlocked}, {kColumn2, kControlsBlocked}, {kColumn3, kControlsRunning}},
         {"Работа колонок 'Ректификация' и 'Дистилляция' заблокирована до перезапуска программы!",
          "Остановлена работа колонки 1 (Ректификация)",
          "Остановлена работа колонки 2 (Дистилляция)"},
         kLampAttention,
         kLampOff},
        // A latch saved as another non-zero value is a latch too.
        {2,
         kCol1Paused,
         3,
         0,
         0,
         0,
         {{kColumn1, kControlsBlocked}, {kColumn2, kControlsBlocked}},
         {"Работа колонок 'Ректификация' и 'Дистилляция' заблокирована до перезапуска программы!",
          "Остановлена работа колонки 1 (Ректификация)"},
         kLampAttention,
         kLampOff},
    };
    for (const auto& c : cases) {
        ProgVarRecord saved;
        saved.Logic.Alarm = c.alarm;
        saved.Logic.Col1.Status = c.status;
        saved.Logic.Col1.Mode = c.status == kCol1Stopped ? 0 : 2;
        saved.Logic.Col1.ControlValves = c.valve;
        saved.Logic.Col2.Work = c.col2;
        saved.Logic.Col3.Work = c.col3;
        saved.Crash.Err = "E";
        WriteFile(dir / "Crash.json", SavedState(saved));
        display = RecordingStatusDisplay{};
        ASSERT_TRUE(ResumeFromCrashFile((dir / "Crash.json").string(), dir.str()));
        TakeMessages();
        log.rows.clear();

        EXPECT_EQ(ShowResumedRun(), c.reopened_valve) << int(c.status);
        Messages messages = TakeMessages();
        messages.erase(messages.begin());
        EXPECT_EQ(messages, c.after_restart) << int(c.status);
        EXPECT_EQ(display.controlsCalls, c.controls) << int(c.status);
        EXPECT_EQ(display.Lamp(kLampAlarm), c.alarm_lamp) << int(c.status);
        EXPECT_EQ(display.Lamp(kLampColumn2), c.col2_lamp) << int(c.status);
        EXPECT_EQ(ProgVar.Logic.Col1.ControlValves, 0);
    }
}

}  // namespace
}  // namespace flextor::test
