// Whole runs of the columns on the simulated plant, and the faults that end them.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <iostream>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <thread>

#include "plant_e2e/plant_fixture.h"
#include "support/program_runner.h"

namespace flextor::test {
namespace {

namespace fs = std::filesystem;

const std::string kColumn1Started = "Начата работа колонки 1 (Ректификация)";
const std::string kColumn1Paused = "Работа колонки 1 (Ректификация) приостановлена (пауза)";
const std::string kColumn1Continued = "Продолжена работа колонки 1 (Ректификация)";
const std::string kTailsEnd = "Превышен порог температуры при работе клапана 3!";

using PlantRun = PlantRunFixture;

// The JSON at url; null when there is none.
nlohmann::json GetJson(const std::string& url) {
    const RunResult run = RunProgram("/usr/bin/curl", {"-s", "--max-time", "10", url});
    return nlohmann::json::parse(run.output, nullptr, false);
}

// The kinds in the "problems" of /api/status, sorted.
std::vector<std::string> ProblemKinds(uint16_t port) {
    const nlohmann::json status =
        GetJson("http://127.0.0.1:" + std::to_string(port) + "/api/status");
    std::vector<std::string> kinds;
    if (!status.is_object() || !status.contains("problems")) {
        return {"no answer"};
    }
    for (const auto& problem : status["problems"]) {
        kinds.push_back(problem["kind"]);
    }
    std::sort(kinds.begin(), kinds.end());
    return kinds;
}

// Semi-automatic: the column pauses after each automatic change from the
// stabilisation on, and the operator continues it with "Пуск". The wall clock,
// twice as fast, passes midnight near the end of the run, so the day's chart is
// saved: a day is saved with more than 59 samples, and the program's start, slow
// under an emulator, must not eat the seconds before midnight.
// A healthy plant raises no problem with one-minute check windows: both alarm
// sensors hold one reading at room temperature for the whole run, and the
// still sensor sits in column 2's cold pot, apart from column 1's.
TEST_F(PlantRun, Column1GoesThroughEveryModeWithItsPausesContinuedByTheStartButton) {
    ASSERT_NO_FATAL_FAILURE(StartPlant(R"({"kind": "stuck", "sensor": "atmosphere-tube"},
                                          {"kind": "stuck", "sensor": "condenser"})",
                                       true));
    WriteFile(dir / "Options.ini", "[Checks]\nHeatMinutes = 1\nStuckMinutes = 1\n");
    const std::string faketime = FakeTimeLibrary();
    std::vector<std::string> env;
    if (!faketime.empty()) {
        env = {"LD_PRELOAD=" + faketime, "FAKETIME=@2026-12-07 23:58:00 x2",
               "DONT_FAKE_MONOTONIC=1"};
    }
    ASSERT_NO_FATAL_FAILURE(StartProgram(env));
    ASSERT_NO_FATAL_FAILURE(PressStart(1, kColumn1Started));
    for (int pause = 1; pause <= 4; ++pause) {
        ASSERT_TRUE(WaitUntil([&] { return LogCount(kColumn1Paused) >= pause; }, kPlantRunLimit))
            << MessageLog();
        EXPECT_TRUE(Settles(kPinColumn1, 1));  // a paused column keeps its run line
        ASSERT_NO_FATAL_FAILURE(PressStart(1, kColumn1Continued));
    }
    ASSERT_NO_FATAL_FAILURE(WaitForLog(kTailsEnd));
    ASSERT_NO_FATAL_FAILURE(WaitForLog("Остановлена работа колонки 1 (Ректификация)"));

    const std::string log = MessageLog();
    size_t at = log.find(kColumn1Started);
    for (const char* mode : {"'Стабилизация'", "'Работа клапана 0 (Головная фракция 1)'",
                             "'Работа клапана 1 (Г. Фракция)'", "'Работа клапана 2 (Спирт)'",
                             "'Работа клапана 3 (Т. Фракция)'"}) {
        at = log.find("Режим работы колонки 1 (Ректификация) изменен на " + std::string(mode), at);
        ASSERT_NE(at, std::string::npos) << mode << "\n" << log;
    }
    EXPECT_NE(log.find("ШИМ клапана 2 снижен до 80  Температура датчика 3 составляет "),
              std::string::npos);
    EXPECT_EQ(LogCount(kColumn1Paused), 4);
    for (const char* problem :
         {"Показания датчика не меняются", "Нагрев без роста температуры", "Скачки показаний"}) {
        EXPECT_EQ(LogCount(problem), 0) << problem << "\n" << log;
    }

    // The valves opened one after the other, and nothing is left on.
    const double heads = FirstChange(kPinValve1, 1);
    const double spirit = FirstChange(kPinValve2, 1);
    const double tails = FirstChange(kPinValve3, 1);
    EXPECT_GT(heads, 0);
    EXPECT_GT(spirit, heads);
    EXPECT_GT(tails, spirit);
    for (uint16_t pin : {kPinColumn1, kPinValve1, kPinValve2, kPinValve3}) {
        EXPECT_TRUE(Settles(pin, 0)) << pin;
    }
    const std::vector<double> column = Readings(3);
    ASSERT_FALSE(column.empty());
    EXPECT_GE(*std::max_element(column.begin(), column.end()), 85.0);  // Valve3_Termo

    if (!faketime.empty()) {
        ASSERT_TRUE(
            WaitUntil([&] { return LogHas("Сохранение графика завершено"); }, kPlantRunLimit))
            << MessageLog();
        bool page = false;
        for (const auto& folder : fs::directory_iterator(dir / "График")) {
            page = page || (folder.path().filename().string().starts_with("08_12_2026__00_00_") &&
                            fs::exists(folder.path() / "1.png"));
        }
        EXPECT_TRUE(page);
    }
}

// The run and a note taken on the way end up in the journal, shown on the status page.
TEST_F(PlantRun, Column2HeatsItsPotUntilItsThreshold) {
    const std::string page = "http://127.0.0.1:" + std::to_string(FreePort());
    WriteFile(dir / "Remote.ini",
              "[Http]\nEnabled = 1\nAddress = 127.0.0.1\nPort = " + page.substr(17) + "\n");
    ASSERT_NO_FATAL_FAILURE(StartPlant(""));
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_NO_FATAL_FAILURE(PressStart(2, "Начата работа колонки 2 (Дистилляция)"));
    // "Журнал" (the menu bar's second title) → "Заметка…", the note typed, Return for OK.
    ASSERT_TRUE(x->Click(window, 127, 11));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_TRUE(x->Click(window, 127, 36));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    for (const char* key : {"o", "k", "Return"}) {
        ASSERT_TRUE(x->PressKey(key));
    }
    ASSERT_NO_FATAL_FAILURE(WaitForLog("Заметка: ok"));
    ASSERT_NO_FATAL_FAILURE(
        WaitForLog("Работа колонки 2 (Дистилляция) остановлена из-за превышения порога."));
    ASSERT_TRUE(Settles(kPinColumn2, 0));
    const double on = FirstChange(kPinColumn2, 1);
    EXPECT_GT(on, 0);
    EXPECT_GT(FirstChange(kPinColumn2, 0, on), on);
    const std::vector<double> pot = Readings(4);
    ASSERT_FALSE(pot.empty());
    const double hottest = *std::max_element(pot.begin(), pot.end());
    EXPECT_GE(hottest, 75.2);  // d4_Limit
    EXPECT_LT(hottest, 85.0);  // stopped at once

    const nlohmann::json list = GetJson(page + "/api/journal");
    ASSERT_TRUE(list.is_object()) << MessageLog();
    ASSERT_EQ(list["runs"].size(), 1u) << list.dump();
    const nlohmann::json& run2 = list["runs"][0];
    EXPECT_EQ(run2["title"], "Дистилляция");
    EXPECT_EQ(run2["ended"], "завершена");
    EXPECT_EQ(run2["notes"][0]["text"], "ok");
    const nlohmann::json entry = GetJson(page + "/api/journal/" + run2["name"].get<std::string>());
    ASSERT_TRUE(entry.is_object());
    std::vector<std::string> events;
    for (const auto& e : entry["events"]) {
        events.push_back(e["event"]);
    }
    EXPECT_EQ(events, (std::vector<std::string>{"начало", "заметка", "конец"}));
    EXPECT_TRUE(fs::exists(dir / "Журнал" / run2["name"].get<std::string>()));
}

// The plausibility checks with one-minute windows: column 2's heater dead and
// the still sensor stuck for its first 80 s, sensor 6 reading 50 °C low for a
// few seconds (a jump up would be taken: it switches sensor 6's heating off). (A stuck mash sensor
// would let column 3 heat the mash far enough for its first reading after to be a jump.) Each check
// fires and clears once, in the message log and in /api/status.
TEST_F(PlantRun, TheChecksFindADeadHeaterAStuckAndAJumpingSensorAndClearWhenTheyMend) {
    ASSERT_NO_FATAL_FAILURE(StartPlant(
        R"({"kind": "dead-heater", "output": "column2", "after": "column2", "until": 1600},
           {"kind": "stuck", "sensor": "still", "after": "column2", "until": 1600},
           {"kind": "jump", "sensor": "sensor6", "after": "column2", "at": 200, "until": 400,
            "by": -50})"));
    WriteFile(dir / "Options.ini", "[Checks]\nHeatMinutes = 1\nStuckMinutes = 1\n");
    const uint16_t port = FreePort();
    WriteFile(dir / "Remote.ini",
              "[Http]\nEnabled = 1\nAddress = 127.0.0.1\nPort = " + std::to_string(port) + "\n");
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    const auto start = std::chrono::steady_clock::now();
    ASSERT_NO_FATAL_FAILURE(PressStart(2, "Начата работа колонки 2 (Дистилляция)"));
    struct Check {
        const char* warning;
        const char* info;
        double fired = 0;
    } checks[] = {
        {"Скачки показаний: датчик 6 (Датчик 6)", "Показания снова правдоподобны: датчик 6"},
        {"Показания датчика не меняются: датчик 4 (д. Куб)", "Показания снова меняются: датчик 4"},
        {"Нагрев без роста температуры: колонка 2 (Дистилляция)",
         "Температура куба растёт: колонка 2 (Дистилляция)"},
    };
    for (Check& check : checks) {
        ASSERT_NO_FATAL_FAILURE(WaitForLog(check.warning));
        check.fired =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (&check == &checks[1]) {
            EXPECT_TRUE(WaitUntil(
                [&] {
                    return ProblemKinds(port) ==
                           std::vector<std::string>{"heat_without_rise", "stuck_sensor"};
                },
                std::chrono::seconds(30)))
                << testing::PrintToString(ProblemKinds(port));
        }
    }
    for (const Check& check : checks) {
        ASSERT_NO_FATAL_FAILURE(WaitForLog(check.info));
        std::cout << check.warning << ": " << check.fired << " s after column 2's start\n";
    }
    EXPECT_TRUE(WaitUntil([&] { return ProblemKinds(port).empty(); }, std::chrono::seconds(10)));
    for (const Check& check : checks) {
        EXPECT_EQ(LogCount(check.warning), 1) << MessageLog();
        EXPECT_EQ(LogCount(check.info), 1) << MessageLog();
    }
}

// The mash starts below the band: the lower output warms it in, fermentation
// takes it up to the upper threshold, where the upper output cools it back.
TEST_F(PlantRun, Column3HoldsTheMashInItsBand) {
    ASSERT_NO_FATAL_FAILURE(StartPlant(""));
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_NO_FATAL_FAILURE(PressStart(3, "Начата работа колонки 3 (Брага)"));
    double lower_off = -1;
    double upper_off = -1;
    ASSERT_TRUE(WaitUntil(
        [&] {
            lower_off = FirstChange(kPinMashLower, 0, FirstChange(kPinMashLower, 1));
            upper_off = FirstChange(kPinMashUpper, 0, FirstChange(kPinMashUpper, 1));
            return lower_off > 0 && upper_off > 0;
        },
        kPlantRunLimit))
        << TemperatureLog();
    EXPECT_LT(lower_off, upper_off);
    const std::vector<double> mash = Readings(5);
    auto inside = std::find_if(mash.begin(), mash.end(), [](double t) { return t >= 25.0; });
    ASSERT_NE(inside, mash.end());
    for (auto it = inside; it != mash.end(); ++it) {
        EXPECT_GE(*it, 24.4);
        EXPECT_LE(*it, 28.2);
    }
}

// A fault during a run and what it stops.
struct FaultCase {
    const char* name;
    const char* faults;
    std::vector<int> columns;                 // started, in this order
    std::vector<std::string> messages;        // all of them logged
    std::vector<uint16_t> low;                // pins low at the end
    std::vector<uint16_t> high;               // pins high at the end
    std::vector<std::vector<uint16_t>> keep;  // each group: one pin still switching
    bool latched = false;                     // the alarm latch with its blocking message
};

void PrintTo(const FaultCase& c, std::ostream* out) {
    *out << c.name;
}

class PlantFault : public PlantRunFixture, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(PlantFault, StopsWhatItMust) {
    const FaultCase& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(StartPlant(c.faults));
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    for (int column : c.columns) {
        ASSERT_NO_FATAL_FAILURE(
            PressStart(column, "Начата работа колонки " + std::to_string(column)));
    }
    for (const std::string& message : c.messages) {
        ASSERT_NO_FATAL_FAILURE(WaitForLog(message));
    }
    const double handled = History().back().time;  // the plant time when all was logged
    for (const auto& group : c.keep) {
        EXPECT_TRUE(WaitUntil(
            [&] {
                for (uint16_t pin : group) {
                    if (FirstChange(pin, 0, handled) > 0 || FirstChange(pin, 1, handled) > 0) {
                        return true;
                    }
                }
                return false;
            },
            kPlantRunLimit))
            << group[0];
    }
    for (uint16_t pin : c.low) {
        EXPECT_TRUE(Settles(pin, 0)) << pin;
    }
    for (uint16_t pin : c.high) {
        EXPECT_TRUE(Settles(pin, 1)) << pin;
    }
    EXPECT_EQ(LogHas("заблокирована до перезапуска программы!"), c.latched) << MessageLog();
}

INSTANTIATE_TEST_SUITE_P(
    Faults, PlantFault,
    ::testing::Values(
        FaultCase{"CondenserOverheat",
                  R"({"kind": "overheat", "sensor": "condenser", "after": "column1",
                      "at": 100, "to": 98, "rate": 0.5})",
                  {1, 2, 3},
                  {"Превышение порога датчика 2 (ав. Конденсатор)! Температура "},
                  {kPinColumn1, kPinColumn2, kPinValve1},
                  {kPinAlarm},
                  {{kPinSensor6}, {kPinMashUpper, kPinMashLower}},
                  true},
        FaultCase{"ColumnSensorUnplugged",
                  R"({"kind": "unplug", "sensor": "column", "after": "column1", "at": 100})",
                  {1},
                  {"Работа колонки 1 (Ректификация) остановлена из-за ошибки датчика!"},
                  {kPinColumn1},
                  {kPinAlarm},  // follows the failed sensor, without a latch
                  {}},
        FaultCase{
            "AdapterPulledOut",
            R"({"kind": "adapter-out", "after": "column1", "at": 100})",
            {1, 2, 3},
            {"Потеряна связь с портом ", "Остановлена работа колонки 1 (Ректификация)",
             "Остановлена работа колонки 2 (Дистилляция)", "Остановлена работа колонки 3 (Брага)"},
            {kPinColumn1, kPinColumn2, kPinMashUpper, kPinMashLower},
            {kPinAlarm},  // the alarm sensors went with the port: the alarm latches
            {},
            true}),
    [](const ::testing::TestParamInfo<FaultCase>& param) { return std::string(param.param.name); });

// A failure in the middle of the heads: the program restarts itself from its
// saved state and finishes the run.
TEST_F(PlantRun, ACrashInTheHeadsResumesAndFinishesTheRun) {
    ASSERT_NO_FATAL_FAILURE(StartPlant(""));
    ASSERT_NO_FATAL_FAILURE(StartProgram({"FLEXTOR_TEST_FAULTS=1"}));
    ASSERT_NO_FATAL_FAILURE(PressStart(1, kColumn1Started));
    ASSERT_NO_FATAL_FAILURE(WaitForLog("изменен на 'Работа клапана 1 (Г. Фракция)'"));
    ASSERT_TRUE(run->Signal(SIGSEGV));
    ASSERT_NO_FATAL_FAILURE(WaitForLog("Программа была перезапущена"));
    ASSERT_NO_FATAL_FAILURE(WaitForLog(kTailsEnd));
    // The failed instance gave its pins back; the new one opened the next valves.
    const double given_back = FirstChange(kPinColumn1, 0, FirstChange(kPinColumn1, 1));
    EXPECT_GT(given_back, 0);
    EXPECT_GT(FirstChange(kPinValve2, 1), given_back);
    EXPECT_GT(FirstChange(kPinValve3, 1), given_back);
    EXPECT_EQ(LogCount(kColumn1Started), 1) << MessageLog();
}

// A power cut while column 1 draws off spirit: the program and the plant
// killed together, the plant cooled for the outage, both started again.
struct PowerCutCase {
    const char* name;
    bool enabled;                  // Options.ini's [Resume] Enabled
    std::vector<std::string> env;  // of the second start
    double cooled;                 // s of plant time the plant cooled meanwhile
    const char* message;           // logged at the second start, or nullptr
    bool resumes;
    bool stopped_by_guard = false;  // the outputs guard's marker of a frozen program
};

void PrintTo(const PowerCutCase& c, std::ostream* out) {
    *out << c.name;
}

class PlantPowerCut : public PlantRunFixture, public ::testing::WithParamInterface<PowerCutCase> {};

TEST_P(PlantPowerCut, ResumesTheRunOnlyWhenItIsKnownToBeSafe) {
    const PowerCutCase& c = GetParam();
    std::vector<std::string> env = c.env;
    if (std::find(env.begin(), env.end(), "FAKETIME") != env.end()) {
        const std::string faketime = FakeTimeLibrary();
        if (faketime.empty()) {
            GTEST_SKIP() << "libfaketime is not installed";
        }
        env = {"FLEXTOR_CLOCK_SYNC=1", "LD_PRELOAD=" + faketime, "FAKETIME=+1200",
               "DONT_FAKE_MONOTONIC=1"};
    }
    WriteFile(dir / "Options.ini", std::string("[Resume]\nEnabled = ") + (c.enabled ? "1" : "0"));
    ASSERT_NO_FATAL_FAILURE(StartPlant(""));
    ASSERT_NO_FATAL_FAILURE(StartProgram({"FLEXTOR_CLOCK_SYNC=1"}));
    ASSERT_NO_FATAL_FAILURE(PressStart(1, kColumn1Started));
    ASSERT_NO_FATAL_FAILURE(WaitForLog("изменен на 'Работа клапана 2 (Спирт)'"));
    EXPECT_EQ(fs::exists(dir / "Resume.json"), c.enabled);
    ASSERT_NO_FATAL_FAILURE(CutPower());
    const size_t before_cut = History().size();

    ASSERT_NO_FATAL_FAILURE(StartPlant("", false, c.cooled));
    if (c.stopped_by_guard) {
        WriteFile(dir / "Frozen.txt", "08.12.2026 18:00:00\n");
    }
    ASSERT_NO_FATAL_FAILURE(StartProgram(env));
    if (c.message != nullptr) {
        ASSERT_NO_FATAL_FAILURE(WaitForLog(c.message));
    }
    if (c.resumes) {
        // Where it was: the spirit valve again, then the tails to their end.
        ASSERT_NO_FATAL_FAILURE(WaitForLog(kTailsEnd));
        const std::vector<PinChange> history = History();
        EXPECT_TRUE(std::any_of(
            history.begin() + before_cut, history.end(),
            [](const PinChange& change) { return change.pin == kPinValve2 && change.level == 1; }));
        EXPECT_EQ(LogCount(kColumn1Started), 1) << MessageLog();
    } else {
        std::this_thread::sleep_for(std::chrono::seconds(3));
        EXPECT_TRUE(Settles(kPinColumn1, 0));
        EXPECT_FALSE(LogHas("Работа возобновлена после перебоя питания")) << MessageLog();
        EXPECT_FALSE(fs::exists(dir / "Resume.json"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    PowerCuts, PlantPowerCut,
    ::testing::Values(
        PowerCutCase{"ShortCut",
                     true,
                     {"FLEXTOR_CLOCK_SYNC=1"},
                     20,
                     "Работа возобновлена после перебоя питания (программа не работала 0 мин ",
                     true},
        PowerCutCase{"TwentyMinutes",
                     true,
                     {"FAKETIME"},
                     1200,
                     "Работа не возобновлена: программа не работала 20 мин",
                     false},
        PowerCutCase{"UnsynchronisedClockHotPlant",
                     true,
                     {"FLEXTOR_CLOCK_SYNC=0"},
                     20,
                     "(время перебоя неизвестно (часы не синхронизированы), установка не остыла)",
                     true},
        PowerCutCase{"OptionOff", false, {"FLEXTOR_CLOCK_SYNC=1"}, 20, nullptr, false},
        // A program frozen and killed by its guard is never resumed: started by hand.
        PowerCutCase{"StoppedByTheGuard",
                     true,
                     {"FLEXTOR_CLOCK_SYNC=1"},
                     20,
                     "Работа не возобновлена: прошлый запуск остановлен сторожем выходов.",
                     false,
                     true}),
    [](const ::testing::TestParamInfo<PowerCutCase>& param) {
        return std::string(param.param.name);
    });

}  // namespace
}  // namespace flextor::test
