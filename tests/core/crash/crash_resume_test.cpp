// Resuming from the crash-state file: which files are taken and deleted, and
// the columns as the restored state shows them. After a power cut: the run
// kept on disk, how often it is written, and when it is taken up.
#include "core/crash/crash_resume.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "base/files/file_io.h"
#include "core/crash/crash_snapshot.h"
#include "core/options/options.h"
#include "core/resume/power_cut_decision.h"
#include "core/resume/saved_run_keeper.h"

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

    void TearDown() override {
        SetBeforeRenameHook(nullptr);
        SetSavedRunFile("");
        CurrentOptions() = Options{};
        LogicTest::TearDown();
    }

    // Column 1 drawing off spirit, kept in dir's Resume.json with the option on.
    std::filesystem::path KeepRun(uint8_t alarm) {
        CurrentOptions().resume.enabled = true;
        ColumnSensor().Termo = 780;
        ProgVar.Logic.Col1.Status = kCol1Running;
        ProgVar.Logic.Col1.Mode = 3;
        ProgVar.Logic.Col1.v2_Volume = 1234.5;
        ProgVar.Logic.Alarm = alarm;
        ProgVar.LogInfo_FileName = "Log/run.log";
        SetSavedRunFile((dir / kSavedRunFileName).string());
        RenderCrashSnapshot();
        return dir / kSavedRunFileName;
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

// The saved run written, read back and judged: taken up only when the outage is
// known to be short or every role sensor still reads what it did.
TEST_F(CrashResumeTest, APowerCutResumesTheRunOnlyWhenThatIsKnownToBeSafe) {
    const struct {
        const char* name;
        bool enabled;
        int64_t outage;  // s: now minus the saved time
        bool synchronised;
        int delta;  // tenths every role sensor reads now above its saved value, if read
        bool read, alarm, resumes;
        const char* message;
    } cases[] = {
        {"short", true, 90, true, -300, true, 0, true, "(программа не работала 1 мин 30 с)."},
        {"at the limit", true, 600, true, -300, false, 0, true, "не работала 10 мин)."},
        {"long", true, 1200, true, -200, true, 0, false,
         "Работа не возобновлена: программа не работала 20 мин, больше допустимых 10 мин, а "
         "температуры изменились больше чем на 5.0 °C (Датчик 1 (ав. ТСА): 25.0 → 5.0 °C)."},
        {"long, still hot", true, 601, true, 50, true, 0, true,
         "(программа не работала 10 мин 1 с, установка не остыла)."},
        {"unsynchronised, hot", true, 60, false, -50, true, 0, true,
         "(время перебоя неизвестно (часы не синхронизированы), установка не остыла)."},
        {"unsynchronised, cooled", true, 60, false, -51, true, 0, false,
         "Работа не возобновлена: время перебоя неизвестно (часы не синхронизированы), а "
         "температуры изменились"},
        {"clock behind", true, -30, true, 0, false, 0, false,
         "время перебоя неизвестно (часы отстают от времени сохранения), а Датчик 1 (ав. ТСА) "
         "не прочитан."},
        {"option off", false, 60, true, 0, true, 0, false, ""},
        {"latched, short", true, 60, true, 0, true, 1, true, "(программа не работала 1 мин)."},
        {"latched, cooled", true, 3600, true, -400, true, 1, false,
         "изменились больше чем на 5.0 °C (Датчик 1 (ав. ТСА): 25.0 → -15.0 °C). Сигнал аварии "
         "остаётся в силе."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetProgramState();
        SetUp();
        const std::filesystem::path file = KeepRun(c.alarm ? 1 : 0);
        const int64_t saved_at = LocalSeconds(clock.Now());
        SetSavedRunFile("");
        ResetProgramState();
        CurrentOptions().resume.enabled = c.enabled;

        SavedRun run;
        const SavedRunFound found = FindSavedRun(dir.str() + "/", run);
        if (!c.enabled) {
            EXPECT_EQ(found, SavedRunFound::kNone);
            EXPECT_TRUE(std::filesystem::exists(file));  // left alone
            continue;
        }
        ASSERT_EQ(found, SavedRunFound::kFound);
        EXPECT_EQ(run.saved_at, saved_at);
        PowerCutFacts facts{run.saved_at,
                            run.saved_at + c.outage,
                            c.synchronised,
                            RoleReadings(run.state.Sensors.Sensor, false),
                            {}};
        EXPECT_EQ(facts.saved.size(), 3u);
        for (const RoleReading& saved : facts.saved) {
            if (c.read) {
                facts.current.push_back({saved.role, static_cast<int16_t>(saved.tenths + c.delta)});
            }
        }
        facts.alarm_latched = run.state.Logic.Alarm != 0;
        const PowerCutDecision decision = DecidePowerCut(facts, CurrentOptions().resume);
        EXPECT_EQ(decision.resume, c.resumes);
        EXPECT_EQ(decision.keep_latch, c.alarm);
        EXPECT_NE(decision.message.find(c.message), std::string::npos) << decision.message;
        EXPECT_EQ(decision.message.starts_with("Работа возобновлена после перебоя питания ("),
                  c.resumes);
        TakeUpSavedRun(run.state);
        EXPECT_EQ(ProgVar.Logic.Col1.Mode, 3);
        EXPECT_EQ(ProgVar.Logic.Col1.v2_Volume, 1234.5);
        EXPECT_EQ(ProgVar.LogInfo_FileName, "Log/run.log");
        std::filesystem::remove(file);
    }
    WriteFile(dir / kSavedRunFileName, "{\"SavedAt\":\"вчера\",\"State\":{}}");
    SavedRun run;
    EXPECT_EQ(FindSavedRun(dir.str() + "/", run), SavedRunFound::kDamaged);
}

// Ten hours of column 1 with a change of mode every half hour: a write at each
// change and once a minute, the file gone once nothing runs; the latch keeps it
// until an orderly shutdown. With the option off nothing is written.
TEST_F(CrashResumeTest, TheSavedRunIsWrittenAtChangesAndOncePerMinute) {
    const std::filesystem::path file = KeepRun(0);
    std::chrono::steady_clock::duration writing{};
    for (int second = 5; second <= 10 * 3600; second += 5) {
        clock.AdvanceSeconds(5);
        if (second % 1800 == 0) {
            ProgVar.Logic.Col1.Mode = static_cast<uint8_t>(1 + ProgVar.Logic.Col1.Mode % 5);
            RenderCrashSnapshot();  // the change itself
        }
        ProgVar.Logic.Col1.Volume += 1;
        const uint64_t before = SavedRunWrites();
        const auto started = std::chrono::steady_clock::now();
        RenderCrashSnapshot();  // the end of a cycle
        if (SavedRunWrites() != before) {
            writing += std::chrono::steady_clock::now() - started;
        }
    }
    const double per_write_ms = std::chrono::duration<double, std::milli>(writing).count() / 600;
    const double per_hour = static_cast<double>(SavedRunWrites()) / 10;
    std::printf("Resume.json: %.1f writes per hour, %.2f ms per cycle that writes\n", per_hour,
                per_write_ms);
    EXPECT_GE(per_hour, 60);
    EXPECT_LE(per_hour, 63);  // one a minute, changes of mode resetting the minute
    SavedRun run;
    ASSERT_EQ(FindSavedRun(dir.str() + "/", run), SavedRunFound::kFound);
    EXPECT_EQ(run.saved_at, LocalSeconds(clock.Now()));
    EXPECT_EQ(run.state.Logic.Col1.Mode, ProgVar.Logic.Col1.Mode);

    ProgVar.Logic.Col1.Status = kCol1Stopped;
    RenderCrashSnapshot();
    EXPECT_FALSE(std::filesystem::exists(file));
    ProgVar.Logic.Alarm = 1;
    ProgVar.Logic.Col3.Work = 1;
    RenderCrashSnapshot();
    EXPECT_TRUE(std::filesystem::exists(file));
    CloseSavedRun();  // an orderly shutdown, a column still working
    EXPECT_FALSE(std::filesystem::exists(file));

    const uint64_t writes = SavedRunWrites();
    KeepRun(0);
    CurrentOptions().resume.enabled = false;
    std::filesystem::remove(file);
    ProgVar.Logic.Col2.Work = 1;
    RenderCrashSnapshot();
    EXPECT_EQ(SavedRunWrites(), writes + 1);  // the one KeepRun made with the option on
    EXPECT_FALSE(std::filesystem::exists(file));
}

// A write that fails (a full disk) removes the file rather than leave an older
// run to be resumed after a power cut; the next write that takes makes it again.
bool RefuseRename(const std::string& /*temporary_path*/) {
    return false;
}

TEST_F(CrashResumeTest, ASavedRunThatCannotBeBroughtUpToDateIsRemoved) {
    const std::filesystem::path file = KeepRun(0);
    ASSERT_TRUE(std::filesystem::exists(file));
    TakeMessages();
    SetBeforeRenameHook(RefuseRename);
    ProgVar.Logic.Alarm = 1;
    RenderCrashSnapshot();
    EXPECT_FALSE(std::filesystem::exists(file)) << "the run without its latch is gone";
    const std::string removed =
        "Файл состояния для возобновления после перебоя питания удалён: его не удалось "
        "обновить. " +
        file.string();
    const Messages messages = TakeMessages();
    EXPECT_EQ(std::count(messages.begin(), messages.end(), removed), 1)
        << testing::PrintToString(messages);
    ProgVar.Logic.Col1.Mode = 4;
    RenderCrashSnapshot();
    const Messages later = TakeMessages();
    EXPECT_EQ(std::count(later.begin(), later.end(), removed), 0) << "nothing left to remove";

    SetBeforeRenameHook(nullptr);
    ProgVar.Logic.Col1.Mode = 5;
    RenderCrashSnapshot();
    SavedRun run;
    ASSERT_EQ(FindSavedRun(dir.str() + "/", run), SavedRunFound::kFound);
    EXPECT_EQ(run.state.Logic.Alarm, 1);
}

}  // namespace
}  // namespace flextor::test
