// The status page's access token: made long and random, compared in constant
// time so that the time of an answer tells nothing about how much of a guess
// was right.
#pragma once

#include <string>
#include <string_view>

namespace flextor {

// 32 random bytes from the kernel as 64 hex digits; empty when the kernel gives none.
std::string MakeAccessToken();

// A token typed into Remote.ini must be as hard to guess as a made one is made
// to be: at least this many characters, each a printable ASCII one but space
// (so that it goes into a URL and a header as it is).
inline constexpr size_t kShortestToken = 32;
bool IsUsableToken(std::string_view token);

// True when given equals expected; its time depends on the lengths only.
// An empty expected token matches nothing.
bool TokenMatches(std::string_view given, std::string_view expected);

// Lets a refusal be logged at most once per period.
class RateLimit {
  public:
    explicit RateLimit(int64_t period_ms) : period_ms_(period_ms) {}
    // True when the last allowed time is at least a period before now_ms (or none was).
    bool Allow(int64_t now_ms);

  private:
    int64_t period_ms_;
    int64_t last_ms_ = 0;
    bool any_ = false;
};

}  // namespace flextor
