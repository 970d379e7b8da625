// Giving the pins back from a failure handler: the sysfs files of every pin,
// rendered at start-up into fixed buffers, so that carrying the plan out needs
// only open, write and close (async-signal-safe). Unexport alone keeps the
// outputs' levels for an instance that takes over right after; when none will,
// the outputs are driven low first, and pins already given back are taken
// again for that.
#pragma once

#include "core/state/program_state.h"

namespace flextor {

inline constexpr size_t kPinPlanPathSize = 512;

struct PinReleasePlan {
    char export_path[kPinPlanPathSize] = {};
    char unexport_path[kPinPlanPathSize] = {};
    char numbers[kPinCount][12] = {};
    char folder_paths[kPinCount][kPinPlanPathSize] = {};
    char direction_paths[kPinCount][kPinPlanPathSize] = {};
    char active_low_paths[kPinCount][kPinPlanPathSize] = {};
    bool active_low = false;  // relay boards that switch on a low level
    char value_paths[kPinCount][kPinPlanPathSize] = {};
    int count = 0;
};

// Renders the plan for PinTable and the sysfs folder in use. False (and an empty
// plan) when a path does not fit.
[[nodiscard]] bool MakePinReleasePlan(PinReleasePlan& plan);

// Async-signal-safe. Writes each number to the unexport file; returns how many
// writes were taken.
int CarryOutUnexport(const PinReleasePlan& plan);

struct PinsLowByPlan {
    uint16_t failed_bits = 0;    // entries that did not go low
    bool alarm_kept_on = false;  // another output stayed on: the alarm output is on
    bool alarm_lost = false;     // another output stayed on, and the alarm output is not on

    bool AllLow() const { return failed_bits == 0; }
};

// Async-signal-safe. Drives every pin low, each set up whole at every attempt:
// a pin whose folder is gone (given back already) exported again, then its
// active_low, direction and value written; a pin that fails is tried again
// for about a second. The alarm output comes last: low when every other pin
// went low, else driven on.
PinsLowByPlan DrivePinsLowByPlan(const PinReleasePlan& plan);

}  // namespace flextor
