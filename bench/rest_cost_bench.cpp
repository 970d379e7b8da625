// What the program costs at rest: the real program, copied into a folder of its
// own with a folder of files for its GPIO pins, six sensors on a simulated bus
// with real line times, no column running. Once its first readings are in and
// the chart has begun, the processor time it takes over 60 s is read from /proc
// (utime + stime) and reported as a share of one core, in percent: the whole
// process, the GUI thread (the main thread) and the polling thread
// ("flextor-poll"); what the bus simulator itself costs is this process's. The
// outputs guard, a process of its own woken by every logic cycle, is reported
// apart (guard_pct).
//
// Needs Xvfb on the PATH: the bench starts a display of its own. The program
// and its outputs guard are taken from the build folder, or from the folder
// named by FLEXTOR_REST_PROGRAM_DIR (to compare with another build). One
// iteration of 60 s; run it on a quiet machine and more than once
// (--benchmark_repetitions), other builds alternating with this one.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/state/program_state.h"
#include "e2e/running_program.h"
#include "owsim/sim_bus.h"
#include "support/fake_gpio_folder.h"
#include "support/program_runner.h"
#include "support/temp_dir.h"
#include "support/x_server.h"

namespace flextor {
namespace {

using std::chrono::seconds;

constexpr seconds kStartLimit{60};
constexpr seconds kMeasured{60};
// After the first readings: the chart's warm-up and the start-up's own work.
constexpr seconds kSettle{8};
constexpr int kSensors = 6;
constexpr const char* kPollThreadName = "flextor-poll";

// Processor time in clock ticks: the whole process, its main thread and its
// polling thread.
struct CpuTicks {
    uint64_t total = 0;
    uint64_t gui = 0;
    uint64_t poll = 0;
};

// The name and utime + stime of one /proc stat file; false when it cannot be
// read. The name is in parentheses and may hold anything, so the fields are
// counted from the last ')'.
bool ReadStat(const std::filesystem::path& path, std::string& name, uint64_t& ticks) {
    std::ifstream file(path);
    std::string line;
    if (!std::getline(file, line)) {
        return false;
    }
    const size_t open = line.find('(');
    const size_t close = line.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open) {
        return false;
    }
    name = line.substr(open + 1, close - open - 1);
    // From field 3 (the state) on; utime and stime are fields 14 and 15.
    std::istringstream fields(line.substr(close + 1));
    std::string skipped;
    for (int field = 3; field < 14; ++field) {
        fields >> skipped;
    }
    uint64_t utime = 0;
    uint64_t stime = 0;
    if (!(fields >> utime >> stime)) {
        return false;
    }
    ticks = utime + stime;
    return true;
}

bool ReadCpuTicks(pid_t pid, CpuTicks& ticks) {
    const std::filesystem::path process = "/proc/" + std::to_string(pid);
    std::string name;
    if (!ReadStat(process / "stat", name, ticks.total)) {
        return false;
    }
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator(process / "task", error)) {
        uint64_t thread_ticks = 0;
        if (!ReadStat(task.path() / "stat", name, thread_ticks)) {
            continue;  // a thread that has just ended
        }
        if (task.path().filename() == std::to_string(pid)) {
            ticks.gui = thread_ticks;
        } else if (name == kPollThreadName) {
            ticks.poll = thread_ticks;
        }
    }
    return !error;
}

// The program's outputs guard: its child of that name (the name it had before
// too, to compare with an older build); 0 when there is none.
pid_t GuardOf(pid_t program) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        std::ifstream file(entry.path() / "stat");
        std::string line;
        const size_t close = std::getline(file, line) ? line.rfind(')') : std::string::npos;
        if (close == std::string::npos) {
            continue;
        }
        const std::string name = line.substr(line.find('(') + 1, close - line.find('(') - 1);
        std::istringstream fields(line.substr(close + 1));
        std::string process_state;
        pid_t parent = 0;
        if ((name == "outputs-guard" || name == "flextor-guard") &&
            fields >> process_state >> parent && parent == program) {
            return static_cast<pid_t>(std::stoi(entry.path().filename().string()));
        }
    }
    return 0;
}

uint64_t TicksOf(pid_t pid) {
    std::string name;
    uint64_t ticks = 0;
    return pid != 0 && ReadStat("/proc/" + std::to_string(pid) + "/stat", name, ticks) ? ticks : 0;
}

int64_t IdOf(const owsim::RomCode& rom) {
    int64_t id = 0;
    std::memcpy(&id, rom.data(), sizeof id);
    return id;
}

// Six sensors with roles 1 to 6, every one below its thresholds' alarms, and the
// port in Setting.ini.
std::vector<owsim::RomCode> PrepareSensors(owsim::SimBus& bus, const test::TempDir& dir) {
    const int tenths[kSensors] = {245, 312, 785, 924, 287, 620};
    std::vector<owsim::RomCode> roms;
    std::string rows;
    for (int role = 1; role <= kSensors; ++role) {
        const owsim::RomCode rom =
            bus.AddSensor(owsim::kFamilyDS18B20, 0xC0570 + role, tenths[role - 1]);
        roms.push_back(rom);
        rows += "ID_" + std::to_string(role) + " = " + std::to_string(IdOf(rom)) + "\nUse_" +
                std::to_string(role) + " = " + std::to_string(role) + "\n";
    }
    test::WriteFile(dir / "Setting.ini", "\xEF\xBB\xBF\n[Sensor]\nPortName = " + bus.PortName() +
                                             "\nSerial = 0\nSensorsCount = 6\n" + rows);
    return roms;
}

bool FirstReadingsIn(const owsim::SimBus& bus, const std::vector<owsim::RomCode>& roms) {
    for (const owsim::RomCode& rom : roms) {
        if (bus.Reads(rom) < 2) {
            return false;
        }
    }
    return true;
}

// The program and its guard copied into folder, from the build folder unless
// FLEXTOR_REST_PROGRAM_DIR names another.
std::filesystem::path Install(const std::filesystem::path& folder) {
    const char* other = std::getenv("FLEXTOR_REST_PROGRAM_DIR");
    if (other == nullptr || *other == '\0') {
        return test::InstallProgram("flextor", folder);
    }
    for (const char* name : {"outputs-guard", "flextor"}) {
        std::filesystem::copy_file(std::filesystem::path(other) / name, folder / name,
                                   std::filesystem::copy_options::overwrite_existing);
    }
    return folder / "flextor";
}

double ShareOfCore(uint64_t ticks, double seconds_passed) {
    return 100.0 * static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK)) /
           seconds_passed;
}

void BM_RestCost(benchmark::State& state) {
    test::PrivateXServer server;
    if (!server.Running()) {
        state.SkipWithError("needs Xvfb on the PATH: the program is run on a display of its own");
        return;
    }
    test::TempDir dir;
    test::FakeGpioFolder gpio;
    owsim::SimBus bus;
    if (!bus.Start()) {
        state.SkipWithError("the simulated bus could not open a pseudo-terminal");
        return;
    }
    bus.SetLineTime(true);
    const std::vector<owsim::RomCode> roms = PrepareSensors(bus, dir);
    for (uint16_t pin : kDefaultPinTable) {
        test::WriteFile(gpio.PinFolder(pin) / "value", "1");
    }
    const std::filesystem::path program = Install(dir.path());
    test::RunningProgram run(program, {}, {"DISPLAY=" + server.Display(), gpio.EnvironmentEntry()},
                             dir / "output.txt");
    if (!run.Started() ||
        !test::WaitUntil([&] { return FirstReadingsIn(bus, roms) || run.WaitForExit({}); },
                         kStartLimit) ||
        run.Ended()) {
        state.SkipWithError(("the program did not read its sensors: " + run.Output()).c_str());
        return;
    }
    std::this_thread::sleep_for(kSettle);

    CpuTicks before;
    CpuTicks after;
    const pid_t guard = GuardOf(run.Pid());
    uint64_t guard_before = 0;
    uint64_t guard_after = 0;
    double passed = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const bool read = ReadCpuTicks(run.Pid(), before);
        guard_before = TicksOf(guard);
        std::this_thread::sleep_for(kMeasured);
        passed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        guard_after = TicksOf(guard);
        if (!read || !ReadCpuTicks(run.Pid(), after) || run.WaitForExit({})) {
            state.SkipWithError(
                ("the program ended or /proc could not be read: " + run.Output()).c_str());
            return;
        }
    }
    state.counters["total_pct"] = ShareOfCore(after.total - before.total, passed);
    state.counters["gui_pct"] = ShareOfCore(after.gui - before.gui, passed);
    state.counters["poll_pct"] = ShareOfCore(after.poll - before.poll, passed);
    state.counters["guard_pct"] = ShareOfCore(guard_after - guard_before, passed);
    run.Signal(SIGTERM);
    static_cast<void>(run.WaitForExit(seconds(15)));
}

BENCHMARK(BM_RestCost)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
}  // namespace flextor
