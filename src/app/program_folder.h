// The folder of the program's own executable: the working folder of a run, where
// Setting.ini, the logs and the chart images are kept. An installed program's
// executable sits in a folder its users may not write: its launcher names a
// folder of the user's own in FLEXTOR_HOME, which then stands for the
// executable's folder. A crash restart inherits the variable with the rest of
// the environment and comes back in the same folder.
#pragma once

#include <string>

namespace flextor {

inline constexpr char kProgramHomeVariable[] = "FLEXTOR_HOME";

struct ProgramFolderChoice {
    std::string folder;  // with a final "/"
    std::string error;   // why FLEXTOR_HOME cannot be used; empty when it can
};

// FLEXTOR_HOME when it is set and not empty: an absolute path, created with its
// parents when missing. Otherwise the executable's folder read from
// /proc/self/exe, or the current folder when that cannot be read.
ProgramFolderChoice ChooseProgramFolder();

// The folder of ChooseProgramFolder.
std::string ProgramFolder();

// Makes folder the working folder; false when it cannot be entered.
[[nodiscard]] bool EnterFolder(const std::string& folder);

}  // namespace flextor
