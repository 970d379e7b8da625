#include "core/settings/field_number.h"

#include <limits>

namespace flextor {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

bool IsDigitInput(std::string_view typed) {
    if (typed.empty()) {
        return false;
    }
    for (char c : typed) {
        if (!IsDigit(c)) {
            return false;
        }
    }
    return true;
}

int32_t ReadFieldNumber(std::string_view text) {
    constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
    int64_t value = 0;
    for (char c : text) {
        if (!IsDigit(c)) {
            break;
        }
        value = value * 10 + (c - '0');
        if (value > kMax) {
            return static_cast<int32_t>(kMax);
        }
    }
    return static_cast<int32_t>(value);
}

}  // namespace flextor
