// A start without a saved run to resume: one pair of log files named by the
// start time, and the sensor table built from the saved sensor list.
// GUI thread only.
#pragma once

#include <string>

#include "core/time/clock.h"

namespace flextor {

// Names the message log and the temperature log of this run, program_folder +
// "Log/" + the start time ("%dd_%mm_%yyyy__%hh_%ii_%ss") + ".log" and the same
// with "Termo_" before the time; program_folder ends with "/". Then builds
// ProgVar.Sensors.Sensor from SettingSensors: every row with a non-zero ID, with
// its role and the family flag.
void StartFresh(const std::string& program_folder, const LocalTime& start_time);

// Names only those of the two log files that have no name yet, for a resumed
// run whose saved state lacks them: its lines then go to a new file rather than
// nowhere.
void NameMissingLogFiles(const std::string& program_folder, const LocalTime& start_time);

}  // namespace flextor
