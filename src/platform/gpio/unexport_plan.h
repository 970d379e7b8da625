// Giving the pins back from a failure handler: the sysfs unexport file and the
// number text of each pin, rendered at start-up into fixed buffers, so that
// carrying the plan out needs only open, write and close. The pins are not
// written low first: the outputs keep their levels for the instance that
// takes over right after.
#pragma once

#include "core/state/program_state.h"

namespace flextor {

struct PinUnexportPlan {
    char unexport_path[512] = {};
    char numbers[kPinCount][12] = {};
    int count = 0;
};

// Renders the plan for PinTable and the sysfs folder in use. False (and an empty
// plan) when the path does not fit.
[[nodiscard]] bool MakeUnexportPlan(PinUnexportPlan& plan);

// Async-signal-safe. Writes each number to the unexport file; returns how many
// writes were taken.
int CarryOutUnexportPlan(const PinUnexportPlan& plan);

}  // namespace flextor
