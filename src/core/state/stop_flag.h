// The stop request of the polling thread (StopRequest): 0 while the program runs,
// 1 once shutdown or the failure handler has set it. A thread may sleep until it
// is set: a store wakes every sleeper at once, so a thread in its pause need not
// wake again and again to look at it. A store is an atomic store and one system
// call, so the failure handler may set it from a signal handler.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

namespace flextor {

class StopFlag {
  public:
    int32_t load() const { return value_.load(); }
    // Stores value and wakes every sleeper.
    StopFlag& operator=(int32_t value);

    // Wakes every sleeper without changing the value: another reason to stop.
    void Wake();
    // The number of wakes so far. A sleeper takes it before it looks at what it
    // waits for and hands it to SleepUntil, so that a wake in between is not lost.
    uint32_t Wakes() const { return wakes_.load(); }
    // Sleeps until a wake after seen_wakes or until deadline. It may return
    // early (a signal), so the caller looks again and sleeps again.
    void SleepUntil(uint32_t seen_wakes, std::chrono::steady_clock::time_point deadline) const;

  private:
    std::atomic<int32_t> value_{0};
    std::atomic<uint32_t> wakes_{0};
};

}  // namespace flextor
