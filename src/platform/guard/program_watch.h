// The outputs guard's work, apart from its process: it waits for the program's
// end on their socket and, when the program went without dismissing it, drives
// every output low, gives the pins back and writes one line to the run's
// message log. A program whose control loop stops giving signs (stopped,
// frozen) is killed first, and a marker left for its next start. Nothing
// watches the plant after that.
#pragma once

#include <chrono>
#include <string>

#include "platform/gpio/gpio_backend.h"
#include "platform/gpio/pin_out.h"

namespace flextor {

struct GuardOutcome {
    bool dismissed = false;      // the orderly shutdown ended the watch: outputs untouched
    bool frozen = false;         // the program gave no sign for the freeze time and was killed
    std::string failed_pins;     // pins that stayed high ("GPIO17, GPIO27"), else empty
    bool alarm_kept_on = false;  // with pins that stayed high: the alarm output left on
    std::string log_file;        // the last log file the program named
};

// Long enough for udev to make the files of a pin exported again writable.
inline constexpr int kGuardLowAttempts = 15;
inline constexpr std::chrono::milliseconds kGuardLowPause{100};

// Reads fd until its end (or a read error), or until the program, once it
// said its control loop is alive, says nothing more for the freeze time; then
// acts as above. It sleeps in a poll meanwhile, waking only for what the
// program sends. The line written, if any, also goes to stderr.
[[nodiscard]] GuardOutcome WatchProgram(int fd, GpioBackend& gpio);

// Drives every output of the default pin table low (DriveOutputsLow: a pin
// given back by a failed instance keeps its level, so one not exported is
// exported again and set up whole; the alarm output stays on while another
// output is on), up to attempts rounds pause apart. Then every pin that went
// low is unexported.
[[nodiscard]] OutputsLow DriveOutputsLowForGood(GpioBackend& gpio, int attempts,
                                                std::chrono::milliseconds pause);

}  // namespace flextor
