#include "app/display_wait.h"

#include <charconv>
#include <cstdlib>
#include <cstring>

namespace flextor {
namespace {

constexpr long kMaxWaitSeconds = 600;

}  // namespace

DisplayWait ParseDisplayWait(const char* text) {
    if (text == nullptr || *text == '\0') {
        return {};
    }
    long seconds = -1;
    const char* end = text + std::strlen(text);
    const auto [next, error] = std::from_chars(text, end, seconds);
    if (error != std::errc() || next != end || seconds < 0 || seconds > kMaxWaitSeconds) {
        // Appended, not chained with +: with GTK's headers precompiled, g++ 12 takes the
        // chain for a copy past a temporary's end (-Warray-bounds).
        std::string problem = kDisplayWaitVariable;
        problem.append("=").append(text).append(": expected whole seconds from 0 to ");
        problem.append(std::to_string(kMaxWaitSeconds));
        return {std::chrono::seconds{0}, problem};
    }
    return {std::chrono::seconds{seconds}, ""};
}

DisplayWait DisplayWaitFromEnvironment() {
    return ParseDisplayWait(std::getenv(kDisplayWaitVariable));
}

}  // namespace flextor
