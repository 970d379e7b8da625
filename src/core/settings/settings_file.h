// Setting.ini: the user's settings on disk. Loading reads every key into
// Settings and builds SettingSensors; saving writes the whole file anew from them.
// GUI thread only (and the failure handler, when the GUI thread is stopped).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/settings/settings.h"

namespace flextor {

// The settings file in the working folder, which start-up makes the program's own.
inline constexpr const char* kSettingsFileName = "Setting.ini";

// Reads the file into Settings and SettingSensors. Every key missing from the
// file, or every key when the file cannot be read, takes its default. Only a
// regular file is read, and never one too large to be a settings file. A file
// that exists but cannot be read, or is damaged, is noted for the message log
// (ReportSettingsFindings) and kept aside before the next save; so is every
// number that its setting cannot hold.
void LoadSettings(const std::string& path = kSettingsFileName);

// Writes Settings and SettingSensors to the file, replacing it whole: a power cut
// leaves either the old file or the new one. On failure logs a warning, leaves
// the file as it was and returns false. After a load that found the file
// unusable, the old file is kept aside first, and not replaced when it cannot be.
[[nodiscard]] bool SaveSettings(const std::string& path = kSettingsFileName);

// A number of the file that its setting cannot hold: the setting takes the
// nearest end of its range.
struct OutOfRangeValue {
    std::string key;   // as the program writes it: "TimeStable", "Use_2"
    std::string read;  // the value as written in the file
    std::string used;  // what the setting holds instead
};

struct SettingsReading {
    std::optional<std::string> damage;          // what shows the bytes to be damaged
    std::vector<OutOfRangeValue> out_of_range;  // one per key read, in reading order
};

// The settings as they are read from the bytes of a file, read as far as the
// reading rules allow.
[[nodiscard]] SettingsReading ParseSettings(const std::string& bytes, SettingsRecord& settings,
                                            std::vector<SensorParam>& sensors);

// The bytes of the file for these settings.
std::string FormatSettings(SettingsRecord settings, const std::vector<SensorParam>& sensors);

}  // namespace flextor
