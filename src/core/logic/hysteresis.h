// A two-point switch: an output that turns on past one temperature and off back
// at another, keeping its level in the band between (column 3's outputs and the
// sensor-6 output).
#pragma once

#include <cstdint>

namespace flextor {

// The new level of an output at temperature t that is off from off_at back and
// on from on_at on. on_above: the output is on above the band (else below it).
inline uint8_t HysteresisLevel(uint8_t level, int t, int off_at, int on_at, bool on_above) {
    if (on_above ? t <= off_at : t >= off_at) {
        return 0;
    }
    if (on_above ? t >= on_at : t <= on_at) {
        return 1;
    }
    return level;
}

}  // namespace flextor
