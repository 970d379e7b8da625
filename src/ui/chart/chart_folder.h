// The dated folder an export writes its pages into.
#pragma once

#include <string>

#include "core/time/clock.h"

namespace flextor {

// program_folder + "График/" + the stamp of started_at + "/".
std::string ChartSaveFolder(const std::string& program_folder, const LocalTime& started_at);

// Creates every missing folder of path ("\" taken as "/"), from its first
// component down; true when all of them are folders afterwards.
[[nodiscard]] bool MakeFolderTree(const std::string& path);

}  // namespace flextor
