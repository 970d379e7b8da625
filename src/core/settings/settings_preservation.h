// The operator's Setting.ini kept safe from the program's own saves. What saves
// that were cut short left beside it is removed at start-up. When loading could
// not take the file as it was (unreadable, damaged), the old file is kept before
// the first save after such a load as Setting.ini.bad (or the first free
// Setting.ini.bad-2, -3, ...), so the save cannot lose what it held; while it
// cannot be kept, no save replaces it. GUI thread only (and the failure handler,
// when the GUI thread is stopped).
#pragma once

#include <string>

#include "core/settings/settings_file.h"

namespace flextor {

// Removes the temporary files of settings saves that never finished (a crash or
// a kill between writing and renaming); only the save's own temporary names
// beside path are touched. Called once at start-up, before the settings are
// loaded; what was removed is noted for the message log.
void RemoveLeftoverSettingsFiles(const std::string& path = kSettingsFileName);

// Loading found the file unusable: keep it before the next save.
void RequireKeepingSettingsFile();

// Nothing to keep (a fresh load, a reset).
void ForgetKeepingSettingsFile();

// Before a save to path: keeps the old file when that is required and logs under
// which name. True when the save may go ahead; false (with a warning logged) when
// the old file could not be kept and must not be replaced.
[[nodiscard]] bool KeepSettingsFileIfRequired(const std::string& path);

}  // namespace flextor
