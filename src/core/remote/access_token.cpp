#include "core/remote/access_token.h"

#include <sys/random.h>

#include <array>
#include <cstdint>

namespace flextor {

std::string MakeAccessToken() {
    std::array<uint8_t, 32> bytes{};
    size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = getrandom(bytes.data() + got, bytes.size() - got, 0);
        if (n <= 0) {
            return "";
        }
        got += static_cast<size_t>(n);
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    for (uint8_t byte : bytes) {
        text += kHex[byte >> 4];
        text += kHex[byte & 0x0F];
    }
    return text;
}

bool IsUsableToken(std::string_view token) {
    if (token.size() < kShortestToken) {
        return false;
    }
    for (char c : token) {
        if (c <= ' ' || c > '~') {
            return false;
        }
    }
    return true;
}

bool TokenMatches(std::string_view given, std::string_view expected) {
    if (expected.empty()) {
        return false;
    }
    // Every byte of the expected token is looked at whatever the given one holds.
    unsigned difference = given.size() == expected.size() ? 0U : 1U;
    for (size_t i = 0; i < expected.size(); ++i) {
        const char g = i < given.size() ? given[i] : '\0';
        difference |= static_cast<unsigned>(static_cast<uint8_t>(g ^ expected[i]));
    }
    return difference == 0;
}

bool RateLimit::Allow(int64_t now_ms) {
    if (any_ && now_ms - last_ms_ < period_ms_) {
        return false;
    }
    any_ = true;
    last_ms_ = now_ms;
    return true;
}

}  // namespace flextor
