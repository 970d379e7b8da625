// Countdown texts of the column-1 status line.
#pragma once

#include <cstdint>
#include <string>

namespace flextor {

// Seconds as at most three units, largest first, e.g. 90004 → "1 дн. 1 ч. 4 сек.";
// negative seconds → "∞".
std::string FormatDuration(int32_t seconds);

}  // namespace flextor
