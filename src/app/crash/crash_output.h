// The failure path's writing, each async-signal-safe: plain open, write,
// rename and close on paths of the failure plan, text from fixed buffers.
#pragma once

#include <ctime>

#include "app/crash/failure_plan.h"
#include "base/text/civil_time.h"

namespace flextor {

// The local time of now, from the plan's offset.
CivilTime LocalNow(const FailurePlan& plan);

// Appends "[dd/mm/yyyy hh:mm:ss]  " + text and a LF to the run's message log
// (as an error, when the Log settings file errors); a new file gets the byte-order mark.
void LogFailureMessage(const FailurePlan& plan, const char* text);

// Writes the whole of text to path through temporary and a rename. False when
// any step failed (path is then left as it was).
[[nodiscard]] bool ReplaceFile(const char* path, const char* temporary, const char* text,
                               size_t size);

// The crash report "Crash__" + stamp + ".txt" in the program folder, or the first
// free "Crash_" + n + "__" + stamp + ".txt" (n = 1..10, 10 overwritten). False when it
// could not be written; *name then holds the file's name without its folder.
[[nodiscard]] bool WriteCrashReport(const FailurePlan& plan, const CivilTime& time, const char* err,
                                    const char* json, size_t json_size, char (&name)[64]);

}  // namespace flextor
