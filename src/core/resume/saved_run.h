// The run as it stands, kept on disk while a column works, so that a start
// after a power cut can take it up: the crash-state text of ProgVar and the
// wall-clock time of the write. GUI thread only.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/state/program_state.h"
#include "core/time/clock.h"

namespace flextor {

inline constexpr const char kSavedRunFileName[] = "Resume.json";

// Seconds since 1970 counted on the local calendar: the difference of two of
// them is the time between two readings of the wall clock.
int64_t LocalSeconds(const LocalTime& time);

// {"SavedAt":seconds,"State":{the crash-state object of state}}
std::string SavedRunText(const ProgVarRecord& state, int64_t saved_at);

struct SavedRun {
    int64_t saved_at = 0;
    ProgVarRecord state;
};

// False unless text is an object with a whole SavedAt and a State object.
[[nodiscard]] bool ParseSavedRun(const std::string& text, SavedRun& run);

// What a start finds in the program folder: nothing (or the option off, when
// the file is not even looked at), a file that cannot be taken, or a run.
enum class SavedRunFound { kNone, kDamaged, kFound };
[[nodiscard]] SavedRunFound FindSavedRun(const std::string& program_folder, SavedRun& run);

// A role sensor's reading in tenths of a degree.
struct RoleReading {
    uint8_t role = 0;
    int16_t tenths = 0;
};

// The readings of the role sensors (roles 1..6, the first temperature sensor
// of each) in table that are neither in error nor missing; with fresh_only,
// only those read in the last cycle.
std::vector<RoleReading> RoleReadings(const std::vector<SensorParam>& table, bool fresh_only);

// Takes up the saved run: its log files, the columns and the latch, the
// restart count. The sensor table stays the one Setting.ini gave this start;
// the outputs the logic recomputes start low.
void TakeUpSavedRun(const ProgVarRecord& saved);

}  // namespace flextor
