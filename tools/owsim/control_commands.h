// The one-line text commands of the control interface (see README, "Simulated plant").
// Every command gets one line back: "ok" with its result, or "error" and the reason.
#pragma once

#include <cstdint>
#include <string>

#include "owsim/sim_bus.h"

namespace flextor::owsim {

// Runs one command line (without its newline) on the bus; the answer has no newline.
std::string RunControlCommand(SimBus& bus, const std::string& line);

// "28:0000041A2B3C:785": family and serial in hex, temperature in tenths of a
// degree (optional, 25.0 C when left out).
struct SensorOption {
    uint8_t family = 0;
    uint64_t serial = 0;
    int tenths = 250;
};
[[nodiscard]] bool ParseSensorOption(const std::string& text, SensorOption* sensor);

}  // namespace flextor::owsim
