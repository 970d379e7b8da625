#include "ui/widgets/tenths_text.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <limits>

namespace flextor {

namespace {

// Larger magnitudes read as this; far beyond any 16-bit value.
constexpr int64_t kParseLimit = int64_t{1} << 40;

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

}  // namespace

int64_t ParseTenths(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    int64_t tenths = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        tenths = std::min(kParseLimit, tenths * 10 + (text[i] - '0') * 10);
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        if (i < text.size() && IsDigit(text[i])) {
            tenths = std::min(kParseLimit, tenths + (text[i] - '0'));
            ++i;
            // Half away from zero: the hundredths digit decides.
            if (i < text.size() && IsDigit(text[i]) && text[i] >= '5') {
                tenths = std::min(kParseLimit, tenths + 1);
            }
        }
    }
    return negative ? -tenths : tenths;
}

int16_t SaturateToInt16(int64_t value) {
    constexpr int64_t lo = std::numeric_limits<int16_t>::min();
    constexpr int64_t hi = std::numeric_limits<int16_t>::max();
    return static_cast<int16_t>(std::clamp(value, lo, hi));
}

}  // namespace flextor
