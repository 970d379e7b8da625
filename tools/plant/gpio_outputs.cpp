#include "plant/gpio_outputs.h"

#include <cmath>

#include "base/files/file_io.h"
#include "core/state/program_state.h"

namespace flextor::plant {

uint16_t ReadOutputWord(const std::string& folder, int base) {
    uint16_t word = 0;
    for (int i = 0; i < kPinCount; ++i) {
        const std::string path =
            folder + "/gpio" + std::to_string(base + kDefaultPinTable[i]) + "/value";
        std::string value;
        if (ReadWholeFile(path, value) && value.starts_with("1")) {
            word |= static_cast<uint16_t>(1u << i);
        }
    }
    return word;
}

bool OutputHistory::Record(double plant_time, uint16_t word) {
    if (last_ == word) {
        return true;
    }
    const long tenths = std::lround(plant_time * 10.0);
    const std::string stamp = std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
    std::string lines;
    for (int i = 0; i < kPinCount; ++i) {
        const uint32_t bit = 1u << i;
        if (last_ > 0xFFFF || ((last_ ^ word) & bit) != 0) {
            lines += stamp + " GPIO" + std::to_string(kDefaultPinTable[i]) +
                     ((word & bit) != 0 ? " 1\n" : " 0\n");
        }
    }
    last_ = word;
    return AppendToFile(path_, lines);
}

}  // namespace flextor::plant
