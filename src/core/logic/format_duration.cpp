#include "core/logic/format_duration.h"

namespace flextor {
namespace {

constexpr int32_t kYear = 31556926;
constexpr int32_t kWeek = 604800;
constexpr int32_t kDay = 86400;
constexpr int32_t kHour = 3600;
constexpr int32_t kMinute = 60;

struct Unit {
    int32_t seconds;
    const char* text;
    bool endsAtThird;  // a third written unit completes the text
};

constexpr Unit kMiddleUnits[] = {
    {kWeek, " нед. ", false},
    {kDay, " дн. ", true},
    {kHour, " ч. ", true},
};

void Write(std::string& text, int32_t count, const char* unit) {
    text += std::to_string(count);
    text += unit;
}

}  // namespace

std::string FormatDuration(int32_t seconds) {
    if (seconds < 0) {
        return "∞";
    }
    std::string text;
    int written = 0;
    bool mustWrite = false;  // the next unit is written even when it counts 0
    if (seconds >= kYear) {
        Write(text, seconds / kYear, " Год ");
        written = 1;
        mustWrite = true;
        seconds %= kYear;
    }
    for (const Unit& unit : kMiddleUnits) {
        const int32_t count = seconds / unit.seconds;
        if (count == 0 && !mustWrite) {
            continue;
        }
        Write(text, count, unit.text);
        ++written;
        if (unit.endsAtThird && written == 3) {
            return text;
        }
        mustWrite = written == 1;
        seconds %= unit.seconds;
    }
    const int32_t minutes = seconds / kMinute;
    if (minutes > 0 || mustWrite) {
        Write(text, minutes, " мин. ");
        seconds %= kMinute;
        if (written == 2) {
            return text;
        }
    }
    Write(text, seconds, " сек.");
    return text;
}

}  // namespace flextor
