// The eleven outputs of PinTable as batches of GPIO operations. Every pin of a
// batch is attempted even after an earlier one failed; failed pins are listed by
// BCM number in table order ("GPIO4, GPIO17"). GUI thread, except UnexportPins,
// which the failure handler may call from another thread.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "core/outputs/output_pins.h"
#include "platform/gpio/gpio_backend.h"

namespace flextor {

// list + ", " + "GPIO" + gpio, or "GPIO" + gpio when list is empty.
std::string AppendPinName(const std::string& list, uint16_t gpio);

// Exports all pins; returns the failed pins (empty on success).
[[nodiscard]] std::string ExportPins();

// Makes all pins outputs; returns the failed pins (empty on success).
[[nodiscard]] std::string SetPinsOut();

// For each entry i whose bit is set in mask, drives the pin to bit i of values;
// the other pins are not touched. Returns 1 when every written pin succeeded (or
// mask is 0), else 0. *failed, when given, receives the failed pins ("" on
// success), *failed_bits their bits.
[[nodiscard]] int WritePins(uint16_t values, uint16_t mask, std::string* failed = nullptr,
                            uint16_t* failed_bits = nullptr);

// How a drive of every output to low left them.
struct OutputsLow {
    uint16_t failed_bits = 0;    // entries still not low
    std::string failed;          // their pins ("GPIO4, GPIO17"); empty when all are low
    bool alarm_kept_on = false;  // another output stayed on: the alarm output is on
    bool alarm_lost = false;     // another output stayed on, and so did not the alarm

    bool AllLow() const { return failed_bits == 0; }
    // "" when all are low; else the failed pins and what became of the alarm.
    std::string FailedText() const;
};

// Drives every output of table (the eleven pins' BCM numbers) low through gpio, each pin set up
// whole (DriveOutput) at every attempt, a pin that failed tried again up to attempts times in all,
// pause apart. The alarm output comes last: low when every other output went low, else driven on,
// so that the horn sounds.
[[nodiscard]] OutputsLow DriveOutputsLow(GpioBackend& gpio, const uint16_t* table, int attempts,
                                         std::chrono::milliseconds pause);

// The same for PinTable through the backend in use. Any thread: it is also the
// last thing done on the ways out of the program.
[[nodiscard]] OutputsLow DriveAllOutputsLow(int attempts, std::chrono::milliseconds pause);

// Unexports all pins; 1 when all succeeded, else 0. A pin left exported is
// harmless to the plant, so callers may go on without it.
[[nodiscard]] int UnexportPins();

// The core's outputs on the GPIO pins.
class GpioOutputPins final : public OutputPins {
  public:
    int WritePins(uint16_t values, uint16_t mask, std::string* failed,
                  uint16_t* failed_bits) override;
};

}  // namespace flextor
