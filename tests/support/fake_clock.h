// A clock that tests set and move by hand. The wall clock is kept as milliseconds
// on a calendar without time zones, so moving it crosses midnight, month and year
// ends like local time does (no daylight saving steps).
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

#include "core/time/clock.h"

namespace flextor::test {

class FakeClock final : public Clock {
  public:
    explicit FakeClock(const LocalTime& now = LocalTime{}, int64_t monotonic_ms = 0)
        : wall_ms_(ToMs(now)), monotonic_ms_(monotonic_ms) {}

    // Every reading of Now() first moves both clocks by step_ms (0 by default): time
    // that passes while the code under test works.
    LocalTime Now() const override {
        int64_t step = step_ms_.load();
        monotonic_ms_ += step;
        return FromMs(wall_ms_ += step);
    }
    int64_t MonotonicMs() const override { return monotonic_ms_.load(); }

    void SetNow(const LocalTime& now) { wall_ms_ = ToMs(now); }
    void SetMonotonicMs(int64_t ms) { monotonic_ms_ = ms; }
    // Moves both clocks forward by ms; the wall clock shows whole seconds passed.
    void Advance(int64_t ms) {
        wall_ms_ += ms;
        monotonic_ms_ += ms;
    }
    void AdvanceSeconds(int64_t seconds) { Advance(seconds * 1000); }
    void SetStepPerReading(int64_t ms) { step_ms_ = ms; }

    static int64_t ToMs(const LocalTime& t) {
        using namespace std::chrono;
        sys_days day = year_month_day{year{t.year}, month{static_cast<unsigned>(t.month)},
                                      std::chrono::day{static_cast<unsigned>(t.day)}};
        seconds time = hours{t.hour} + minutes{t.minute} + seconds{t.second};
        return duration_cast<milliseconds>(day.time_since_epoch() + time).count();
    }

    static LocalTime FromMs(int64_t ms) {
        using namespace std::chrono;
        sys_time<milliseconds> point{milliseconds{ms}};
        sys_days day = floor<days>(point);
        year_month_day date{day};
        hh_mm_ss time{floor<seconds>(point - day)};
        return LocalTime{static_cast<int>(date.year()),
                         static_cast<int>(static_cast<unsigned>(date.month())),
                         static_cast<int>(static_cast<unsigned>(date.day())),
                         static_cast<int>(time.hours().count()),
                         static_cast<int>(time.minutes().count()),
                         static_cast<int>(time.seconds().count())};
    }

  private:
    mutable std::atomic<int64_t> wall_ms_;
    mutable std::atomic<int64_t> monotonic_ms_;
    std::atomic<int64_t> step_ms_{0};
};

// Installs clock for the life of the scope, then puts the system clock back.
class ScopedClock {
  public:
    explicit ScopedClock(Clock& clock) { InstallClock(&clock); }
    ~ScopedClock() { InstallClock(nullptr); }
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;
};

}  // namespace flextor::test
