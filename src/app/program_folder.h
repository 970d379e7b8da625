// The folder of the program's own executable: the working folder of a run, where
// Setting.ini, the logs and the chart images are kept.
#pragma once

#include <string>

namespace flextor {

// The executable's folder with a final "/", read from /proc/self/exe; the
// current folder when that cannot be read.
std::string ProgramFolder();

// Makes folder the working folder; false when it cannot be entered.
[[nodiscard]] bool EnterFolder(const std::string& folder);

}  // namespace flextor
