// flextor-owsim: a simulated 1-Wire bus of temperature sensors behind a
// pseudo-terminal, driven at run time through a control socket.
#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

#include "owsim/control_client.h"
#include "owsim/control_commands.h"
#include "owsim/control_server.h"
#include "owsim/port_link.h"
#include "owsim/sim_bus.h"
#include "owsim/termination.h"

namespace {

using flextor::owsim::SensorOption;

const char kUsage[] =
    "usage: flextor-owsim [--sensor FAMILY:SERIAL[:TENTHS]]... [--demo]\n"
    "                     [--link /dev/ttyNAME] [--control SOCKET] [--latency MS]\n"
    "       flextor-owsim --control SOCKET --command LINE\n"
    "\n"
    "Simulates a USB-UART 1-Wire adapter with sensors on a pseudo-terminal and\n"
    "prints the port name to open (what follows \"/dev/\"), then runs until\n"
    "interrupted.\n"
    "\n"
    "  --sensor F:S:T   a device of family F (hex) with serial S (hex, up to 12\n"
    "                   digits) at T tenths of a degree, e.g. 28:0000041A2B3C:785;\n"
    "                   may be repeated\n"
    "  --demo           six DS18B20 sensors at temperatures of a running plant\n"
    "  --link PATH      also name the port by a symbolic link, e.g. /dev/ttyOWSIM0\n"
    "  --control PATH   take one-line commands on a UNIX socket at PATH\n"
    "  --latency MS     echoes take their real line time and the adapter holds\n"
    "                   them MS milliseconds more (16 on many USB adapters)\n"
    "  --command LINE   send one command to a running bus's control socket,\n"
    "                   print its answer and exit (0 when it answered ok)\n"
    "  --help           show this text\n";

struct Options {
    std::vector<SensorOption> sensors;
    std::string link;
    std::string control;
    std::string command;
    int latencyMs = -1;  // -1: echoes come at once
    bool help = false;
};

const std::vector<SensorOption> kDemoSensors = {
    {0x28, 0x00000A1B0001, 245},  // atmosphere tube
    {0x28, 0x00000A1B0002, 312},  // emergency condenser
    {0x28, 0x00000A1B0003, 783},  // column
    {0x28, 0x00000A1B0004, 924},  // still
    {0x28, 0x00000A1B0005, 287},  // mash
    {0x28, 0x00000A1B0006, 450},  // sensor 6
};

// Whole milliseconds, 0 to 1000.
bool ParseLatency(const std::string& text, int* ms) {
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < 0 ||
        value > 1000) {
        return false;
    }
    *ms = value;
    return true;
}

bool ParseArguments(int argc, char** argv, Options* options, std::string* error) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        SensorOption sensor;
        if (arg == "--help" || arg == "-h") {
            options->help = true;
        } else if (arg == "--demo") {
            options->sensors.insert(options->sensors.end(), kDemoSensors.begin(),
                                    kDemoSensors.end());
        } else if (arg == "--sensor" && hasValue) {
            if (!flextor::owsim::ParseSensorOption(argv[++i], &sensor)) {
                *error = std::string("bad sensor ") + argv[i];
                return false;
            }
            options->sensors.push_back(sensor);
        } else if (arg == "--link" && hasValue) {
            options->link = argv[++i];
        } else if (arg == "--control" && hasValue) {
            options->control = argv[++i];
        } else if (arg == "--command" && hasValue) {
            options->command = argv[++i];
        } else if (arg == "--latency" && hasValue) {
            if (!ParseLatency(argv[++i], &options->latencyMs)) {
                *error = std::string("bad latency ") + argv[i];
                return false;
            }
        } else {
            *error = "unknown or incomplete option " + arg;
            return false;
        }
    }
    if (!options->command.empty() && options->control.empty()) {
        *error = "--command needs --control";
        return false;
    }
    return true;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "flextor-owsim: %s\n", message.c_str());
    return 1;
}

int SendCommand(const Options& options) {
    std::string answer;
    if (!flextor::owsim::SendControlCommand(options.control, options.command, &answer)) {
        return Fail(answer);
    }
    std::printf("%s\n", answer.c_str());
    return answer == "ok" || answer.starts_with("ok ") ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    std::string error;
    if (!ParseArguments(argc, argv, &options, &error)) {
        std::fprintf(stderr, "flextor-owsim: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    if (options.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (!options.command.empty()) {
        return SendCommand(options);
    }
    const sigset_t signals = flextor::owsim::BlockTerminationSignals();

    flextor::owsim::SimBus bus;
    for (const SensorOption& sensor : options.sensors) {
        bus.AddSensor(sensor.family, sensor.serial, sensor.tenths);
    }
    if (options.latencyMs >= 0) {
        bus.SetLineTime(true);
        bus.SetLatencyUs(options.latencyMs * 1000);
    }
    if (!bus.Start()) {
        return Fail("cannot open a pseudo-terminal");
    }
    flextor::owsim::PortLink link;
    if (!options.link.empty() && !link.Create(options.link, bus.SlavePath(), &error)) {
        return Fail(error);
    }
    flextor::owsim::ControlServer control(bus);
    if (!options.control.empty() && !control.Start(options.control, &error)) {
        return Fail(error);
    }
    std::string port = link.PortName().empty() ? bus.PortName() : link.PortName();
    std::printf("%s\n", port.c_str());
    std::fflush(stdout);
    std::fprintf(stderr, "flextor-owsim: %zu device(s) on %s\n", bus.Devices().size(),
                 bus.SlavePath().c_str());
    flextor::owsim::WaitForTermination(signals);
    return 0;
}
