#include "plant_e2e/plant_fixture.h"

#include <signal.h>

#include <cstring>
#include <locale>
#include <sstream>

#include "core/state/program_state.h"
#include "core/version.h"
#include "owsim/sim_bus.h"
#include "support/program_runner.h"

namespace flextor::test {
namespace {

namespace fs = std::filesystem;

// A plant already warm, twenty times as fast as the wall clock, small enough to
// be drawn off in seconds.
const char kScenario[] = R"({
  "name": "end to end", "seed": 3, "speed": 20,
  "plant": {"boiler_ml": 1000, "strength": 0.3, "boiler_start": 80, "head_start": 70,
            "takeoff_ml_h": 2000, "pot_start": 40, "mash_start": 23, "mash_lag": 600,
            "mash_control": 0.03, "sensor6_start": 45},
  "sensors": [{"role": "atmosphere-tube", "serial": "EE0001"},
              {"role": "condenser", "serial": "EE0002"}, {"role": "column", "serial": "EE0003"},
              {"role": "still", "serial": "EE0004"}, {"role": "mash", "serial": "EE0005"},
              {"role": "sensor6", "serial": "EE0006"}],
  "faults": [)";

// Short times and small volumes: column 1 goes through every mode in well under a minute.
const char kLogic[] =
    "[Logic]\nPerformance = 36000\nTimeStable = 0\nDelayMode = 1\nMaxVolume_v0 = 20\n"
    "MaxVolume = 50\nValve2_Stable = 0\nValve3_PWM = 50\nValve3_Termo = 850\n";
const char kLogAndThresholds[] =
    "[Log]\nSavesSec = 1\n[WinMain]\nd5_LimitMax = 270\nd5_LimitMin = 250\n";

// Where each column's "Пуск" is in the main window.
const int kStartButton[3][2] = {{64, 394}, {120, 506}, {122, 654}};

// The logs of the folder Log whose names do or do not begin with "Termo_".
std::string Logs(const fs::path& folder, bool temperature) {
    std::string text;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (entry.path().filename().string().starts_with("Termo_") == temperature) {
            text += ReadFile(entry.path());
        }
    }
    return text;
}

}  // namespace

void PlantRunFixture::SetUp() {
    if (!server.Running()) {
        GTEST_SKIP() << "Xvfb could not be started: there is no display for the program";
    }
    if (!XLibrariesBuiltIn()) {
        GTEST_SKIP() << "built without the X libraries";
    }
    program = fs::canonical(InstallProgram("flextor", dir.path()));
    x = std::make_unique<XDisplay>(server.Display());
    ASSERT_TRUE(x->Open());
}

void PlantRunFixture::TearDown() {
    // Restarted instances are no children of the test.
    for (pid_t pid : ProcessesOf(program)) {
        kill(pid, SIGKILL);
    }
}

void PlantRunFixture::StartPlant(const std::string& faults, bool semi_automatic, double cooled) {
    WriteFile(dir / "scenario.json", std::string(kScenario) + faults + "]}");
    std::vector<std::string> args{"--scenario", (dir / "scenario.json").string(),
                                  "--gpio",     gpio.root(),
                                  "--history",  (dir / "history.txt").string(),
                                  "--save",     (dir / "plant-state.json").string()};
    if (cooled >= 0) {
        ASSERT_TRUE(fs::exists(dir / "plant-state.json"));
        args.insert(args.end(), {"--restore", (dir / "plant-state.json").string(), "--cooled",
                                 std::to_string(static_cast<int>(cooled))});
    }
    plant = std::make_unique<RunningProgram>(BuiltProgram("flextor-plant"), args,
                                             std::vector<std::string>{}, dir / "plant.txt");
    ASSERT_TRUE(plant->Started());
    // The port, then one "ROM ROLE" line per sensor.
    std::vector<std::string> lines;
    ASSERT_TRUE(WaitUntil(
        [&] {
            std::istringstream out(plant->Output());
            lines.clear();
            for (std::string line; std::getline(out, line);) {
                if (!line.starts_with("flextor-plant:")) {
                    lines.push_back(line);
                }
            }
            return lines.size() >= 7 || plant->WaitForExit(std::chrono::milliseconds(0));
        },
        kPlantStartLimit))
        << plant->Output();
    ASSERT_GE(lines.size(), 7u) << plant->Output();
    std::string sensors = "[Sensor]\nPortName = " + lines[0] + "\nSerial = 0\nSensorsCount = 6\n";
    for (int n = 1; n <= 6; ++n) {
        owsim::RomCode rom{};
        ASSERT_TRUE(owsim::ParseRom(lines[n].substr(0, lines[n].find(' ')), &rom)) << lines[n];
        int64_t id = 0;
        std::memcpy(&id, rom.data(), sizeof id);
        sensors += "ID_" + std::to_string(n) + " = " + std::to_string(id) + "\nUse_" +
                   std::to_string(n) + " = " + lines[n].substr(lines[n].find(' ') + 1) + "\n";
    }
    WriteFile(dir / "Setting.ini", "\xEF\xBB\xBF\n" + std::string(kLogic) +
                                       "Col1_Auto = " + (semi_automatic ? "1" : "0") + "\n" +
                                       kLogAndThresholds + sensors);
}

void PlantRunFixture::CutPower() {
    ASSERT_TRUE(run->Signal(SIGKILL));
    ASSERT_TRUE(plant->Signal(SIGKILL));
    ASSERT_TRUE(run->WaitForExit(std::chrono::seconds(5)));
    ASSERT_TRUE(plant->WaitForExit(std::chrono::seconds(5)));
}

void PlantRunFixture::StartProgram(const std::vector<std::string>& env) {
    std::vector<std::string> all = env;
    all.push_back("DISPLAY=" + server.Display());
    all.push_back(gpio.EnvironmentEntry());
    run = std::make_unique<RunningProgram>(program, std::vector<std::string>{}, all,
                                           dir / "output.txt");
    ASSERT_TRUE(run->Started());
    ASSERT_TRUE(WaitUntil(
        [&] {
            window = x->FindWindow(kMainWindowTitle, 1004);
            const std::vector<double> column = Readings(3);
            return (window != 0 && !column.empty() && column.back() > 0) ||
                   run->WaitForExit(std::chrono::milliseconds(0));
        },
        kPlantStartLimit))
        << run->Output();
    ASSERT_NE(window, 0u) << run->Output();
}

void PlantRunFixture::PressStart(int column, const std::string& answer) {
    const int before = LogCount(answer);
    for (int attempt = 0; attempt < 3; ++attempt) {
        // A restarted program has a window of its own.
        window = x->FindWindow(kMainWindowTitle, 1004);
        ASSERT_NE(window, 0u);
        ASSERT_TRUE(x->Click(window, kStartButton[column - 1][0], kStartButton[column - 1][1]));
        if (WaitUntil([&] { return LogCount(answer) > before; }, std::chrono::seconds(5))) {
            return;
        }
    }
    FAIL() << "\"Пуск\" of column " << column << " did not give \"" << answer << "\"\n"
           << MessageLog();
}

std::string PlantRunFixture::MessageLog() const {
    return Logs(dir / "Log", false);
}

std::string PlantRunFixture::TemperatureLog() const {
    return Logs(dir / "Log", true);
}

bool PlantRunFixture::LogHas(const std::string& text) const {
    return MessageLog().find(text) != std::string::npos;
}

int PlantRunFixture::LogCount(const std::string& text) const {
    const std::string log = MessageLog();
    int count = 0;
    for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) {
        ++count;
    }
    return count;
}

void PlantRunFixture::WaitForLog(const std::string& text) {
    ASSERT_TRUE(WaitUntil([&] { return LogHas(text); }, kPlantRunLimit))
        << "no \"" << text << "\" in\n"
        << MessageLog();
}

bool PlantRunFixture::Settles(uint16_t bcm, int level) const {
    return WaitUntil(
        [&] {
            int seen = -1;
            for (const PinChange& change : History()) {
                seen = change.pin == bcm ? change.level : seen;
            }
            return gpio.Value(bcm) == std::to_string(level) && seen == level;
        },
        std::chrono::seconds(5));
}

std::vector<double> PlantRunFixture::Readings(int role) const {
    const std::string log = TemperatureLog();
    const std::string field = "d" + std::to_string(role) + " ";
    std::vector<double> values;
    for (size_t at = log.find(field); at != std::string::npos; at = log.find(field, at + 1)) {
        std::istringstream in(log.substr(at + field.size(), 8));
        in.imbue(std::locale::classic());
        double value = 0;
        if (in >> value) {
            values.push_back(value);
        }
    }
    return values;
}

std::vector<PinChange> PlantRunFixture::History() const {
    std::vector<PinChange> changes;
    std::istringstream in(ReadFile(dir / "history.txt"));
    in.imbue(std::locale::classic());
    PinChange change;
    std::string pin;
    while (in >> change.time >> pin >> change.level) {
        change.pin = std::stoi(pin.substr(4));  // "GPIO17"
        changes.push_back(change);
    }
    return changes;
}

double PlantRunFixture::FirstChange(int pin, int level, double after) const {
    for (const PinChange& change : History()) {
        if (change.pin == pin && change.level == level && change.time > after) {
            return change.time;
        }
    }
    return -1;
}

}  // namespace flextor::test
