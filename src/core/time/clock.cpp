#include "core/time/clock.h"

#include <cstdio>
#include <ctime>

namespace flextor {
namespace {

class SystemClockImpl final : public Clock {
  public:
    LocalTime Now() const override {
        std::time_t now = std::time(nullptr);
        std::tm tm{};
        localtime_r(&now, &tm);
        return LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                         tm.tm_hour,        tm.tm_min,     tm.tm_sec};
    }
    int64_t MonotonicMs() const override {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
    }
};

Clock* installed = nullptr;

std::string TwoDigits(int value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d", value);
    return buffer;
}

std::string Date(const LocalTime& t, const char* separator) {
    return TwoDigits(t.day) + separator + TwoDigits(t.month) + separator + std::to_string(t.year);
}

std::string Time(const LocalTime& t, const char* separator) {
    return TwoDigits(t.hour) + separator + TwoDigits(t.minute) + separator + TwoDigits(t.second);
}

}  // namespace

Clock& SystemClock() {
    static SystemClockImpl clock;
    return clock;
}

Clock& CurrentClock() {
    return installed ? *installed : SystemClock();
}

void InstallClock(Clock* clock) {
    installed = clock;
}

std::string FormatTimeOfDay(const LocalTime& t) {
    return Time(t, ":");
}

std::string FormatDateTime(const LocalTime& t) {
    return Date(t, "/") + " " + Time(t, ":");
}

std::string FormatFileStamp(const LocalTime& t) {
    return Date(t, "_") + "__" + Time(t, "_");
}

}  // namespace flextor
