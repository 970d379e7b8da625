// Output pins that remember every write, and can be told to fail.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/outputs/output_pins.h"

namespace flextor::test {

class RecordingPins final : public OutputPins {
  public:
    struct Write {
        uint16_t values;
        uint16_t mask;
    };
    std::vector<Write> writes;
    // The pins of these bits fail whenever they are written, reported as failWith.
    uint16_t failBits = 0;
    std::string failWith;

    int WritePins(uint16_t values, uint16_t mask, std::string* failed,
                  uint16_t* failed_bits) override {
        writes.push_back(Write{values, mask});
        const uint16_t bits = mask & failBits;
        if (failed != nullptr) {
            *failed = bits != 0 ? failWith : "";
        }
        if (failed_bits != nullptr) {
            *failed_bits = bits;
        }
        return bits == 0 ? 1 : 0;
    }
};

}  // namespace flextor::test
