// The eleven outputs as the core drives them: the platform's GPIO pins in the
// program, a recording double in tests.
#pragma once

#include <cstdint>
#include <string>

namespace flextor {

// The alarm output's entry in the pin table (bit 10 of the output word).
inline constexpr int kAlarmEntry = 10;

// An output that will not go low leaves the alarm output on, so that the horn
// sounds while a heater's line may still be on; what the message then adds.
inline constexpr char kAlarmKeptOnNote[] = ". Выход аварии оставлен включённым.";
inline constexpr char kAlarmNotOnNote[] = ". Выход аварии включить не удалось.";

class OutputPins {
  public:
    virtual ~OutputPins() = default;
    // For each entry i (0..10) whose bit is set in mask, drives the pin to bit i of
    // values. Returns 1 when every written pin succeeded (or mask is 0), else 0 with
    // the failed pins ("GPIO22, GPIO10") in *failed and their bits in *failed_bits,
    // each when not null.
    [[nodiscard]] virtual int WritePins(uint16_t values, uint16_t mask, std::string* failed,
                                        uint16_t* failed_bits) = 0;
};

}  // namespace flextor
