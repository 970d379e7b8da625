// The plant's last line of defence, each row a way the program can fail while
// column 1 heats: the failure path survives a second fault and a failure before
// the first cycle, a restart never undoes a Stop, a switch-off that fails
// latches the alarm, and whatever ends the program without a successor (the
// restart limit, kill -9, its Wayland display gone) leaves every output low:
// the program's own path or its outputs guard, within 2 s, saying so in the log.
// A program stopped (SIGSTOP) is killed by its guard once its control loop has
// been silent for the freeze time, and stays dead; a terminal's Ctrl-Z does not
// stop it. Without a guard that runs, column 1 neither resumes nor starts.
// An orderly close or a crash restart leaves the outputs to the program. Neither
// a second start on the same plant nor a journal file of bad bytes asked for by
// the status page disturbs a run.
// Pins given back are taken again whole however late their files come, an
// output that stays on keeps the alarm output on, and a run the disk could not
// keep up to date is not left to be resumed.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>

#include "core/crash/crash_state_read.h"
#include "e2e/restarting_program.h"
#include "support/late_gpio_pins.h"

namespace flextor::test {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;
using Clock = std::chrono::steady_clock;

constexpr milliseconds kLowLimit{2000};
constexpr char kGuardLine[] = "]  Программа завершилась аварийно: все выходы выключены.\n";

enum class Ending {
    kKilled,
    kGuardKilled,
    kCrashRestart,
    kClosed,
    kWaylandLost,
    kSegvThenBus,       // a second fault while the failure path runs
    kRestartLimit,      // the eleventh failure of a chain
    kStopThenSegv,      // "Стоп" pressed, then a fault before the next cycle
    kFaultAtStart,      // a failure before the first logic cycle
    kSwitchOffFails,    // an output whose switch-off keeps failing
    kActiveLowKilled,   // relay boards that close on a low input, then kill -9
    kFrozen,            // SIGTSTP, then SIGSTOP
    kGuardMissing,      // no guard beside the program
    kGuardNotRunnable,  // a guard without the right to run it
    kSecondStart,       // the program started again, in its folder and on its pins
    kBadJournal,        // a journal file that is not UTF-8, asked for by the page
    kGuardEndsAtOnce,   // a guard that ends as soon as it starts
    kActiveLowLate,  // as kActiveLowKilled, the pins exported at the start and again by the guard
                     // after the failure path gave them back, their files writable
                     // only a moment after the export (udev)
    kStuckKilled,    // an output whose switch-off fails, then kill -9
    kStuckClosed,    // an output whose switch-off fails, then an orderly close
    kResumeDiskFull  // the latch set with a full disk, the run kept for a power cut
};

struct Case {
    const char* name;
    Ending ending;
    uint8_t count = 1;  // restarts so far in the chain
};

constexpr uint16_t kPulsePin = kDefaultPinTable[0];
constexpr char kAlarmKeptOn[] =
    "не удалось выключить выходы GPIO4. Выход аварии оставлен включённым.\n";
constexpr int kStopButton[2] = {320, 394};  // column 1's "Стоп"
constexpr int kStartButton[2] = {64, 394};  // column 1's "Пуск"
constexpr seconds kFrozenLowLimit{20};      // the default freeze time is 15 s
constexpr char kFrozenLine[] =
    "]  Программа не отвечала 15 с и остановлена сторожем выходов: все выходы выключены.\n";

void PrintTo(const Case& row, std::ostream* out) {
    *out << row.name;
}

class FailSafeTest : public RestartingProgramTest, public ::testing::WithParamInterface<Case> {
  protected:
    // The one outputs guard running; 0 when there is none (or more than one).
    pid_t Guard() const {
        const std::vector<pid_t> guards = ProcessesOf(GuardProgram());
        return guards.size() == 1 ? guards[0] : 0;
    }

    bool AllLow() const {
        for (uint16_t pin : kDefaultPinTable) {
            if (gpio.Value(pin) != "0") {
                return false;
            }
        }
        return true;
    }

    // Kills pid (the program or what it depends on) and expects every output
    // low within 2 s, the pins given back and the guard's one line.
    void KillAndExpectOutputsLow(pid_t pid, const char* what) {
        const auto killed_at = Clock::now();
        ASSERT_EQ(kill(pid, SIGKILL), 0);
        while (!AllLow() && Clock::now() - killed_at < 2 * kLowLimit) {
            std::this_thread::sleep_for(milliseconds(2));
        }
        const auto took = std::chrono::duration_cast<milliseconds>(Clock::now() - killed_at);
        std::cout << GetParam().name << ": " << what << " killed, every output low after "
                  << took.count() << " ms\n";
        EXPECT_LT(took, kLowLimit);
        ASSERT_TRUE(WaitUntil([&] { return Guard() == 0; }, seconds(5))) << "the guard ends";
        // Read once the guard is gone: a value file being written reads empty.
        EXPECT_TRUE(AllLow());
        EXPECT_TRUE(gpio.Unexported().ends_with(AllPinNumbers())) << gpio.Unexported();
        EXPECT_EQ(Count(MessageLog(), kGuardLine), 1u) << MessageLog();
    }

    // The program first, waiting for its display as at login, then a private
    // weston on the headless backend; the program sees nothing of X.
    void StartOnWeston() {
        const std::string runtime = "XDG_RUNTIME_DIR=" + (dir / "xdg").string();
        fs::create_directory(dir / "xdg");
        chmod((dir / "xdg").c_str(), 0700);
        const std::string socket = "flextor-e2e";
        Start({"/CrashFile", (folder / "Crash.json").string()},
              {runtime, "WAYLAND_DISPLAY=" + socket, "GDK_BACKEND=wayland",
               "DISPLAY=", "FLEXTOR_DISPLAY_WAIT=30"});
        std::this_thread::sleep_for(seconds(1));
        weston = std::make_unique<RunningProgram>(
            "/usr/bin/weston",
            std::vector<std::string>{"--backend=headless-backend.so", "--socket=" + socket},
            std::vector<std::string>{runtime}, dir / "weston.txt");
        ASSERT_TRUE(weston->Started());
    }

    // A failure the path survives: the run restarted as the operator left it.
    void ExpectRestarted(bool running) {
        ASSERT_TRUE(run->WaitForExit(kFailureLimit)) << run->Output();
        ASSERT_TRUE(WaitUntil([&] { return RestartedInstance() != 0; }, kStartLimit))
            << MessageLog() << run->Output();
        ASSERT_TRUE(WaitUntil(
            [&] { return Count(MessageLog(), "Программа была перезапущена") == 2; }, kStartLimit))
            << MessageLog();
        const std::vector<fs::path> reports = ReportsIn(dir.path());
        ASSERT_EQ(reports.size(), 1u);
        const std::string report = ReadFile(reports[0]);
        ProgVarRecord saved;
        ASSERT_TRUE(ParseCrashState(report.substr(report.find("\n\r\n\r\n") + 5), saved)) << report;
        EXPECT_EQ(saved.Crash.Count, GetParam().count + 1);
        EXPECT_EQ(saved.Logic.Col1.Status, running ? 1 : 0);
        if (running) {
            EXPECT_TRUE(WaitUntil([&] { return gpio.Value(kRunPin) == "1"; }, kStartLimit));
        } else {
            std::this_thread::sleep_for(seconds(3));
            EXPECT_EQ(gpio.Value(kRunPin), "0") << "the Stop is not undone";
        }
    }

    // Started again in its own folder, then in another folder on the same
    // pins: refused before touching a pin or a log, with a box on the screen,
    // and the running instance logs it; its run, outputs and guard go on.
    void ExpectSecondStartsRefused(pid_t guard) {
        const std::string exported = gpio.Exported();
        const std::string unexported = gpio.Unexported();
        TempDir other;
        const struct {
            std::string home;
            std::string place;
        } starts[] = {{"", "папка " + folder.string() + "/"}, {other.str(), "выходы GPIO "}};
        for (const auto& start : starts) {
            RunningProgram second(program, {},
                                  {"DISPLAY=" + server.Display(), gpio.EnvironmentEntry(),
                                   "FLEXTOR_HOME=" + start.home},
                                  dir / "second.txt");
            ASSERT_TRUE(second.Started());
            const std::string line = "]  Второй запуск программы отклонён (процесс " +
                                     std::to_string(second.Pid()) +
                                     "): программа уже работает здесь, " + start.place;
            EXPECT_TRUE(WaitUntil([&] { return Contains(MessageLog(), line); }, kStartLimit))
                << MessageLog() << second.Output();
            EXPECT_TRUE(
                WaitUntil([&] { return x.CountWindows(kMainWindowTitle) == 2; }, kStartLimit))
                << "the refusal's box beside the main window";
            EXPECT_TRUE(Contains(second.Output(), "Второй запуск отклонён")) << second.Output();
            ASSERT_TRUE(second.Signal(SIGTERM));
            ASSERT_TRUE(second.WaitForExit(seconds(10)));
        }
        EXPECT_EQ(gpio.Exported(), exported);
        EXPECT_EQ(gpio.Unexported(), unexported);
        for (const auto& log : fs::directory_iterator(dir / "Log")) {
            EXPECT_TRUE(log.path().filename() == "run.log" ||
                        log.path().filename() == "Termo_run.log")
                << "only the running instance's logs: " << log.path();
        }
        EXPECT_FALSE(fs::exists(other / "Log")) << "no log made for nothing";
        EXPECT_EQ(gpio.Value(kRunPin), "1");
        EXPECT_EQ(Guard(), guard);
    }

    // A run's journal file of today cut in the middle of a Cyrillic character,
    // with a note saved again in Windows-1251; the page served on the loopback.
    std::string WriteBadJournalAndRemote() {
        const std::time_t now = std::time(nullptr);
        std::tm today{};
        localtime_r(&now, &today);
        char date[16];
        std::strftime(date, sizeof date, "%Y-%m-%d", &today);
        const std::string name = std::string(date) + "_00-00-01_col2.csv";
        fs::create_directory(dir / "Журнал");
        WriteFile(dir / "Журнал" / name,
                  "\xEF\xBB\xBFВремя;Колонка;Событие;Режим;Длительность;Объём, л;Текст\n" +
                      std::string(date) + " 00:00:01;2;начало;;;;Дистилляция\n" + date +
                      " 00:00:02;2;заметка;;;;\xC7\xE0\xEC\xE5\xF2\xEA\xE0\n" + date +
                      " 00:00:03;2;заметка;;;;Отбор \xD0\n");
        http_port = FreePort();
        WriteFile(dir / "Remote.ini", "[Http]\nEnabled = 1\nAddress = 127.0.0.1\nPort = " +
                                          std::to_string(http_port) + "\n");
        return name;
    }

    // Asked for again and again as an open page does: answered with U+FFFD for
    // the bad bytes, and the program goes on, nothing restarted.
    void ExpectBadJournalServed(const std::string& name, pid_t guard) {
        ASSERT_TRUE(WaitUntil([&] { return Contains(MessageLog(), "]  Страница состояния: http"); },
                              kStartLimit))
            << MessageLog();
        for (const std::string& path :
             std::vector<std::string>{"/api/journal", "/api/journal/" + name, "/api/journal"}) {
            const RunResult answer = RunProgram(
                "/usr/bin/curl", {"-s", "--max-time", "10", "-o", "-", "-w", "\n%{http_code}",
                                  "http://127.0.0.1:" + std::to_string(http_port) + path});
            EXPECT_TRUE(answer.output.ends_with("\n200")) << path << ": " << answer.output;
            const std::string body = answer.output.substr(0, answer.output.rfind('\n'));
            EXPECT_FALSE(nlohmann::json::parse(body, nullptr, false).is_discarded()) << body;
            EXPECT_TRUE(Contains(body, "Отбор \xEF\xBF\xBD")) << body;
        }
        std::this_thread::sleep_for(seconds(2));
        EXPECT_FALSE(run->WaitForExit(milliseconds(0))) << run->Output();
        EXPECT_EQ(gpio.Value(kRunPin), "1");
        EXPECT_EQ(Guard(), guard);
        EXPECT_TRUE(ReportsIn(dir.path()).empty());
        EXPECT_FALSE(Contains(MessageLog(), "ошибка при ответе на запрос")) << MessageLog();
    }

    // A process stopped by a signal: its state in /proc is T.
    static bool Stopped(pid_t pid) {
        const std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
        const size_t name_end = stat.rfind(')');
        return name_end != std::string::npos && stat.substr(name_end + 2, 1) == "T";
    }

    // Ctrl-Z changes nothing; a SIGSTOP leaves the outputs to the guard, which
    // kills the program and leaves a word for its next start.
    void FreezeAndExpectOutputsLow() {
        ASSERT_TRUE(run->Signal(SIGTSTP));
        std::this_thread::sleep_for(seconds(2));
        EXPECT_FALSE(Stopped(run->Pid())) << "Ctrl-Z does not suspend a controller";
        ASSERT_TRUE(run->Signal(SIGSTOP));
        const auto stopped_at = Clock::now();
        ASSERT_TRUE(WaitUntil([&] { return AllLow(); }, 2 * kFrozenLowLimit));
        const auto took = std::chrono::duration_cast<milliseconds>(Clock::now() - stopped_at);
        std::cout << "stopped program: every output low after " << took.count() << " ms\n";
        EXPECT_LT(took, kFrozenLowLimit);
        EXPECT_TRUE(run->WaitForExit(seconds(5))) << "killed by the guard";
        kill(run->Pid(), SIGCONT);
        std::this_thread::sleep_for(seconds(2));
        EXPECT_TRUE(AllLow());
        EXPECT_EQ(RestartedInstance(), 0) << "no restart";
        ASSERT_TRUE(WaitUntil([&] { return Guard() == 0; }, seconds(5))) << "the guard ends";
        EXPECT_EQ(Count(MessageLog(), kFrozenLine), 1u) << MessageLog();
        ASSERT_TRUE(fs::exists(dir / "Frozen.txt"));
        Start();
        EXPECT_TRUE(WaitUntil(
            [&] { return Contains(MessageLog(), "Прошлый запуск остановлен сторожем выходов ("); },
            kStartLimit))
            << MessageLog();
        EXPECT_FALSE(fs::exists(dir / "Frozen.txt"));
    }

    // Without a guard that runs: the crash restart's run of column 1 is not
    // taken up, or (fresh) its start button is refused, each with the reason.
    void ExpectColumn1Refused(const std::string& reason, bool resume) {
        if (resume) {
            Start({"/CrashFile", (folder / "Crash.json").string()});
        } else {
            Start();
        }
        ASSERT_TRUE(WaitUntil([&] { return Contains(MessageLog(), reason); }, kStartLimit))
            << MessageLog() << run->Output();
        WaitUntilRunning();
        if (resume) {
            ASSERT_TRUE(
                WaitUntil([&] { return Contains(MessageLog(), "заблокирована до перезапуска"); },
                          kStartLimit))
                << MessageLog();
        } else {
            const char refusal[] = "Колонка 1 (Ректификация) не запускается без сторожа выходов.";
            ASSERT_TRUE(WaitUntil(
                [&] {
                    return Contains(MessageLog(), refusal) ||
                           (x.Click(x.FindWindow(kMainWindowTitle, 1004), kStartButton[0],
                                    kStartButton[1]) &&
                            WaitUntil([&] { return Contains(MessageLog(), refusal); }, seconds(2)));
                },
                seconds(20)))
                << MessageLog();
        }
        std::this_thread::sleep_for(seconds(2));
        // Columns 1 and 2's outputs; column 3 and sensor 6 go on as their readings say.
        for (const int entry : {0, 1, 3, 4, 5, 6}) {
            const uint16_t pin = kDefaultPinTable[entry];
            EXPECT_EQ(gpio.Value(pin), "0") << "GPIO" << pin << "\n" << MessageLog();
        }
        EXPECT_FALSE(Contains(MessageLog(), "Начата работа колонки 1")) << MessageLog();
    }

    // A value file that takes no write: the pulsing output cannot go low.
    void StickPulseOutput() {
        fs::remove(gpio.PinFolder(kPulsePin) / "value");
        fs::create_directory(gpio.PinFolder(kPulsePin) / "value");
    }

    void ExpectAlarmLatched() {
        EXPECT_TRUE(WaitUntil([&] { return gpio.Value(kAlarmPin) == "1"; }, seconds(20)))
            << MessageLog();
        EXPECT_TRUE(WaitUntil(
            [&] {
                return Contains(MessageLog(),
                                "]  Выход GPIO4 (пульсирующий выход) не "
                                "выключается дольше 3 с! Включена авария.\n");
            },
            seconds(20)))
            << MessageLog();
        EXPECT_EQ(gpio.Value(kRunPin), "0") << "column 1 blocked";
    }

    // After the last process: the pulse output stuck on, the alarm output on,
    // every other output off.
    void ExpectAlarmKeptOn() {
        EXPECT_EQ(gpio.Value(kAlarmPin), "1") << "the horn goes on sounding";
        for (uint16_t pin : kDefaultPinTable) {
            if (pin != kPulsePin && pin != kAlarmPin) {
                EXPECT_EQ(gpio.Value(pin), "0") << pin;
            }
        }
    }

    std::unique_ptr<RunningProgram> weston;
    uint16_t http_port = 0;
};

// Column 1 draws heads, resumed from a state file: its run line is high.
TEST_P(FailSafeTest, LeavesThePlantAsTheOperatorLeftItOrEveryOutputLow) {
    const Ending ending = GetParam().ending;
    WriteHeadsRun(GetParam().count);
    WriteFile(dir / "Setting.ini",
              ReadFile(dir / "Setting.ini") + "[Logic]\nCheckStopColumn = 0\n");
    if (ending == Ending::kFaultAtStart) {
        WriteFile(dir / "fail-at-start", "");  // one failure, before the first cycle
        Start({"/CrashFile", (folder / "Crash.json").string()});
        ExpectRestarted(true);
        return;
    }
    if (ending == Ending::kGuardMissing) {
        fs::remove(GuardProgram());
        ExpectColumn1Refused("]  Не найден сторож выходов " + GuardProgram().string(), true);
        return;
    }
    if (ending == Ending::kGuardNotRunnable) {
        fs::permissions(GuardProgram(), fs::perms::owner_read | fs::perms::owner_write);
        ExpectColumn1Refused("]  Сторож выходов " + GuardProgram().string() + " не запускается (",
                             false);
        return;
    }
    if (ending == Ending::kGuardEndsAtOnce) {
        WriteFile(GuardProgram(), "#!/bin/sh\nexit 0\n");
        fs::permissions(GuardProgram(), fs::perms::owner_all);
        ExpectColumn1Refused("завершается раз за разом и больше не запускается", true);
        return;
    }
    if (ending == Ending::kSwitchOffFails || ending == Ending::kStuckKilled ||
        ending == Ending::kStuckClosed) {
        StickPulseOutput();
    }
    if (ending == Ending::kActiveLowKilled || ending == Ending::kActiveLowLate) {
        WriteFile(dir / "Options.ini", "[Outputs]\nActiveLow = 1\n");
    }
    const std::string journal = ending == Ending::kBadJournal ? WriteBadJournalAndRemote() : "";
    if (ending == Ending::kResumeDiskFull) {
        WriteFile(dir / "Options.ini", "[Resume]\nEnabled = 1\n");
    }
    std::unique_ptr<LateGpioPins> late;
    if (ending == Ending::kActiveLowLate) {
        // As after a boot: no pin exported, each made by the program's export.
        for (uint16_t pin : kDefaultPinTable) {
            gpio.RemovePin(pin);
        }
        late = std::make_unique<LateGpioPins>(gpio);
    }
    if (ending != Ending::kWaylandLost) {
        Start({"/CrashFile", (folder / "Crash.json").string()});
    } else if (!fs::exists("/usr/bin/weston")) {
        GTEST_SKIP() << "weston is not installed: no Wayland compositor to lose";
    } else {
        StartOnWeston();
    }
    ASSERT_TRUE(WaitUntil([&] { return gpio.Value(kRunPin) == "1"; }, kStartLimit))
        << MessageLog() << run->Output();
    const pid_t guard = Guard();
    ASSERT_NE(guard, 0);
    switch (ending) {
        case Ending::kKilled:
            KillAndExpectOutputsLow(run->Pid(), "the program");
            break;
        case Ending::kGuardKilled:
            ASSERT_EQ(kill(guard, SIGKILL), 0);
            ASSERT_TRUE(WaitUntil(
                [&] {
                    return Guard() != 0 && Guard() != guard &&
                           Contains(MessageLog(),
                                    "]  Сторож выходов завершился и запущен снова.\n");
                },
                seconds(10)))
                << MessageLog();
            EXPECT_EQ(gpio.Value(kRunPin), "1") << "the outputs stay as the program drives them";
            KillAndExpectOutputsLow(run->Pid(), "the program");
            break;
        case Ending::kCrashRestart: {
            ASSERT_TRUE(run->Signal(SIGSEGV));
            pid_t restarted = 0;
            ASSERT_TRUE(
                WaitUntil([&] { return (restarted = RestartedInstance()) != 0; }, kStartLimit));
            ASSERT_TRUE(
                WaitUntil([&] { return Count(MessageLog(), "Программа была перезапущена") == 2; },
                          kStartLimit))
                << MessageLog();
            ASSERT_TRUE(WaitUntil([&] { return gpio.Value(kRunPin) == "1"; }, kStartLimit));
            EXPECT_EQ(Guard(), guard) << "the same guard watches the restarted instance";
            EXPECT_FALSE(Contains(MessageLog(), "Программа завершилась аварийно")) << MessageLog();
            EXPECT_FALSE(Contains(MessageLog(), "Сторож выходов")) << MessageLog();
            KillAndExpectOutputsLow(restarted, "the restarted instance");
            break;
        }
        case Ending::kClosed:
            ASSERT_TRUE(run->Signal(SIGTERM));
            ASSERT_TRUE(run->WaitForExit(kFailureLimit)) << run->Output();
            EXPECT_EQ(run->ExitCode(), 0);
            EXPECT_TRUE(WaitUntil([&] { return Guard() == 0; }, seconds(5)));
            EXPECT_TRUE(AllLow()) << "the shutdown drives them low itself";
            EXPECT_FALSE(Contains(MessageLog(), "Программа завершилась аварийно")) << MessageLog();
            break;
        case Ending::kWaylandLost:
            KillAndExpectOutputsLow(weston->Pid(), "weston");
            EXPECT_TRUE(run->WaitForExit(seconds(5))) << "GDK ends the program";
            break;
        case Ending::kSegvThenBus:
            ASSERT_TRUE(run->Signal(SIGSEGV));
            std::this_thread::sleep_for(milliseconds(50));
            ASSERT_TRUE(run->Signal(SIGBUS));
            ExpectRestarted(true);
            break;
        case Ending::kRestartLimit:
            ASSERT_TRUE(run->Signal(SIGSEGV));
            ASSERT_TRUE(run->WaitForExit(kFailureLimit)) << run->Output();
            EXPECT_EQ(RestartedInstance(), 0);
            EXPECT_TRUE(AllLow()) << "driven low by the failure path itself";
            EXPECT_TRUE(Contains(
                MessageLog(), "]  Превышено число перезапусков. Программа не была перезапущена!\n"))
                << MessageLog();
            EXPECT_FALSE(fs::exists(dir / "Crash.json"));
            EXPECT_TRUE(ReportsIn(dir.path()).empty());
            break;
        case Ending::kStopThenSegv:
            // A window just shown may miss its first click on a loaded machine.
            ASSERT_TRUE(WaitUntil(
                [&] {
                    return Contains(MessageLog(), "Остановлена работа колонки 1") ||
                           (x.Click(x.FindWindow(kMainWindowTitle, 1004), kStopButton[0],
                                    kStopButton[1]) &&
                            WaitUntil(
                                [&] {
                                    return Contains(MessageLog(), "Остановлена работа колонки 1");
                                },
                                seconds(2)));
                },
                seconds(20)))
                << MessageLog();
            std::this_thread::sleep_for(milliseconds(150));
            ASSERT_TRUE(run->Signal(SIGSEGV));
            ExpectRestarted(false);
            break;
        case Ending::kSwitchOffFails:
            ExpectAlarmLatched();
            break;
        case Ending::kStuckKilled:
            ExpectAlarmLatched();
            ASSERT_EQ(kill(run->Pid(), SIGKILL), 0);
            ASSERT_TRUE(WaitUntil([&] { return Guard() == 0; }, seconds(10))) << "the guard ends";
            ExpectAlarmKeptOn();
            EXPECT_TRUE(Contains(MessageLog(),
                                 std::string("]  Программа завершилась аварийно: ") + kAlarmKeptOn))
                << MessageLog();
            break;
        case Ending::kStuckClosed:
            ExpectAlarmLatched();
            ASSERT_TRUE(run->Signal(SIGTERM));
            ASSERT_TRUE(run->WaitForExit(kFailureLimit)) << run->Output();
            EXPECT_TRUE(WaitUntil([&] { return Guard() == 0; }, seconds(5)));
            ExpectAlarmKeptOn();
            // At the start, and at the shutdown.
            EXPECT_EQ(Count(MessageLog(), std::string("]  Не удалось выключить выходы GPIO4. "
                                                      "Выход аварии оставлен включённым.\n")),
                      2u)
                << MessageLog();
            break;
        case Ending::kActiveLowLate: {
            for (uint16_t pin : kDefaultPinTable) {
                const LateGpioPins::PinFiles files = late->LeftAt(pin);
                EXPECT_EQ(files.active_low, "1") << pin;
                EXPECT_EQ(files.direction, "high") << pin;
            }
            // Given back by the failure path; killed in its pause before the
            // restart, so the guard has to export every pin again.
            ASSERT_TRUE(run->Signal(SIGSEGV));
            ASSERT_TRUE(WaitUntil([&] { return late->AllGone(); }, seconds(10)));
            ASSERT_EQ(kill(run->Pid(), SIGKILL), 0);
            ASSERT_TRUE(WaitUntil([&] { return Guard() == 0; }, seconds(10))) << "the guard ends";
            ASSERT_TRUE(WaitUntil([&] { return late->AllGone(); }, seconds(5)));
            for (uint16_t pin : kDefaultPinTable) {
                const LateGpioPins::PinFiles files = late->LeftAt(pin);
                EXPECT_EQ(files.active_low, "1") << pin;
                EXPECT_EQ(files.direction, "high") << pin;
                EXPECT_EQ(files.value, "0") << pin;
            }
            EXPECT_EQ(Count(MessageLog(), kGuardLine), 1u) << MessageLog();
            break;
        }
        case Ending::kResumeDiskFull: {
            const fs::path saved = dir / "Resume.json";
            ASSERT_TRUE(WaitUntil([&] { return fs::exists(saved); }, seconds(10)));
            WriteFile(dir / "disk-full", "");
            StickPulseOutput();
            ExpectAlarmLatched();
            ASSERT_TRUE(WaitUntil(
                [&] {
                    return Contains(MessageLog(),
                                    "]  Файл состояния для возобновления после "
                                    "перебоя питания удалён: его не удалось "
                                    "обновить. ");
                },
                seconds(10)))
                << MessageLog();
            ASSERT_EQ(kill(run->Pid(), SIGKILL), 0);
            ASSERT_TRUE(WaitUntil([&] { return Guard() == 0; }, seconds(10))) << "the guard ends";
            EXPECT_FALSE(fs::exists(saved)) << "no run without its latch to resume";
            ExpectAlarmKeptOn();
            break;
        }
        case Ending::kActiveLowKilled:
            // Each pin an output at its off level from the start: the kernel's
            // active_low inverts every value written, the guard's "0" too.
            for (uint16_t pin : kDefaultPinTable) {
                EXPECT_EQ(ReadFile(gpio.PinFolder(pin) / "active_low"), "1") << pin;
                EXPECT_EQ(gpio.Direction(pin), "high") << pin;
            }
            KillAndExpectOutputsLow(run->Pid(), "the program");
            break;
        case Ending::kSecondStart:
            ExpectSecondStartsRefused(guard);
            KillAndExpectOutputsLow(run->Pid(), "the program");
            break;
        case Ending::kBadJournal:
            ExpectBadJournalServed(journal, guard);
            KillAndExpectOutputsLow(run->Pid(), "the program");
            break;
        case Ending::kFrozen:
            FreezeAndExpectOutputsLow();
            break;
        case Ending::kFaultAtStart:
        case Ending::kGuardMissing:
        case Ending::kGuardNotRunnable:
        case Ending::kGuardEndsAtOnce:
            break;
    }
}

INSTANTIATE_TEST_SUITE_P(FailSafe, FailSafeTest,
                         ::testing::Values(Case{"KilledProgram", Ending::kKilled},
                                           Case{"KilledGuard", Ending::kGuardKilled},
                                           Case{"CrashRestart", Ending::kCrashRestart},
                                           Case{"OrderlyClose", Ending::kClosed},
                                           Case{"WaylandDisplayLost", Ending::kWaylandLost},
                                           Case{"SegvThenBus", Ending::kSegvThenBus},
                                           Case{"RestartLimit", Ending::kRestartLimit, 10},
                                           Case{"StopThenSegv", Ending::kStopThenSegv},
                                           Case{"FaultBeforeTheFirstCycle", Ending::kFaultAtStart},
                                           Case{"SwitchOffFails", Ending::kSwitchOffFails},
                                           Case{"ActiveLowKilled", Ending::kActiveLowKilled},
                                           Case{"SecondStart", Ending::kSecondStart},
                                           Case{"BadJournalAsked", Ending::kBadJournal},
                                           Case{"StoppedProgram", Ending::kFrozen},
                                           Case{"GuardMissing", Ending::kGuardMissing},
                                           Case{"GuardNotRunnable", Ending::kGuardNotRunnable},
                                           Case{"GuardEndsAtOnce", Ending::kGuardEndsAtOnce},
                                           Case{"ActiveLowPinsComeLate", Ending::kActiveLowLate},
                                           Case{"SwitchOffFailsThenKilled", Ending::kStuckKilled},
                                           Case{"SwitchOffFailsThenClosed", Ending::kStuckClosed},
                                           Case{"LatchOnAFullDisk", Ending::kResumeDiskFull}),
                         [](const ::testing::TestParamInfo<Case>& param_info) {
                             return std::string(param_info.param.name);
                         });

}  // namespace
}  // namespace flextor::test
