// Everything the failure path needs that would take the heap, a lock or the
// time zone to find out: paths, the restart's arguments, the pins' release
// plan and the local time offset. Rendered on the GUI thread before any fault
// can be handled; the failure path only reads it.
#pragma once

#include <atomic>
#include <string>

#include "platform/gpio/pin_release_plan.h"

namespace flextor {

inline constexpr size_t kPlanPathSize = 1024;

struct FailurePlan {
    std::atomic<bool> ready{false};
    char folder[kPlanPathSize] = {};      // the program folder, with a final "/"
    char log_file[kPlanPathSize] = {};    // the run's message log
    char crash_file[kPlanPathSize] = {};  // Crash.json
    char crash_temporary[kPlanPathSize] = {};
    char settings_file[kPlanPathSize] = {};  // Setting.ini
    char settings_temporary[kPlanPathSize] = {};
    char executable[kPlanPathSize] = {};  // argv[0] of the new instance
    char* restart_argv[4] = {};           // executable, "/CrashFile", crash_file
    std::atomic<long> utc_offset{0};      // local time minus UTC, in seconds
    // Made as soon as the pins are known, before the rest: even a failure before
    // the plan is ready can drive the outputs low.
    std::atomic<bool> pins_ready{false};
    PinReleasePlan pins;
    // The program's end of the outputs guard's socket, kept open for the new
    // instance (-1: none). Set on the GUI thread.
    std::atomic<int> guard_fd{-1};
};

// The one plan of the process.
FailurePlan& Plan();

// GUI thread, once PinTable is filled and the GPIO folder known. False when a
// path does not fit: the failure path then leaves the outputs to the guard.
[[nodiscard]] bool PreparePinReleasePlan();

// GUI thread, once the program folder and the run's log file are known (again
// after a resume changed the log file). False when a path does not fit: the
// failure path then ends the process without restarting it.
[[nodiscard]] bool PrepareFailurePlan(const std::string& folder, const std::string& log_file);

// GUI thread, now and then (every logic tick): follows a change of daylight
// saving time.
void RefreshUtcOffset();

}  // namespace flextor
