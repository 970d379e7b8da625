// Keeping the operator's Setting.ini when loading could not take it as it was
// (unreadable, damaged): before the first save after such a load, the old file is
// kept as Setting.ini.bad (or the first free Setting.ini.bad-2, -3, ...), so the
// save cannot lose what it held. While it cannot be kept, no save replaces it.
// GUI thread only (and the failure handler, when the GUI thread is stopped).
#pragma once

#include <string>

namespace flextor {

// Loading found the file unusable: keep it before the next save.
void RequireKeepingSettingsFile();

// Nothing to keep (a fresh load, a reset).
void ForgetKeepingSettingsFile();

// Before a save to path: keeps the old file when that is required and logs under
// which name. True when the save may go ahead; false (with a warning logged) when
// the old file could not be kept and must not be replaced.
[[nodiscard]] bool KeepSettingsFileIfRequired(const std::string& path);

}  // namespace flextor
