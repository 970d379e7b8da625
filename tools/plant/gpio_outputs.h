// The program's outputs as the plant sees them: the value files of a sysfs-like
// GPIO folder, read back into the output word, and the history of their changes.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace flextor::plant {

// The output word from DIR/gpioN/value of the eleven pins (N = base + BCM number);
// a pin whose file is missing, empty or not "1" counts as low.
uint16_t ReadOutputWord(const std::string& folder, int base);

// Appends one line per pin change to a file: the plant time in seconds with one
// decimal, the pin as "GPIO<BCM>" and its new level, e.g. "12.5 GPIO17 1". The
// first word seen is written whole, one line per pin.
class OutputHistory {
  public:
    explicit OutputHistory(std::string path) : path_(std::move(path)) {}

    // False when a line could not be written.
    [[nodiscard]] bool Record(double plant_time, uint16_t word);

  private:
    std::string path_;
    uint32_t last_ = 0x10000;  // nothing recorded yet
};

}  // namespace flextor::plant
