// The eleven outputs of PinTable as batches of GPIO operations. Every pin of a
// batch is attempted even after an earlier one failed; failed pins are listed by
// BCM number in table order ("GPIO4, GPIO17"). GUI thread, except UnexportPins,
// which the failure handler may call from another thread.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "core/outputs/output_pins.h"

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

// Drives every output low, trying a pin that failed again up to attempts times in
// all, pause apart. Returns the pins still not low (empty on success). Any thread:
// it is also the last thing done on the ways out of the program.
[[nodiscard]] std::string DriveAllOutputsLow(int attempts, std::chrono::milliseconds pause);

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
