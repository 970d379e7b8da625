// Whether a run cut short by a power cut is taken up at the next start. Only
// when it is known to be safe: the outage is known to have been short, or the
// plant is still as hot as it was. The Pi has no clock of its own while the
// power is off, so a clock not yet synchronised, or one behind the time of the
// last save, leaves the outage unknown.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/options/options.h"
#include "core/resume/saved_run.h"

namespace flextor {

struct PowerCutFacts {
    int64_t saved_at = 0;  // LocalSeconds of the last save
    int64_t now = 0;       // LocalSeconds at this start
    bool clock_synchronised = false;
    std::vector<RoleReading> saved;    // the role sensors' readings at the save
    std::vector<RoleReading> current;  // their first readings now; a role may be missing
    bool alarm_latched = false;        // in the saved state
};

// True when the outage is known and no longer than allowed: the readings are
// then not needed, and the start need not wait for them.
[[nodiscard]] bool OutageKnownShort(const PowerCutFacts& facts, const ResumeOptions& options);

struct PowerCutDecision {
    bool resume = false;
    bool keep_latch = false;  // a latched alarm blocks the columns whatever is decided
    std::string message;      // for the message log, a warning either way
};

[[nodiscard]] PowerCutDecision DecidePowerCut(const PowerCutFacts& facts,
                                              const ResumeOptions& options);

}  // namespace flextor
