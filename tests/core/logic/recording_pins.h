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
    // Non-empty: every write fails with this pin list.
    std::string failWith;

    int WritePins(uint16_t values, uint16_t mask, std::string* failed) override {
        writes.push_back(Write{values, mask});
        if (failWith.empty()) {
            return 1;
        }
        if (failed != nullptr) {
            *failed = failWith;
        }
        return 0;
    }
};

}  // namespace flextor::test
