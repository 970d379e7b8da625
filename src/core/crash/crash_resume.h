// Taking up a run where it stood when the program failed: the state read back
// from the crash-state file, and the column controls shown as they were.
// GUI thread only.
#pragma once

#include <cstdint>
#include <string>

#include "core/crash/crash_state_json.h"

namespace flextor {

// Reads the crash-state file at path (a regular file of bounded size) into
// ProgVar. True when it held a crash-state object: the run resumes. Only a file
// inside program_folder (symbolic links resolved) is ever deleted: when it held
// a state, or when it is the folder's own Crash.json, which the next start must
// not meet again, readable or not. Any other file named on the command line,
// and every file outside the folder, is left as it is. Nothing is touched for
// an empty file or one that is not a regular file.
[[nodiscard]] bool ResumeFromCrashFile(const std::string& path, const std::string& program_folder);

// After a resume: logs the restart with the failure's report line and puts the
// columns' controls, lamps and latch as the restored state has them. Returns
// the hand valve (1..3) of a stopped or paused column 1 that the window is to
// open again, or 0.
[[nodiscard]] uint8_t ShowResumedRun();

// The same for a run taken up after a power cut: message is the warning logged.
[[nodiscard]] uint8_t ShowResumedRun(const std::string& message);

}  // namespace flextor
