// Calendar date and time of day from a count of seconds, by arithmetic alone:
// no time zone files, no locks, so a signal handler may use it. The caller
// adds the local offset to UTC itself.
#pragma once

#include <cstdint>

namespace flextor {

struct CivilTime {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// seconds since 1970-01-01 00:00:00 (of whatever zone they are counted in).
CivilTime CivilFromSeconds(int64_t seconds);

}  // namespace flextor
