// Starting the new instance from the failure path: the program's own executable
// with "/CrashFile" and the path of Crash.json, in the program folder, not
// waited for. Async-signal-safe.
#pragma once

#include "app/crash/failure_plan.h"

namespace flextor {

// False when the new process could not be made or could not start the
// program (the child then ends with status 127). Waits only for the exec.
[[nodiscard]] bool StartNewInstance(const FailurePlan& plan);

}  // namespace flextor
