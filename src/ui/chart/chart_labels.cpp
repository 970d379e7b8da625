// Sample times and scale values as text.
#include "ui/chart/chart_labels.h"

#include <charconv>

#include "core/chart/chart_model.h"
#include "core/time/clock.h"

namespace flextor {
namespace {

std::string Decimal(int value, int width) {
    char digits[16];
    auto result = std::to_chars(digits, digits + sizeof digits, value);
    std::string text(digits, result.ptr);
    if (static_cast<int>(text.size()) < width) {
        text.insert(0, static_cast<size_t>(width) - text.size(), '0');
    }
    return text;
}

}  // namespace

int SecondOf(int32_t time) {
    return (time % 60 + 60) % 60;
}

std::string GridLabel(int32_t time) {
    const LocalTime t = FromWallSeconds(time);
    if (t.second == 0) {
        return Decimal(t.hour, 2) + ":" + Decimal(t.minute, 2);
    }
    return Decimal(t.second, 2);
}

std::string StampLabel(int32_t time) {
    return FormatTimeOfDay(FromWallSeconds(time));
}

std::string DateLabel(int32_t time) {
    const LocalTime t = FromWallSeconds(time);
    return Decimal(t.day, 2) + "/" + Decimal(t.month, 2) + "/" + Decimal(t.year, 4) + "  " +
           FormatTimeOfDay(t);
}

std::string ScaleLabel(int degrees) {
    return Decimal(degrees, 1);
}

}  // namespace flextor
