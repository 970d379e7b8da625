// The program's name, build and window title.
#pragma once

namespace flextor {

inline constexpr const char* kProgramName = "flextor";
inline constexpr const char* kVersion = "1.0";
inline constexpr int kBuild = 94;
inline constexpr const char* kMainWindowTitle = "Флекстор 1.0 Raspberry Pi (сборка 94) - 4 клапана";

}  // namespace flextor
