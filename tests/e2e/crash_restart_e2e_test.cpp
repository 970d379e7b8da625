// The real program failing in the ways a long run can fail: a fault on the GUI
// thread, on the polling thread, inside the allocator, and a GUI thread that
// hangs. Each time the pins are given back, the state and a report are saved and
// a new instance starts with "/CrashFile" in the program folder.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <set>
#include <thread>

#include "core/crash/crash_state_json.h"
#include "core/crash/crash_state_read.h"
#include "core/state/program_state.h"
#include "core/version.h"
#include "e2e/running_program.h"
#include "e2e/x_display.h"
#include "owsim/sim_bus.h"
#include "support/fake_gpio_folder.h"
#include "support/program_runner.h"
#include "support/temp_dir.h"
#include "support/x_server.h"

namespace flextor::test {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;
using std::chrono::seconds;

// Generous: the machine running the tests is shared. A hang takes 10 s to notice.
constexpr seconds kStartLimit{60};
constexpr seconds kFailureLimit{60};

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

constexpr uint16_t kRunPin = kDefaultPinTable[1];     // column 1's run line
constexpr uint16_t kAlarmPin = kDefaultPinTable[10];  // the alarm output
constexpr double kHeadsDrawn = 0.5;                   // litres of heads drawn before

size_t Count(const std::string& text, const std::string& piece) {
    size_t n = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) {
        ++n;
    }
    return n;
}

// The thread of pid whose name is name; 0 when there is none.
pid_t ThreadNamed(pid_t pid, const std::string& name) {
    std::error_code error;
    for (const auto& task :
         fs::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
        if (ReadFile(task.path() / "comm") == name + "\n") {
            return static_cast<pid_t>(std::stol(task.path().filename().string()));
        }
    }
    return 0;
}

std::vector<std::string> CommandLineOf(pid_t pid) {
    const std::string text = ReadFile("/proc/" + std::to_string(pid) + "/cmdline");
    std::vector<std::string> args;
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find('\0', start);
        args.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return args;
}

std::vector<fs::path> ReportsIn(const fs::path& folder) {
    std::vector<fs::path> reports;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().starts_with("Crash_")) {
            reports.push_back(entry.path());
        }
    }
    return reports;
}

// "dd_mm_yyyy__hh_mm_ss" of the local time t.
std::string Stamp(time_t t) {
    tm local{};
    localtime_r(&t, &local);
    char text[32];
    strftime(text, sizeof text, "%d_%m_%Y__%H_%M_%S", &local);
    return text;
}

enum class FaultKind { kGuiSegv, kPollSegv, kAllocator, kHang };

struct Fault {
    const char* name;
    FaultKind kind;
    const char* failure_text;
    std::set<std::string> marked_files;  // where the failing thread may have been
};

void PrintTo(const Fault& fault, std::ostream* out) {
    *out << fault.name;
}

class CrashFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!server.Running()) {
            GTEST_SKIP() << "Xvfb could not be started: there is no display for the program";
        }
        if (!XLibrariesBuiltIn()) {
            GTEST_SKIP() << "built without the X libraries";
        }
        program = fs::canonical(InstallProgram("flextor", dir.path()));
        folder = fs::canonical(dir.path());
        ASSERT_TRUE(x.Open());
        ASSERT_TRUE(bus.Start());
        for (int role = 1; role <= 6; ++role) {
            roles.push_back(bus.AddSensor(0x28, 0xC0DE00 + role, role == 3 ? 785 : 250));
        }
        std::string sensors;
        for (int role = 1; role <= 6; ++role) {
            int64_t id = 0;
            std::memcpy(&id, roles[role - 1].data(), sizeof id);
            sensors += "ID_" + std::to_string(role) + " = " + std::to_string(id) + "\nUse_" +
                       std::to_string(role) + " = " + std::to_string(role) + "\n";
        }
        WriteFile(dir / "Setting.ini", "\xEF\xBB\xBF\n[Sensor]\nPortName = " + bus.PortName() +
                                           "\nSerial = 0\nSensorsCount = 6\n" + sensors);
    }

    // A run of column 1 drawing heads (mode 3), saved as a failure leaves it, in
    // the log file run.log; count restarts so far in the chain.
    void WriteHeadsRun(uint8_t count = 1) {
        ProgVarRecord state;
        state.LogInfo_FileName = (folder / "Log" / "run.log").string();
        state.LogTermo_FileName = (folder / "Log" / "Termo_run.log").string();
        for (int role = 1; role <= 6; ++role) {
            SensorParam row;
            std::memcpy(&row.ID, roles[role - 1].data(), sizeof row.ID);
            row.Use = static_cast<uint8_t>(role);
            row.Flag = kFlagTemperatureSensor;
            state.Sensors.Sensor.push_back(row);
        }
        state.Logic.Col1.Status = 1;
        state.Logic.Col1.Mode = 3;
        state.Logic.Col1.v1_Volume = kHeadsDrawn;
        state.Logic.Col1.VolumePWM = 0.001;  // litres a second
        state.Crash = {count, "Билд: 94; Строка: 1; Файл 'x.cpp'; Ошибка: Abort signal"};
        WriteFile(dir / "Crash.json", FormatCrashStateJson(state));
    }

    // Every instance of the program ends with the test, the restarted ones too.
    void TearDown() override {
        for (pid_t pid : ProcessesOf(program)) {
            kill(pid, SIGKILL);
        }
    }

    void Start(std::vector<std::string> args = {}, std::vector<std::string> env = {}) {
        env.insert(env.end(), {"DISPLAY=" + server.Display(), gpio.EnvironmentEntry(),
                               "FLEXTOR_TEST_FAULTS=1"});
        run = std::make_unique<RunningProgram>(program, args, env, dir / "output.txt");
        ASSERT_TRUE(run->Started());
    }

    // The window up and, unless the run has no sensors, the sensors read: the
    // timers and the polling thread run.
    void WaitUntilRunning(bool with_sensors = true) {
        ASSERT_TRUE(WaitUntil(
            [&] {
                return x.FindWindow(kMainWindowTitle, 1004) != 0 &&
                       (!with_sensors || bus.Reads(roles[2]) >= 2);
            },
            kStartLimit))
            << run->Output();
    }

    void Inject(FaultKind kind) {
        switch (kind) {
            case FaultKind::kGuiSegv:
                ASSERT_TRUE(run->Signal(SIGSEGV));
                break;
            case FaultKind::kAllocator:
                ASSERT_TRUE(run->Signal(SIGUSR2));
                break;
            case FaultKind::kHang:
                ASSERT_TRUE(run->Signal(SIGUSR1));
                break;
            case FaultKind::kPollSegv: {
                const pid_t thread = ThreadNamed(run->Pid(), "flextor-poll");
                ASSERT_NE(thread, 0);
                ASSERT_EQ(syscall(SYS_tgkill, run->Pid(), thread, SIGSEGV), 0);
                break;
            }
        }
    }

    // The instance started by the failed one: its pid, or 0.
    pid_t RestartedInstance() const {
        for (pid_t pid : ProcessesOf(program)) {
            if (pid != run->Pid() &&
                CommandLineOf(pid) == std::vector<std::string>{program.string(), "/CrashFile",
                                                               (folder / "Crash.json").string()}) {
                return pid;
            }
        }
        return 0;
    }

    std::string MessageLog() const {
        std::string all;
        for (const auto& entry : fs::directory_iterator(dir / "Log")) {
            if (!entry.path().filename().string().starts_with("Termo_")) {
                all += ReadFile(entry.path());
            }
        }
        return all;
    }

    PrivateXServer server;
    XDisplay x{server.Display()};
    TempDir dir;
    FakeGpioFolder gpio;
    owsim::SimBus bus;
    std::vector<owsim::RomCode> roles;
    fs::path program;
    fs::path folder;  // as the program sees its own folder
    std::unique_ptr<RunningProgram> run;
};

class CrashRestartTest : public CrashFixture, public ::testing::WithParamInterface<Fault> {};

// Column 1 draws heads when the fault comes; the new instance takes the run up
// in its mode, with its volume, in the same log file.
TEST_P(CrashRestartTest, SavesTheStateAndAReportAndStartsANewInstance) {
    const Fault& fault = GetParam();
    WriteHeadsRun();
    Start({"/CrashFile", (folder / "Crash.json").string()});
    WaitUntilRunning();
    ASSERT_TRUE(WaitUntil([&] { return gpio.Value(kRunPin) == "1"; }, kStartLimit))
        << MessageLog() << run->Output();
    ASSERT_EQ(gpio.Value(kAlarmPin), "0");
    std::atomic<bool> alarm_pulsed{false};
    std::atomic<bool> watching{true};
    std::thread alarm_watch([&] {
        while (watching && !alarm_pulsed) {
            alarm_pulsed = gpio.Value(kAlarmPin) == "1";
            std::this_thread::sleep_for(milliseconds(5));
        }
    });
    const auto failed_at = std::chrono::steady_clock::now();
    Inject(fault.kind);
    ASSERT_TRUE(run->WaitForExit(kFailureLimit)) << run->Output();
    EXPECT_EQ(run->ExitCode(), 1);
    pid_t restarted = 0;
    const bool restart_seen =
        WaitUntil([&] { return (restarted = RestartedInstance()) != 0; }, kStartLimit);
    const bool window_seen =
        restart_seen &&
        WaitUntil([&] { return x.FindWindow(kMainWindowTitle, 1004) != 0; }, kStartLimit) &&
        WaitUntil([&] { return alarm_pulsed && gpio.Value(kAlarmPin) == "0"; }, seconds(5));
    watching = false;
    alarm_watch.join();
    ASSERT_TRUE(restart_seen) << MessageLog() << run->Output();
    ASSERT_TRUE(window_seen);
    EXPECT_EQ(fs::read_symlink("/proc/" + std::to_string(restarted) + "/cwd"), folder);
    EXPECT_TRUE(alarm_pulsed) << "the restart gives the alarm output its short pulse";
    EXPECT_EQ(gpio.Value(kRunPin), "1") << "column 1 runs on";
    std::cout << fault.name << ": a new window "
              << std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() -
                                                          failed_at)
                     .count()
              << " ms after the fault\n";

    // Given back once, by the failing instance, without an orderly shutdown.
    EXPECT_EQ(gpio.Unexported().substr(0, AllPinNumbers().size()), AllPinNumbers());
    const std::vector<fs::path> reports = ReportsIn(dir.path());
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(reports[0].filename().string().starts_with("Crash__"));
    const std::string report = ReadFile(reports[0]);
    const std::string err_start = "Билд: 94; Строка: ";
    ASSERT_TRUE(report.starts_with("\xEF\xBB\xBF" + err_start)) << report;
    const size_t err_end = report.find("\n\r\n\r\n");
    ASSERT_NE(err_end, std::string::npos) << report;
    const std::string err = report.substr(3, err_end - 3);
    const std::string json = report.substr(err_end + 5);
    EXPECT_TRUE(err.ends_with("'; Ошибка: " + std::string(fault.failure_text))) << err;
    const size_t file_start = err.find("; Файл '") + std::strlen("; Файл '");
    const std::string file = err.substr(file_start, err.find('\'', file_start) - file_start);
    EXPECT_TRUE(fault.marked_files.contains(file)) << err;
    EXPECT_GT(std::stoi(err.substr(err_start.size())), 0) << err;
    // The first instance was itself a resumed run: this is the second failure of the chain.
    EXPECT_TRUE(json.starts_with("{") &&
                json.ends_with("\"Crash\":{\"Count\":2,\"Err\":\"" + err + "\"}}"))
        << json;
    // The resumed instance deletes the state file once it has read it.
    if (fs::exists(dir / "Crash.json")) {
        EXPECT_EQ(ReadFile(dir / "Crash.json"), json);
    }
    ProgVarRecord saved;
    ASSERT_TRUE(ParseCrashState(json, saved));
    EXPECT_EQ(saved.Logic.Col1.Status, 1);
    EXPECT_EQ(saved.Logic.Col1.Mode, 3);
    EXPECT_GT(saved.Logic.Col1.v1_Volume, kHeadsDrawn) << "metering went on after the resume";
    // One log file for the whole chain: the first resume, the failure, the restart.
    ASSERT_TRUE(WaitUntil(
        [&] {
            return Count(ReadFile(dir / "Log" / "run.log"), "Программа была перезапущена") == 2;
        },
        seconds(5)))
        << ReadFile(dir / "Log" / "run.log");
    EXPECT_TRUE(Contains(
        ReadFile(dir / "Log" / "run.log"),
        "]  В программе обнаружена ошибка и она будет перезапущена. Подробности - " + err + "\n"));
}

INSTANTIATE_TEST_SUITE_P(
    CrashFaults, CrashRestartTest,
    ::testing::Values(
        Fault{"GuiThreadSegv",
              FaultKind::kGuiSegv,
              "Segmentation violation",
              {"logic_cycle.cpp", "refresh_outputs.cpp", "chart_tick.cpp", "main_window.cpp",
               "column_command.cpp"}},
        Fault{"PollingThreadSegv",
              FaultKind::kPollSegv,
              "Segmentation violation",
              {"polling_loop.cpp"}},
        Fault{"DoubleFreeInsideTheAllocator",
              FaultKind::kAllocator,
              "Abort signal",
              {"test_faults.cpp"}},
        Fault{"HungGuiThread", FaultKind::kHang, "Программа не отвечает", {"test_faults.cpp"}}),
    [](const ::testing::TestParamInfo<Fault>& param_info) {
        return std::string(param_info.param.name);
    });

// A report from a failure earlier in the same second keeps its name; the new one
// takes the first free number.
TEST_F(CrashRestartTest, ASecondReportInTheSameSecondIsNumbered) {
    Start();
    WaitUntilRunning();
    const time_t now = time(nullptr);
    for (time_t t = now - 2; t <= now + 10; ++t) {
        WriteFile(dir / ("Crash__" + Stamp(t) + ".txt"), "earlier");
    }
    ASSERT_TRUE(run->Signal(SIGSEGV));
    ASSERT_TRUE(run->WaitForExit(kFailureLimit)) << run->Output();
    std::vector<fs::path> numbered;
    for (const fs::path& report : ReportsIn(dir.path())) {
        const std::string name = report.filename().string();
        if (name.starts_with("Crash__")) {
            EXPECT_EQ(ReadFile(report), "earlier") << name;
        } else {
            numbered.push_back(report);
        }
    }
    ASSERT_EQ(numbered.size(), 1u);
    EXPECT_TRUE(numbered[0].filename().string().starts_with("Crash_1__")) << numbered[0];
    EXPECT_TRUE(ReadFile(numbered[0])
                    .starts_with("\xEF\xBB\xBF"
                                 "Билд: 94; "));
}

// Installed, the executable sits apart from the program folder, which the
// launcher names in FLEXTOR_HOME: the restarted instance inherits it and works
// in the same folder, leaving the executable's alone.
TEST_F(CrashRestartTest, AProgramFolderOfTheUsersOwnIsKeptAcrossTheRestart) {
    fs::create_directories(dir / "bin");
    program = fs::canonical(InstallProgram("flextor", dir / "bin"));
    Start({}, {"FLEXTOR_HOME=" + folder.string()});
    WaitUntilRunning();
    ASSERT_TRUE(run->Signal(SIGSEGV));
    ASSERT_TRUE(run->WaitForExit(kFailureLimit)) << run->Output();
    pid_t restarted = 0;
    ASSERT_TRUE(WaitUntil([&] { return (restarted = RestartedInstance()) != 0; }, kStartLimit))
        << run->Output();
    EXPECT_EQ(fs::read_symlink("/proc/" + std::to_string(restarted) + "/cwd"), folder);
    EXPECT_TRUE(WaitUntil([&] { return Contains(MessageLog(), "Программа была перезапущена"); },
                          kStartLimit))
        << MessageLog();
    EXPECT_EQ(ReportsIn(dir.path()).size(), 1u);
    // The executable alone.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "bin"), fs::directory_iterator()), 1);
}

// The plant's last line of defence: failures the failure path must survive, and
// ways out with no successor. Column 1 draws heads (its run line high) when each
// comes; the row says how the plant must be left.
enum class FailSafeAct { kSegvThenBus, kSegvAtLimit, kStopThenSegv, kFaultAtStart, kStuckPin };
enum class Left { kRunning, kStopped, kAllLow, kAlarmLatched };

struct FailSafeCase {
    const char* name;
    FailSafeAct act;
    uint8_t count;  // restarts so far in the chain
    Left left;
};

void PrintTo(const FailSafeCase& row, std::ostream* out) {
    *out << row.name;
}

constexpr uint16_t kPulsePin = kDefaultPinTable[0];
constexpr int kStopButton[2] = {320, 394};  // column 1's "Стоп"

class FailSafeTest : public CrashFixture, public ::testing::WithParamInterface<FailSafeCase> {
  protected:
    void Act(FailSafeAct act) {
        switch (act) {
            case FailSafeAct::kSegvThenBus:
                ASSERT_TRUE(run->Signal(SIGSEGV));
                std::this_thread::sleep_for(milliseconds(50));
                ASSERT_TRUE(run->Signal(SIGBUS));
                break;
            case FailSafeAct::kSegvAtLimit:
                ASSERT_TRUE(run->Signal(SIGSEGV));
                break;
            case FailSafeAct::kStopThenSegv:
                ASSERT_TRUE(
                    x.Click(x.FindWindow(kMainWindowTitle, 1004), kStopButton[0], kStopButton[1]));
                ASSERT_TRUE(WaitUntil(
                    [&] { return Contains(MessageLog(), "Остановлена работа колонки 1"); },
                    seconds(10)))
                    << MessageLog();
                std::this_thread::sleep_for(milliseconds(150));
                ASSERT_TRUE(run->Signal(SIGSEGV));
                break;
            case FailSafeAct::kFaultAtStart:
            case FailSafeAct::kStuckPin:
                break;  // set up before the start
        }
    }

    bool AllOutputsLow() const {
        for (uint16_t pin : kDefaultPinTable) {
            if (gpio.Value(pin) != "0") {
                return false;
            }
        }
        return true;
    }
};

TEST_P(FailSafeTest, LeavesThePlantAsTheOperatorLeftItOrEveryOutputLow) {
    const FailSafeCase& row = GetParam();
    WriteHeadsRun(row.count);
    WriteFile(dir / "Setting.ini",
              ReadFile(dir / "Setting.ini") + "[Logic]\nCheckStopColumn = 0\n");
    if (row.act == FailSafeAct::kFaultAtStart) {
        WriteFile(dir / "fail-at-start", "");  // one failure, before the first cycle
    }
    if (row.act == FailSafeAct::kStuckPin) {
        // A value file that takes no write: the pulsing output cannot go low.
        fs::remove(gpio.PinFolder(kPulsePin) / "value");
        fs::create_directory(gpio.PinFolder(kPulsePin) / "value");
    }
    Start({"/CrashFile", (folder / "Crash.json").string()});
    if (row.act != FailSafeAct::kFaultAtStart) {
        WaitUntilRunning();
        ASSERT_TRUE(WaitUntil([&] { return gpio.Value(kRunPin) == "1"; }, kStartLimit))
            << MessageLog() << run->Output();
        Act(row.act);
    }
    const auto acted_at = std::chrono::steady_clock::now();
    const auto since = [&] {
        return std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - acted_at)
            .count();
    };
    switch (row.left) {
        case Left::kAlarmLatched:
            EXPECT_TRUE(WaitUntil([&] { return gpio.Value(kAlarmPin) == "1"; }, seconds(20)))
                << MessageLog();
            EXPECT_TRUE(Contains(MessageLog(),
                                 "]  Выход GPIO4 (пульсирующий выход) не "
                                 "выключается дольше 3 с! Включена авария.\n"))
                << MessageLog();
            EXPECT_EQ(gpio.Value(kRunPin), "0") << "column 1 blocked";
            std::cout << row.name << ": the alarm output high " << since() << " ms after start\n";
            return;
        case Left::kAllLow:
            ASSERT_TRUE(run->WaitForExit(kFailureLimit)) << run->Output();
            std::cout << row.name << ": ended " << since() << " ms after the fault\n";
            EXPECT_EQ(RestartedInstance(), 0);
            EXPECT_TRUE(AllOutputsLow()) << gpio.Value(kRunPin) << MessageLog();
            EXPECT_TRUE(Contains(
                MessageLog(), "]  Превышено число перезапусков. Программа не была перезапущена!\n"))
                << MessageLog();
            EXPECT_FALSE(fs::exists(dir / "Crash.json"));
            EXPECT_TRUE(ReportsIn(dir.path()).empty());
            return;
        case Left::kRunning:
        case Left::kStopped:
            break;
    }
    ASSERT_TRUE(run->WaitForExit(kFailureLimit)) << run->Output();
    pid_t restarted = 0;
    ASSERT_TRUE(WaitUntil([&] { return (restarted = RestartedInstance()) != 0; }, kStartLimit))
        << MessageLog() << run->Output();
    ASSERT_TRUE(WaitUntil([&] { return x.FindWindow(kMainWindowTitle, 1004) != 0; }, kStartLimit));
    std::cout << row.name << ": a new window " << since() << " ms after the fault\n";
    ASSERT_TRUE(WaitUntil([&] { return Count(MessageLog(), "Программа была перезапущена") == 2; },
                          seconds(10)))
        << MessageLog();
    const std::vector<fs::path> reports = ReportsIn(dir.path());
    ASSERT_EQ(reports.size(), 1u);
    const std::string report = ReadFile(reports[0]);
    ProgVarRecord saved;
    ASSERT_TRUE(ParseCrashState(report.substr(report.find("\n\r\n\r\n") + 5), saved)) << report;
    EXPECT_EQ(saved.Crash.Count, row.count + 1);
    if (row.left == Left::kRunning) {
        EXPECT_EQ(saved.Logic.Col1.Status, 1);
        EXPECT_TRUE(WaitUntil([&] { return gpio.Value(kRunPin) == "1"; }, seconds(10)));
    } else {
        EXPECT_EQ(saved.Logic.Col1.Status, 0);
        std::this_thread::sleep_for(seconds(3));
        EXPECT_EQ(gpio.Value(kRunPin), "0") << "the Stop is not undone";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FailSafeTest,
    ::testing::Values(
        FailSafeCase{"SegvThenBus", FailSafeAct::kSegvThenBus, 1, Left::kRunning},
        FailSafeCase{"RestartLimit", FailSafeAct::kSegvAtLimit, 10, Left::kAllLow},
        FailSafeCase{"StopThenSegv", FailSafeAct::kStopThenSegv, 1, Left::kStopped},
        FailSafeCase{"FaultBeforeTheFirstCycle", FailSafeAct::kFaultAtStart, 1, Left::kRunning},
        FailSafeCase{"SwitchOffFails", FailSafeAct::kStuckPin, 1, Left::kAlarmLatched}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace flextor::test
