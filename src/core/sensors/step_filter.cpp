#include "core/sensors/step_filter.h"

#include <cmath>
#include <cstdlib>
#include <map>

#include "core/logic/checks/safer_reading.h"
#include "core/options/options.h"
#include "core/time/clock.h"

namespace flextor {
namespace {

std::map<int64_t, StepFilterState> states;

bool IsFresh(const SensorParam& row) {
    return (row.Flag & kFlagFresh) != 0 && (row.Flag & (kFlagError | kFlagNotFound)) == 0;
}

// The largest change allowed since the previous fresh reading: StepLimit per
// second, at least one second's worth (readings come about once a second).
int64_t AllowedTenths(int64_t since_previous_ms) {
    const double limit = CurrentOptions().checks.step_limit * 10.0;
    const double seconds = std::max<double>(1.0, static_cast<double>(since_previous_ms) / 1000.0);
    return std::llround(limit * seconds);
}

}  // namespace

void FilterReading(SensorParam& row, int16_t previous) {
    if (!CurrentOptions().checks.step_check) {
        states.erase(row.ID);
        return;
    }
    StepFilterState& s = states[row.ID];
    if (!IsFresh(row)) {
        // What the thread still holds may be the reading left out.
        if (s.in_row > 0) {
            row.Termo = s.has_reference ? s.reference : previous;
        }
    } else {
        const int64_t now = CurrentClock().MonotonicMs();
        const int64_t since = now - s.last_fresh_ms;
        s.last_fresh_ms = now;
        const int64_t allowed = AllowedTenths(since);
        const bool near_before = s.has_before && std::abs(row.Termo - s.before) <= allowed;
        s.has_before = false;
        if (!s.has_reference || since > kStepReferenceLifetimeMs || near_before) {
            s.has_reference = true;
            s.reference = row.Termo;
            s.in_row = 0;
        } else if (std::abs(row.Termo - s.reference) > allowed &&
                   ReadingMakesPlantSafer(row.Use, row.Termo)) {
            s.has_before = true;
            s.before = s.reference;
            s.reference = row.Termo;
            s.in_row = 0;
            ++s.jumps;
        } else if (std::abs(row.Termo - s.reference) > allowed) {
            s.last_jump = row.Termo;
            row.Termo = s.reference;
            row.Flag &= static_cast<uint8_t>(~kFlagFresh);
            ++s.in_row;
            ++s.jumps;
        } else {
            s.reference = row.Termo;
            s.in_row = 0;
        }
    }
    if (s.in_row >= kJumpsToFail) {
        row.Flag |= kFlagError;
    }
}

const StepFilterState* StepFilterOf(int64_t id) {
    const auto it = states.find(id);
    return it == states.end() ? nullptr : &it->second;
}

bool FailedByJumps(int64_t id) {
    const StepFilterState* s = StepFilterOf(id);
    return s != nullptr && s->in_row >= kJumpsToFail;
}

void ResetStepFilter() {
    states.clear();
}

}  // namespace flextor
