#include "core/chart/chart_model.h"

#include <chrono>

namespace flextor {

ChartState Chart;

// The calendar is the proleptic Gregorian one of <chrono>, read without any time
// zone: a local wall-clock time maps to the seconds it would be in UTC.
int32_t WallSeconds(const LocalTime& t) {
    using namespace std::chrono;
    const sys_days date = year_month_day{year{t.year}, month{static_cast<unsigned>(t.month)},
                                         day{static_cast<unsigned>(t.day)}};
    const seconds time = hours{t.hour} + minutes{t.minute} + seconds{t.second};
    return static_cast<int32_t>((date.time_since_epoch() + time).count());
}

LocalTime FromWallSeconds(int32_t seconds) {
    using namespace std::chrono;
    const sys_seconds point{std::chrono::seconds{seconds}};
    const sys_days date = floor<days>(point);
    const year_month_day ymd{date};
    const hh_mm_ss time{point - date};
    return LocalTime{static_cast<int>(ymd.year()),
                     static_cast<int>(static_cast<unsigned>(ymd.month())),
                     static_cast<int>(static_cast<unsigned>(ymd.day())),
                     static_cast<int>(time.hours().count()),
                     static_cast<int>(time.minutes().count()),
                     static_cast<int>(time.seconds().count())};
}

}  // namespace flextor
