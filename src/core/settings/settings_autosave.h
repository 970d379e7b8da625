// Settings edited on the main window (the thresholds and the two auto-scroll
// toggles) are saved about ten seconds after the last of a burst of changes,
// once, instead of at every change. SaveCounter counts the seconds since the last
// unsaved change; above 10 nothing is pending. GUI thread only.
#pragma once

#include <string>

#include "core/settings/settings_file.h"

namespace flextor {

// Restarts the save delay after a change that is not saved at once.
void RestartSettingsSaveDelay();

// Once per logic cycle: while SaveCounter is at most 10, saves the settings when
// it is exactly 10, then adds 1.
void SettingsAutoSaveTick(const std::string& path = kSettingsFileName);

// At shutdown and after a failure: saves at once when a save is pending
// (SaveCounter at most 10).
void SaveSettingsIfPending(const std::string& path = kSettingsFileName);

}  // namespace flextor
