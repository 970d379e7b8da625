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
#include "e2e/restarting_program.h"
#include "e2e/running_program.h"
#include "e2e/x_display.h"
#include "owsim/sim_bus.h"
#include "support/fake_gpio_folder.h"
#include "support/program_runner.h"
#include "support/temp_dir.h"
#include "support/x_server.h"

namespace flextor::test {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

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

// "dd_mm_yyyy__hh_mm_ss" of the local time t.
std::string Stamp(time_t t) {
    tm local{};
    localtime_r(&t, &local);
    char text[32];
    strftime(text, sizeof text, "%d_%m_%Y__%H_%M_%S", &local);
    return text;
}

constexpr char kUnknownPlace[] = "место неизвестно";

enum class FaultKind { kGuiSegv, kPollSegv, kAllocator, kHang, kException };

struct Fault {
    const char* name;
    FaultKind kind;
    const char* failure_text;
    std::set<std::string> marked_files;  // where the failing thread may have been
};

void PrintTo(const Fault& fault, std::ostream* out) {
    *out << fault.name;
}

class CrashRestartTest : public RestartingProgramTest, public ::testing::WithParamInterface<Fault> {
  protected:
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
            case FaultKind::kException:
                ASSERT_TRUE(run->Signal(SIGWINCH));
                break;
            case FaultKind::kPollSegv: {
                const pid_t thread = ThreadNamed(run->Pid(), "flextor-poll");
                ASSERT_NE(thread, 0);
                ASSERT_EQ(syscall(SYS_tgkill, run->Pid(), thread, SIGSEGV), 0);
                break;
            }
        }
    }
};

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
    // A signal that finds the thread between its procedures, idle in the main
    // loop, has no place: line 0, never the last step of a procedure long ended.
    if (file == kUnknownPlace) {
        EXPECT_EQ(std::stoi(err.substr(err_start.size())), 0) << err;
    } else {
        EXPECT_GT(std::stoi(err.substr(err_start.size())), 0) << err;
    }
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
               "column_command.cpp", kUnknownPlace}},
        Fault{"PollingThreadSegv",
              FaultKind::kPollSegv,
              "Segmentation violation",
              {"polling_loop.cpp"}},
        Fault{"DoubleFreeInsideTheAllocator",
              FaultKind::kAllocator,
              "Abort signal",
              {"test_faults.cpp"}},
        Fault{"HungGuiThread", FaultKind::kHang, "Программа не отвечает", {"test_faults.cpp"}},
        // Thrown long after the chart tick's last step: that step is not named.
        Fault{"UncaughtException",
              FaultKind::kException,
              "Abort signal (test fault: an exception nothing catches)",
              {kUnknownPlace}}),
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
    // The answer of the first start belongs to the program folder.
    fs::rename(dir / "bin" / "Options.ini", folder / "Options.ini");
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
    // The executable and its outputs guard alone.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "bin"), fs::directory_iterator()), 2);
}

}  // namespace
}  // namespace flextor::test
