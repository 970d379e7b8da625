#include "owsim/control_commands.h"

#include <charconv>
#include <functional>
#include <locale>
#include <map>
#include <sstream>
#include <vector>

namespace flextor::owsim {
namespace {

using Args = std::vector<std::string>;
using Handler = std::function<std::string(SimBus&, const Args&)>;

const std::string kOk = "ok";
const std::string kUnknownDevice = "error unknown device";

std::string Usage(const std::string& form) {
    return "error usage: " + form;
}

Args SplitWords(const std::string& line) {
    std::istringstream in(line);
    in.imbue(std::locale::classic());  // the same words whatever the global locale
    Args words;
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    return words;
}

bool ParseInt(const std::string& text, int base, long long* value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, *value, base);
    return !text.empty() && ec == std::errc() && ptr == end;
}

// A decimal number from low to high.
bool ParseBounded(const std::string& text, long long low, long long high, int* number) {
    long long value = 0;
    if (!ParseInt(text, 10, &value) || value < low || value > high) {
        return false;
    }
    *number = static_cast<int>(value);
    return true;
}

bool ParseTenths(const std::string& text, int* tenths) {
    return ParseBounded(text, -100000, 100000, tenths);
}

bool ParseCount(const std::string& text, int* count) {
    return ParseBounded(text, 0, 1000000, count);
}

bool ParseSwitch(const std::string& text, bool* on) {
    if (text == "on" || text == "off") {
        *on = text == "on";
        return true;
    }
    return false;
}

std::string DeviceEntry(const DeviceInfo& info) {
    std::string entry = FormatRom(info.rom) + ":" + std::to_string(info.tenths);
    if (info.absent) {
        entry += ":absent";
    }
    if (info.badCrc) {
        entry += ":badcrc";
    }
    if (info.stuckAt85) {
        entry += ":stuck85";
    }
    return entry;
}

std::string List(SimBus& bus, const Args& args) {
    if (!args.empty()) {
        return Usage("list");
    }
    std::string answer = kOk;
    for (const DeviceInfo& info : bus.Devices()) {
        answer += " " + DeviceEntry(info);
    }
    return answer;
}

std::string Port(SimBus& bus, const Args& args) {
    if (!args.empty()) {
        return Usage("port");
    }
    std::string name = bus.PortName();
    return name.empty() ? "error bus not running" : kOk + " " + name;
}

std::string AddSensor(SimBus& bus, const Args& args) {
    SensorOption sensor;
    if (args.size() != 1 || !ParseSensorOption(args[0], &sensor)) {
        return Usage("sensor FAMILY:SERIAL[:TENTHS]");
    }
    RomCode rom = MakeRom(sensor.family, sensor.serial);
    if (!bus.AddDevice(rom, sensor.tenths)) {
        return "error device already on the bus";
    }
    return kOk + " " + FormatRom(rom);
}

std::string AddRom(SimBus& bus, const Args& args) {
    RomCode rom{};
    int tenths = 250;
    if (args.empty() || args.size() > 2 || !ParseRom(args[0], &rom) ||
        (args.size() == 2 && !ParseTenths(args[1], &tenths))) {
        return Usage("add ROM [TENTHS]");
    }
    if (!bus.AddDevice(rom, tenths)) {
        return "error device already on the bus";
    }
    return kOk + " " + FormatRom(rom);
}

std::string Remove(SimBus& bus, const Args& args) {
    RomCode rom{};
    if (args.size() != 1 || !ParseRom(args[0], &rom)) {
        return Usage("remove ROM");
    }
    return bus.RemoveDevice(rom) ? kOk : kUnknownDevice;
}

std::string Temperature(SimBus& bus, const Args& args) {
    RomCode rom{};
    int tenths = 0;
    if (args.size() != 2 || !ParseRom(args[0], &rom) || !ParseTenths(args[1], &tenths)) {
        return Usage("temp ROM TENTHS");
    }
    return bus.SetTemperature(rom, tenths) ? kOk : kUnknownDevice;
}

std::string DeviceFault(SimBus& bus, const Args& args) {
    static const std::map<std::string, bool (SimBus::*)(const RomCode&, bool)> kFaults = {
        {"absent", &SimBus::SetAbsent},
        {"badcrc", &SimBus::SetBadCrc},
        {"stuck85", &SimBus::SetStuckAt85},
    };
    RomCode rom{};
    bool on = false;
    if (args.size() != 3 || !ParseRom(args[0], &rom) || !kFaults.contains(args[1]) ||
        !ParseSwitch(args[2], &on)) {
        return Usage("fault ROM absent|badcrc|stuck85 on|off");
    }
    return (bus.*kFaults.at(args[1]))(rom, on) ? kOk : kUnknownDevice;
}

std::string BusFault(SimBus& bus, const Args& args) {
    bool on = false;
    int count = 0;
    if (args.size() == 2 && args[0] == "shorted" && ParseSwitch(args[1], &on)) {
        bus.SetShorted(on);
    } else if (args.size() == 2 && args[0] == "silent" && ParseSwitch(args[1], &on)) {
        bus.SetSilent(on);
    } else if (args.size() == 2 && args[0] == "drop-next" && ParseCount(args[1], &count)) {
        bus.DropNextEchoes(count);
    } else if (args.size() == 2 && args[0] == "drop-every" && ParseCount(args[1], &count)) {
        bus.SetDropEvery(count);
    } else if (args.size() == 2 && args[0] == "delay" && ParseCount(args[1], &count)) {
        bus.SetEchoDelayMs(count);
    } else if (args.size() == 2 && args[0] == "line-time" && ParseSwitch(args[1], &on)) {
        bus.SetLineTime(on);
    } else if (args.size() == 2 && args[0] == "latency" && ParseBounded(args[1], 0, 1000, &count)) {
        bus.SetLatencyUs(count * 1000);
    } else {
        return Usage(
            "bus shorted|silent|line-time on|off, bus drop-next|drop-every|delay|latency N");
    }
    return kOk;
}

std::string Counters(SimBus& bus, const Args& args) {
    RomCode rom{};
    if (args.empty()) {
        return kOk + " resets=" + std::to_string(bus.Resets()) +
               " searches=" + std::to_string(bus.Searches());
    }
    if (args.size() != 1 || !ParseRom(args[0], &rom)) {
        return Usage("counters [ROM]");
    }
    for (const DeviceInfo& info : bus.Devices()) {
        if (info.rom == rom) {
            return kOk + " converts=" + std::to_string(info.converts) +
                   " reads=" + std::to_string(info.reads);
        }
    }
    return kUnknownDevice;
}

// A command without arguments that runs action on the bus.
Handler Plain(const std::string& name, void (SimBus::*action)()) {
    return [name, action](SimBus& bus, const Args& args) {
        if (!args.empty()) {
            return Usage(name);
        }
        (bus.*action)();
        return kOk;
    };
}

const std::map<std::string, Handler>& Handlers() {
    static const std::map<std::string, Handler> kHandlers = {
        {"list", List},
        {"port", Port},
        {"sensor", AddSensor},
        {"add", AddRom},
        {"remove", Remove},
        {"temp", Temperature},
        {"fault", DeviceFault},
        {"bus", BusFault},
        {"clear-faults", Plain("clear-faults", &SimBus::ClearFaults)},
        {"counters", Counters},
        {"clear-counters", Plain("clear-counters", &SimBus::ClearCounters)},
    };
    return kHandlers;
}

}  // namespace

std::string RunControlCommand(SimBus& bus, const std::string& line) {
    Args words = SplitWords(line);
    if (words.empty()) {
        return "error empty command";
    }
    auto handler = Handlers().find(words[0]);
    if (handler == Handlers().end()) {
        return "error unknown command " + words[0];
    }
    return handler->second(bus, Args(words.begin() + 1, words.end()));
}

bool ParseSensorOption(const std::string& text, SensorOption* sensor) {
    std::size_t first = text.find(':');
    if (first == std::string::npos) {
        return false;
    }
    std::size_t second = text.find(':', first + 1);
    std::string family = text.substr(0, first);
    std::string serial =
        text.substr(first + 1, second == std::string::npos ? second : second - first - 1);
    long long familyValue = 0;
    long long serialValue = 0;
    SensorOption parsed;
    if (family.size() > 2 || serial.size() > 12 || !ParseInt(family, 16, &familyValue) ||
        familyValue < 0 || !ParseInt(serial, 16, &serialValue) || serialValue < 0) {
        return false;
    }
    if (second != std::string::npos && !ParseTenths(text.substr(second + 1), &parsed.tenths)) {
        return false;
    }
    parsed.family = static_cast<uint8_t>(familyValue);
    parsed.serial = static_cast<uint64_t>(serialValue);
    *sensor = parsed;
    return true;
}

}  // namespace flextor::owsim
