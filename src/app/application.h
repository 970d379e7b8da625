// Start-up, the event loop and shutdown of the program (GUI thread).
#pragma once

#include "core/startup/command_line.h"

namespace flextor {

// Runs the program until its main window closes; returns the exit code.
[[nodiscard]] int RunApplication(const CommandLine& command_line);

}  // namespace flextor
