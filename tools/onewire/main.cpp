// flextor-onewire: checks the wiring of a 1-Wire bus before the controller runs.
// Searches the bus through the same link the controller uses and prints every
// device found with the temperature read from it.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/logic/number_text.h"
#include "core/state/program_state.h"
#include "platform/onewire/link.h"
#include "platform/onewire/rom_search.h"
#include "platform/onewire/sensor_commands.h"
#include "platform/onewire/temperature.h"
#include "platform/serial/usb_latency.h"

namespace {

using namespace flextor::onewire;

const char kUsage[] =
    "usage: flextor-onewire PORT\n"
    "\n"
    "Searches the 1-Wire bus on the serial port /dev/PORT (a USB-UART adapter such as\n"
    "ttyUSB0, or a simulated bus such as pts/3 or ttyOWSIM0) and prints one line per\n"
    "device found: its identifier, then for DS18B20 (family 28) and DS18S20 (family 10)\n"
    "sensors the temperature in degrees Celsius, \"-\" for other devices, or \"error\"\n"
    "when the sensor cannot be read.\n"
    "\n"
    "  28-0000041A2B3C-BB 78.5\n"
    "  01-000000000042-26 -\n"
    "\n"
    "Before the search it tells on standard error the USB adapter's latency timer\n"
    "(how long the adapter holds what it receives; every round trip on the bus\n"
    "waits that long, 1 ms is best), or that the adapter has none.\n"
    "\n"
    "Exit status: 0 when the search ran (also when it found nothing), 1 when the\n"
    "port cannot be opened, 2 for a wrong command line.\n";

// The longest conversion of a sensor at 12 bits is 750 ms.
constexpr auto kConversionTime = std::chrono::milliseconds(800);

std::string FormatTenths(int16_t tenths) {
    std::string text = flextor::TenthsText(tenths);
    if (IsPowerOnValue(tenths)) {
        text += " (power-on value: the sensor did not convert)";
    }
    return text;
}

std::string ReadTemperature(OWire& link, const RomCode& rom, bool converting) {
    Scratchpad pad{};
    if (!converting || !ReadScratchpad(link, rom, pad)) {
        return "error";
    }
    return FormatTenths(TemperatureTenths(rom[0], pad[0], pad[1]));
}

// The adapter's latency timer, which slows every round trip on the bus.
void PrintAdapterLatency(const std::string& port) {
    const std::string tty = flextor::KernelTtyName("/dev/" + port);
    std::optional<int> ms = flextor::ReadLatencyTimer(flextor::UsbSerialRootFromEnvironment(), tty);
    if (!ms) {
        std::fprintf(stderr, "port %s: the adapter has no latency timer\n", port.c_str());
    } else if (*ms > flextor::kWantedLatencyMs) {
        std::fprintf(
            stderr,
            "port %s: adapter latency timer %d ms: every round trip on the bus waits that "
            "long; set it to 1 ms: echo 1 | sudo tee %s\n",
            port.c_str(), *ms,
            flextor::LatencyTimerPath(flextor::UsbSerialRootFromEnvironment(), tty).c_str());
    } else {
        std::fprintf(stderr, "port %s: adapter latency timer %d ms\n", port.c_str(), *ms);
    }
}

// Why a search found nothing or stopped early, for the person at the bus.
void ExplainSearchEnd(int32_t error, size_t found) {
    if (error == kErrNoPresence && found == 0) {
        std::fprintf(stderr, "no device answered the reset: check the bus wiring and power\n");
    } else if (error == kErrIO) {
        std::fprintf(stderr,
                     "the adapter did not echo the bus: check that TX and RX are both "
                     "tied to the data line\n");
    } else if (error == kErrNone && found == 0) {
        std::fprintf(stderr,
                     "devices answered the reset but gave no valid code: the data line "
                     "may be held low\n");
    } else if (error == kErrSearchNoDevice) {
        std::fprintf(stderr, "the search stopped: a device stopped answering\n");
    }
    std::fprintf(stderr, "%zu device%s found\n", found, found == 1 ? "" : "s");
}

// Starts every sensor's conversion, waits for them once, then reads each one.
void PrintDevices(OWire& link, const SearchResult& devices) {
    std::vector<bool> converting(devices.size(), false);
    bool any = false;
    for (size_t i = 0; i < devices.size(); ++i) {
        if (flextor::IsTemperatureFamily(devices[i][0])) {
            converting[i] = ConvertT(link, devices[i]);
            any = true;
        }
    }
    if (any) {
        std::this_thread::sleep_for(kConversionTime);
    }
    for (size_t i = 0; i < devices.size(); ++i) {
        std::string value = flextor::IsTemperatureFamily(devices[i][0])
                                ? ReadTemperature(link, devices[i], converting[i])
                                : "-";
        std::printf("%s %s\n", FormatRomCode(devices[i]).c_str(), value.c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (args.size() != 1 || args[0].starts_with("-")) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::string port = args[0].starts_with("/dev/") ? args[0].substr(5) : args[0];

    LinkOptions = kLinkSleep;
    // Tests serve their bus from a thread that a loaded machine may hold back
    // longer than a real adapter takes: they stretch the echo waits. Never set
    // beside a plant.
    if (const char* stretch = std::getenv("FLEXTOR_TEST_ECHO_STRETCH")) {
        EchoWaitStretch = std::clamp(std::atoi(stretch), 1, 100);
    }
    OWire link;
    if (link.Open(port) == 0) {
        std::fprintf(stderr, "flextor-onewire: cannot open the port /dev/%s\n", port.c_str());
        return 1;
    }
    PrintAdapterLatency(port);
    SearchResult devices = Search(link);
    int32_t search_end = LastError();
    PrintDevices(link, devices);
    std::fflush(stdout);
    ExplainSearchEnd(search_end, devices.size());
    return 0;
}
