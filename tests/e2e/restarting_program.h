// The real program in a temporary folder of its own, with a private X server,
// a simulated 1-Wire bus with six sensors and a fake GPIO folder: the setting
// of the tests that kill it or make it fail, and watch what follows.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/crash/crash_state_json.h"
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

namespace fs = std::filesystem;

// Generous: the machine running the tests is shared. A hang takes 10 s to notice.
inline constexpr std::chrono::seconds kStartLimit{60};
inline constexpr std::chrono::seconds kFailureLimit{60};

inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

inline constexpr uint16_t kRunPin = kDefaultPinTable[1];     // column 1's run line
inline constexpr uint16_t kAlarmPin = kDefaultPinTable[10];  // the alarm output
inline constexpr double kHeadsDrawn = 0.5;                   // litres of heads drawn before

inline size_t Count(const std::string& text, const std::string& piece) {
    size_t n = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) {
        ++n;
    }
    return n;
}

inline std::vector<std::string> CommandLineOf(pid_t pid) {
    const std::string text = ReadFile("/proc/" + std::to_string(pid) + "/cmdline");
    std::vector<std::string> args;
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find('\0', start);
        args.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return args;
}

// The crash reports in folder.
inline std::vector<fs::path> ReportsIn(const fs::path& folder) {
    std::vector<fs::path> reports;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().starts_with("Crash_")) {
            reports.push_back(entry.path());
        }
    }
    return reports;
}

class RestartingProgramTest : public ::testing::Test {
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

    // Every instance of the program ends with the test, the restarted ones too,
    // and so do their outputs guards.
    void TearDown() override {
        for (pid_t pid : ProcessesOf(program)) {
            kill(pid, SIGKILL);
        }
        for (pid_t pid : ProcessesOf(GuardProgram())) {
            kill(pid, SIGKILL);
        }
    }

    // The outputs guard beside the program.
    fs::path GuardProgram() const { return program.parent_path() / "outputs-guard"; }

    void Start(std::vector<std::string> args = {}, std::vector<std::string> env = {}) {
        // The caller's entries come later and win.
        env.insert(env.begin(), {"DISPLAY=" + server.Display(), gpio.EnvironmentEntry(),
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

    // Empty until the program has made its log folder.
    std::string MessageLog() const {
        std::string all;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(dir / "Log", error)) {
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

}  // namespace flextor::test
