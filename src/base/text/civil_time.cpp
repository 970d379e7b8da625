#include "base/text/civil_time.h"

namespace flextor {
namespace {

int64_t FloorDiv(int64_t a, int64_t b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0) ? 1 : 0);
}

}  // namespace

// The day count goes to a date through eras of 400 years, each 146097 days,
// counted from 1 March so that the leap day falls at a year's end.
CivilTime CivilFromSeconds(int64_t seconds) {
    CivilTime time;
    const int64_t days = FloorDiv(seconds, 86400);
    const int64_t of_day = seconds - days * 86400;
    time.hour = static_cast<int>(of_day / 3600);
    time.minute = static_cast<int>(of_day % 3600 / 60);
    time.second = static_cast<int>(of_day % 60);
    const int64_t z = days + 719468;
    const int64_t era = FloorDiv(z, 146097);
    const int64_t day_of_era = z - era * 146097;
    const int64_t year_of_era =
        (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
    const int64_t day_of_year =
        day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
    const int64_t month_index = (5 * day_of_year + 2) / 153;
    time.day = static_cast<int>(day_of_year - (153 * month_index + 2) / 5 + 1);
    time.month = static_cast<int>(month_index < 10 ? month_index + 3 : month_index - 9);
    time.year = static_cast<int>(year_of_era + era * 400 + (time.month <= 2 ? 1 : 0));
    return time;
}

}  // namespace flextor
