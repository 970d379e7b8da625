// The journal of runs recorded through the real column commands, mode changes
// and alarm latch with the fake clock: what each run's file holds, an entry left
// open closed at the next start, and the folder kept within its limits.
#include <filesystem>
#include <fstream>

#include "base/text/utf8.h"
#include "core/journal/journal_json.h"
#include "core/journal/run_journal.h"
#include "core/logic/commands/column_buttons.h"
#include "logic_fixture.h"
#include "support/temp_dir.h"

namespace flextor::test {
namespace {

// One expected line: event, mode, duration, litres, text ("" and -1 for empty).
struct Line {
    Line(std::string e, std::string m = "", int64_t s = -1, double l = -1, std::string t = "")
        : event(std::move(e)), mode(std::move(m)), seconds(s), litres(l), text(std::move(t)) {}
    std::string event;
    std::string mode;
    int64_t seconds;
    double litres;
    std::string text;
};

class JournalTest : public LogicTest {
  protected:
    void SetUp() override {
        LogicTest::SetUp();
        Settings.Logic.MaxVolume_v0 = 0;  // no first heads portion: valve 1 follows at once
        Open(false);
    }
    void TearDown() override {
        ResetJournal();
        LogicTest::TearDown();
    }

    void Open(bool resumed, const JournalLimits& limits = JournalLimits{}) {
        OpenJournal(dir.str() + "/", resumed, limits);
    }
    std::filesystem::path Folder() const { return dir / kJournalFolderName; }
    std::vector<JournalFile> Files() const { return ListJournalFiles(Folder().string() + "/"); }

    // The events of the one file of column (1..3).
    std::vector<JournalEvent> Events(int column) const {
        for (const JournalFile& file : Files()) {
            if (ColumnOfJournalFile(file.name) == column) {
                return ParseJournalText(ReadFile(Folder() / file.name));
            }
        }
        return {};
    }

    static void ExpectLines(const std::vector<JournalEvent>& events,
                            const std::vector<Line>& lines) {
        ASSERT_EQ(events.size(), lines.size());
        for (size_t i = 0; i < lines.size(); ++i) {
            const JournalEvent& e = events[i];
            const Line& l = lines[i];
            EXPECT_EQ(e.event, l.event) << i;
            EXPECT_EQ(e.mode, l.mode) << i;
            EXPECT_EQ(e.seconds.value_or(-1), l.seconds) << i;
            EXPECT_NEAR(e.litres.value_or(-1), l.litres, 1e-9) << i;
            EXPECT_EQ(e.text, l.text) << i;
        }
    }

    TempDir dir;
};

TEST_F(JournalTest, ColumnOneRunRecordsModesDurationsVolumesNotesAndTheOperatorsStop) {
    Start();
    clock.AdvanceSeconds(600);
    SetCol1Mode(kModeStabilise);
    clock.AdvanceSeconds(1200);
    SetCol1Mode(kModeValve0);  // passes on to valve 1
    col1.v1_Volume = 1500;
    clock.AdvanceSeconds(1800);
    ColumnCommand(kColumn1, kCommandPause);
    JournalNote("Проверил; кран \"А\"\nзакрыт");
    ColumnCommand(kColumn1, kCommandStart);
    SetCol1Mode(kModeValve2);
    col1.v2_Volume = 2250.4;
    clock.AdvanceSeconds(3600);
    AddLogMessage("Датчик 3 молчит", kLevelWarning);
    JournalProblem("Нагрев без роста температуры");
    AddLogMessage("Нагрев без роста температуры", kLevelWarning);  // not twice
    PressStop(kColumn1);

    ExpectLines(Events(1), {
                               {"начало", "", -1, -1, "Ректификация"},
                               {"режим", "Ожидание нагрева"},
                               {"режим завершён", "Ожидание нагрева", 600},
                               {"режим", "Стабилизация"},
                               {"режим завершён", "Стабилизация", 1200},
                               {"режим", "Работа клапана 1 (Г. Фракция)"},
                               {"пауза", "Работа клапана 1 (Г. Фракция)"},
                               {"заметка", "", -1, -1, "Проверил; кран \"А\" закрыт"},
                               {"продолжение", "Работа клапана 1 (Г. Фракция)"},
                               {"режим завершён", "Работа клапана 1 (Г. Фракция)", 1800, 1.5},
                               {"режим", "Работа клапана 2 (Спирт)"},
                               {"предупреждение", "", -1, -1, "Датчик 3 молчит"},
                               {"проблема", "", -1, -1, "Нагрев без роста температуры"},
                               {"режим завершён", "Работа клапана 2 (Спирт)", 3600, 2.25},
                               {"конец", "", 7200, -1, "остановлена оператором"},
                           });
    const std::string text = ReadFile(Folder() / Files().at(0).name);
    EXPECT_TRUE(text.starts_with("\xEF\xBB\xBFВремя;Колонка;Событие;Режим;Длительность;")) << text;
    EXPECT_NE(text.find("2024-03-01 13:00:00;1;режим завершён;Работа клапана 1 (Г. "
                        "Фракция);0:30:00;1.500;\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(Files().at(0).name, "2024-03-01_12-00-00_col1.csv");
}

TEST_F(JournalTest, EndsByTheRunsOwnWayAndNotesOutsideRunsGoToTheDaysFile) {
    AddSensor(kRoleStill, 500);
    Settings.WinMain.d4_Limit = 980;
    JournalNote("До начала");
    ColumnCommand(kColumn2, kCommandStart);
    Start();
    clock.AdvanceSeconds(30);
    FindSensorByRole(kRoleStill)->Termo = 990;  // the still reaches its threshold
    Cycle();
    FindSensorByRole(kRoleTsa)->Termo = 950;  // the alarm latch blocks column 1
    Cycle();

    ExpectLines(Events(2),
                {{"начало", "", -1, -1, "Дистилляция"}, {"конец", "", 31, -1, "завершена"}});
    const std::vector<JournalEvent> run1 = Events(1);
    ASSERT_GE(run1.size(), 4u);
    EXPECT_EQ(run1[2].event, "авария");
    EXPECT_EQ(run1[2].text, "Превышение порога датчика 1 (ав. ТСА)! Температура 95.0  Порог 90.0");
    EXPECT_EQ(run1[3].event, "предупреждение");  // the block itself
    EXPECT_EQ(run1.back().text, "заблокирована аварией");
    EXPECT_EQ(ParseJournalText(ReadFile(Folder() / "2024-03-01_notes.csv")).at(0).text,
              "До начала");
}

TEST_F(JournalTest, AnEntryLeftOpenIsClosedAtTheNextStartOrGoesOnAfterARestart) {
    struct Case {
        const char* name;
        bool resumed;
        bool crash_file;
        Line end;
    };
    const Case cases[] = {
        {"killed", false, false, {"конец", "", 180, -1, "прервана"}},
        {"fault without a restart", false, true, {"конец", "", 180, -1, "сбой программы"}},
        {"crash restart",
         true,
         false,
         {"перезапуск", "", -1, -1, "Работа продолжена после сбоя программы"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(Folder());
        std::filesystem::remove(dir / "Crash.json");
        clock.SetNow(LocalTime{2024, 3, 1, 12, 0, 0});
        Open(false);
        ColumnCommand(kColumn3, kCommandStart);  // no mash sensor: refused, no entry
        Start();
        for (int minute = 0; minute < 3; ++minute) {
            clock.AdvanceSeconds(60);
            JournalTick();  // keeps the last time known
        }
        if (c.crash_file) {
            WriteFile(dir / "Crash.json", "{}");
        }
        clock.AdvanceSeconds(3600);  // the program is gone; a new one starts
        Open(c.resumed);
        const std::vector<JournalEvent> events = Events(1);
        ASSERT_FALSE(events.empty());
        ExpectLines({events.back()}, {c.end});
        EXPECT_EQ(JournalTimeText(events.back().time),
                  c.resumed ? "2024-03-01 13:03:00" : "2024-03-01 12:03:00");
        EXPECT_EQ(Files().size(), 1u);
        ColumnCommand(kColumn1, kCommandStop);
    }
    EXPECT_EQ(Events(1).back().text, "остановлена программой");
}

TEST_F(JournalTest, OldFilesGoByAgeThenBySizeAndTheRunningEntryStays) {
    std::filesystem::create_directories(Folder());
    const std::string kb(1024, 'x');
    for (const char* name : {"2023-02-28_10-00-00_col2.csv", "2023-03-02_10-00-00_col1.csv",
                             "2024-01-01_notes.csv", "2024-02-01_09-00-00_col3.csv", "other.csv"}) {
        WriteFile(Folder() / name, kb);
    }
    Open(false, JournalLimits{365, 3 * 1024});
    EXPECT_FALSE(std::filesystem::exists(Folder() / "2023-02-28_10-00-00_col2.csv"));
    EXPECT_TRUE(std::filesystem::exists(Folder() / "2023-03-02_10-00-00_col1.csv"));
    Start();  // a new run: the folder passes 3 KiB, the oldest goes
    std::vector<std::string> names;
    for (const JournalFile& file : Files()) {
        names.push_back(file.name);
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"2024-01-01_notes.csv", "2024-02-01_09-00-00_col3.csv",
                                        "2024-03-01_12-00-00_col1.csv"}));
    EXPECT_TRUE(std::filesystem::exists(Folder() / "other.csv"));
    EXPECT_EQ(TakeMessages().front(), "Журнал: удалён старый файл 2023-02-28_10-00-00_col2.csv");
}

// The page's answers read only journal files of the folder, never a path.
TEST_F(JournalTest, ThePageGetsTheRunsNewestFirstAndOnlyJournalFiles) {
    ColumnCommand(kColumn2, kCommandStart);  // refused: no still sensor
    Start();
    clock.AdvanceSeconds(5);
    JournalNote("Первая");
    const std::string folder = JournalFolder();
    WriteFile(dir / "secret.csv", "x");
    for (const char* name : {"../secret.csv", "/etc/passwd", "2024-03-01_12-00-00_col4.csv",
                             "2024-03-01_12-00-00_col1.csv/", ".alive", ""}) {
        std::string json;
        EXPECT_FALSE(JournalEntryJson(folder, name, json)) << name;
    }
    std::string json;
    ASSERT_TRUE(JournalEntryJson(folder, "2024-03-01_12-00-00_col1.csv", json));
    EXPECT_NE(json.find(R"("notes":[{"text":"Первая","time":"2024-03-01 12:00:05"}])"),
              std::string::npos)
        << json;
    const std::string list = JournalListJson(folder);
    EXPECT_NE(list.find(R"("ended":null)"), std::string::npos) << list;
    EXPECT_NE(list.find(R"("title":"Ректификация")"), std::string::npos) << list;

    // A note cut in the middle of a character by a power cut, one saved again in
    // Windows-1251: the bad bytes go out as U+FFFD, never as the library's error.
    std::ofstream(Folder() / "2024-03-01_12-00-00_col1.csv", std::ios::app)
        << "2024-03-01 12:00:06;1;заметка;;;;Отбор \xD0\n"
        << "2024-03-01 12:00:07;1;заметка;;;;\xC7\xE0\xEC\xE5\xF2\xEA\xE0\n";
    ASSERT_TRUE(JournalEntryJson(folder, "2024-03-01_12-00-00_col1.csv", json));
    for (const std::string& text : {json, JournalListJson(folder)}) {
        EXPECT_TRUE(IsValidUtf8(text)) << text;
        EXPECT_NE(text.find("\"Отбор \xEF\xBF\xBD\""), std::string::npos) << text;
        EXPECT_NE(text.find("\"\xEF\xBF\xBD\xEF\xBF\xBD"), std::string::npos) << text;
    }
}

}  // namespace
}  // namespace flextor::test
