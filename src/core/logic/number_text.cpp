#include "core/logic/number_text.h"

#include <charconv>
#include <cstdlib>

namespace flextor {

std::string TenthsText(int tenths) {
    const int magnitude = std::abs(tenths);
    std::string text = tenths < 0 ? "-" : "";
    text += std::to_string(magnitude / 10);
    text += '.';
    text += static_cast<char>('0' + magnitude % 10);
    return text;
}

std::string LitresText(double millilitres) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, millilitres / 1000.0,
                                std::chars_format::fixed, 3);
    if (result.ec != std::errc()) {
        return "0.000";
    }
    return std::string(buffer, result.ptr);
}

std::string DecimalText(double value) {
    // Room for the longest fixed form of a double: 309 digits before the point,
    // or 324 decimals after it.
    char buffer[400];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (result.ec != std::errc()) {
        return "0";
    }
    return std::string(buffer, result.ptr);
}

}  // namespace flextor
