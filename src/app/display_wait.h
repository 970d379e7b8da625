// How long the program waits for its display at start: FLEXTOR_DISPLAY_WAIT
// seconds (0 to 600), 0 when unset. The installed launcher sets 30, so that a
// program started at login outlives a desktop that is not up yet.
#pragma once

#include <chrono>
#include <string>

namespace flextor {

inline constexpr char kDisplayWaitVariable[] = "FLEXTOR_DISPLAY_WAIT";

struct DisplayWait {
    std::chrono::seconds limit{0};
    std::string error;  // a value that is not a whole number of seconds in range
};

DisplayWait ParseDisplayWait(const char* text);
DisplayWait DisplayWaitFromEnvironment();

}  // namespace flextor
