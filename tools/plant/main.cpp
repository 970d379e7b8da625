// flextor-plant: the simulated plant. A simulated 1-Wire bus whose sensors follow
// a plant model driven by the program's outputs, read from a GPIO folder of files.
#include <charconv>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "core/logic/number_text.h"
#include "owsim/control_server.h"
#include "owsim/port_link.h"
#include "owsim/sim_bus.h"
#include "owsim/termination.h"
#include "plant/gpio_outputs.h"
#include "plant/plant_run.h"
#include "plant/plant_state.h"
#include "plant/scenario.h"
#include "platform/gpio/sysfs_gpio.h"

namespace {

using namespace flextor;

const char kUsage[] =
    "usage: flextor-plant --scenario FILE --gpio DIR [--gpio-base N] [--seed N] [--speed X]\n"
    "                     [--history FILE] [--link /dev/ttyNAME] [--control SOCKET]\n"
    "                     [--latency MS] [--save FILE] [--restore FILE [--cooled S]]\n"
    "\n"
    "Simulates the plant: sensors on a simulated 1-Wire adapter (a pseudo-terminal)\n"
    "whose temperatures follow the outputs the program writes into DIR/gpioN/value.\n"
    "Prints the port name to open (what follows \"/dev/\"), then one line per sensor\n"
    "(its ROM code and role), and runs until interrupted.\n"
    "\n"
    "  --scenario FILE  the plant, its sensors and faults (JSON, see scenarios/)\n"
    "  --gpio DIR       the GPIO folder the program writes its outputs into\n"
    "  --gpio-base N    the sysfs number of BCM pin 0 there (found as the program does)\n"
    "  --seed N         replaces the scenario's seed\n"
    "  --speed X        plant seconds per second, replaces the scenario's speed\n"
    "  --history FILE   append one line per output change: plant time, pin, level\n"
    "  --link PATH      also name the port by a symbolic link, e.g. /dev/ttyOWSIM0\n"
    "  --control PATH   take flextor-owsim's one-line commands on a UNIX socket\n"
    "  --latency MS     echoes take their line time and MS milliseconds more\n"
    "  --save FILE      write the plant's state to FILE every second\n"
    "  --restore FILE   start from a state --save wrote (a power cut: the plant\n"
    "                   was stopped with the program)\n"
    "  --cooled S       after --restore, S seconds of plant time with every output\n"
    "                   off: the length of the outage\n"
    "  --help           show this text\n";

constexpr int kTickMs = 100;
constexpr int kSaveEveryTicks = 10;

struct Options {
    std::string scenario;
    std::string gpio;
    std::string history;
    std::string link;
    std::string control;
    std::string save;
    std::string restore;
    double cooled = 0;
    int base = -1;  // found from the folder's gpiochip entries
    long long seed = -1;
    double speed = 0;
    int latencyMs = -1;
    bool help = false;
};

template <typename T>
bool ParseNumber(const std::string& text, T low, T high, T* value) {
    T number{};
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, number);
    if (text.empty() || ec != std::errc() || ptr != end || !(number >= low && number <= high)) {
        return false;
    }
    *value = number;
    return true;
}

bool ParseArguments(int argc, char** argv, Options* o, std::string* error) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        const std::string value = hasValue ? argv[i + 1] : "";
        bool good = true;
        if (arg == "--help" || arg == "-h") {
            o->help = true;
            continue;
        }
        if (!hasValue) {
            *error = "unknown or incomplete option " + arg;
            return false;
        }
        ++i;
        if (arg == "--scenario") {
            o->scenario = value;
        } else if (arg == "--gpio") {
            o->gpio = value;
        } else if (arg == "--history") {
            o->history = value;
        } else if (arg == "--link") {
            o->link = value;
        } else if (arg == "--control") {
            o->control = value;
        } else if (arg == "--save") {
            o->save = value;
        } else if (arg == "--restore") {
            o->restore = value;
        } else if (arg == "--cooled") {
            good = ParseNumber(value, 0.0, 1e7, &o->cooled);
        } else if (arg == "--gpio-base") {
            good = ParseNumber(value, 0, 100000, &o->base);
        } else if (arg == "--seed") {
            good = ParseNumber(value, 0LL, 4294967295LL, &o->seed);
        } else if (arg == "--speed") {
            good = ParseNumber(value, 0.01, 1000.0, &o->speed);
        } else if (arg == "--latency") {
            good = ParseNumber(value, 0, 1000, &o->latencyMs);
        } else {
            *error = "unknown option " + arg;
            return false;
        }
        if (!good) {
            *error = "bad value for " + arg + ": " + value;
            return false;
        }
    }
    if (!o->help && (o->scenario.empty() || o->gpio.empty())) {
        *error = "--scenario and --gpio are needed";
        return false;
    }
    return true;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "flextor-plant: %s\n", message.c_str());
    return 1;
}

// The adapter pulled out and plugged in again: the pty goes and comes back under
// a new number, the link follows it.
class Adapter {
  public:
    Adapter(owsim::SimBus& bus, std::string link) : bus_(bus), linkPath_(std::move(link)) {}

    [[nodiscard]] bool Plug(std::string* error) {
        if (!bus_.Start()) {
            *error = "cannot open a pseudo-terminal";
            return false;
        }
        return linkPath_.empty() || link_.Create(linkPath_, bus_.SlavePath(), error);
    }

    void Switch(bool plugged) {
        std::string error;
        if (!plugged) {
            link_.Remove();
            bus_.Stop();
            std::fprintf(stderr, "flextor-plant: adapter pulled out\n");
        } else if (Plug(&error)) {
            std::fprintf(stderr, "flextor-plant: adapter plugged in again on %s\n",
                         PortName().c_str());
        } else {
            std::fprintf(stderr, "flextor-plant: adapter not plugged in again: %s\n",
                         error.c_str());
        }
    }

    std::string PortName() const {
        return link_.PortName().empty() ? bus_.PortName() : link_.PortName();
    }

  private:
    owsim::SimBus& bus_;
    std::string linkPath_;
    owsim::PortLink link_;
};

}  // namespace

int main(int argc, char** argv) {
    Options options;
    std::string error;
    if (!ParseArguments(argc, argv, &options, &error)) {
        std::fprintf(stderr, "flextor-plant: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    if (options.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    plant::Scenario scenario;
    if (!plant::LoadScenario(options.scenario, &scenario, &error)) {
        return Fail(error);
    }
    if (options.seed >= 0) {
        scenario.seed = static_cast<uint32_t>(options.seed);
    }
    if (options.speed > 0) {
        scenario.speed = options.speed;
    }
    if (options.base < 0) {
        options.base = FindControllerBase(options.gpio);
    }
    std::unique_ptr<plant::OutputHistory> history;
    if (!options.history.empty()) {
        history = std::make_unique<plant::OutputHistory>(options.history);
    }

    const sigset_t signals = owsim::BlockTerminationSignals();

    owsim::SimBus bus;
    if (options.latencyMs >= 0) {
        bus.SetLineTime(true);
        bus.SetLatencyUs(options.latencyMs * 1000);
    }
    Adapter adapter(bus, options.link);
    plant::PlantRun run(scenario, bus, [&](bool plugged) { adapter.Switch(plugged); });
    if (!options.restore.empty()) {
        plant::PlantState state;
        if (!plant::LoadPlantState(options.restore, &state, &error)) {
            return Fail(error);
        }
        run.TakeUp(state, options.cooled);
    }
    if (!adapter.Plug(&error)) {
        return Fail(error);
    }
    owsim::ControlServer control(bus);
    if (!options.control.empty() && !control.Start(options.control, &error)) {
        return Fail(error);
    }
    std::printf("%s\n", adapter.PortName().c_str());
    for (std::size_t i = 0; i < run.Roms().size(); ++i) {
        std::printf("%s %d\n", owsim::FormatRom(run.Roms()[i]).c_str(),
                    static_cast<int>(scenario.sensors[i].role));
    }
    std::fflush(stdout);
    std::fprintf(stderr, "flextor-plant: scenario %s, %zu sensor(s) on %s, %s times as fast\n",
                 scenario.name.c_str(), run.Roms().size(), bus.SlavePath().c_str(),
                 DecimalText(scenario.speed).c_str());

    bool historyFailed = false;
    bool saveFailed = false;
    int ticks = 0;
    auto last = std::chrono::steady_clock::now();
    for (;;) {
        if (owsim::WaitForTermination(signals, kTickMs)) {
            break;
        }
        const auto now = std::chrono::steady_clock::now();
        const double seconds = std::chrono::duration<double>(now - last).count();
        last = now;
        const uint16_t word = plant::ReadOutputWord(options.gpio, options.base);
        if (history && !history->Record(run.Time(), word) && !historyFailed) {
            historyFailed = true;
            std::fprintf(stderr, "flextor-plant: cannot write the history to %s\n",
                         options.history.c_str());
        }
        run.Advance(seconds * scenario.speed, word);
        if (!options.save.empty() && ++ticks % kSaveEveryTicks == 0 &&
            !plant::SavePlantState(options.save, run.Model().State()) && !saveFailed) {
            saveFailed = true;
            std::fprintf(stderr, "flextor-plant: cannot save the state to %s\n",
                         options.save.c_str());
        }
    }
    return 0;
}
