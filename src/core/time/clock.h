// Time as the program sees it: local calendar time for stamps and a monotonic
// millisecond count for intervals. Logic never reads the system clock itself;
// it asks the installed Clock, which tests replace with a fake.
#pragma once

#include <cstdint>
#include <string>

namespace flextor {

struct LocalTime {
    int year = 2000;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

class Clock {
  public:
    virtual ~Clock() = default;
    virtual LocalTime Now() const = 0;        // local time, whole seconds
    virtual int64_t MonotonicMs() const = 0;  // never goes back
};

// The system's clock.
Clock& SystemClock();

// The clock in use: the system's unless a test installed another.
Clock& CurrentClock();
void InstallClock(Clock* clock);  // nullptr restores the system clock

// "%hh:%ii:%ss"
std::string FormatTimeOfDay(const LocalTime& t);
// "%dd/%mm/%yyyy %hh:%ii:%ss"
std::string FormatDateTime(const LocalTime& t);
// "%dd_%mm_%yyyy__%hh_%ii_%ss", the stamp in log file names
std::string FormatFileStamp(const LocalTime& t);

}  // namespace flextor
