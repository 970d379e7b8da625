// The temporary files of replacements that were cut short (a crash, a kill, a
// power cut between writing the temporary file and renaming it).
#pragma once

#include <string>

namespace flextor {

// Removes, from the folder of path, the regular files that ReplaceFileAtomically
// made for path and never renamed: path + kTemporarySuffix + six letters or
// digits. Nothing else is touched. Returns how many were removed.
[[nodiscard]] int RemoveLeftoverTemporaries(const std::string& path);

// True when name is base_name + kTemporarySuffix + six letters or digits.
bool IsTemporaryName(const std::string& name, const std::string& base_name);

}  // namespace flextor
