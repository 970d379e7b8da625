// Start-up's clean-up of what saves that were cut short left in the program folder.
#pragma once

#include <string>

#include "core/settings/settings_file.h"

namespace flextor {

// Removes the temporary files of settings saves that never finished (a crash or
// a kill between writing and renaming); only the save's own temporary names
// beside path are touched. Called once at start-up, before the settings are
// loaded; what was removed is noted for the message log.
void RemoveLeftoverSettingsFiles(const std::string& path = kSettingsFileName);

}  // namespace flextor
