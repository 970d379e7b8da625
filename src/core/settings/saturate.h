// Bringing a number read from a file into the range of the width it is held in.
#pragma once

#include <cstdint>
#include <limits>

namespace flextor {

// True when T holds value as it is.
template <typename T>
bool FitsIn(int64_t value) {
    return value >= static_cast<int64_t>(std::numeric_limits<T>::min()) &&
           value <= static_cast<int64_t>(std::numeric_limits<T>::max());
}

// value when it fits in T, else the nearest end of T's range.
template <typename T>
T SaturatedTo(int64_t value) {
    if (value < static_cast<int64_t>(std::numeric_limits<T>::min())) {
        return std::numeric_limits<T>::min();
    }
    if (value > static_cast<int64_t>(std::numeric_limits<T>::max())) {
        return std::numeric_limits<T>::max();
    }
    return static_cast<T>(value);
}

}  // namespace flextor
