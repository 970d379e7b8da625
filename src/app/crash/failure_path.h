// What happens when the program fails: the pins are given back, the state and a
// report are saved and a new instance takes the run over. It runs on the thread
// that failed (or on the watchdog's, for a GUI thread that stopped answering),
// never returns and uses neither the heap, nor locks, nor stdio, nor GTK:
// everything it needs was prepared in the failure plan.
//
// It never sleeps for good: a second failure while it runs, on any thread, or a
// path stuck past its time limit, ends the process with the outputs low (and
// still restarts it when the state was saved). Where no new instance follows,
// every output is driven low before the end.
#pragma once

#include "base/diagnostics/source_position.h"

namespace flextor {

// failure_text names the failure ("Segmentation violation"); position is where
// the failing thread last was. Only the first caller runs the path; a caller on
// another thread meanwhile waits for it to end the process, and cuts it short
// when it has run past its limit.
[[noreturn]] void RunFailurePath(const char* failure_text, const SourcePosition& position);

// Async-signal-safe: the calling thread is the one running the path (a failure
// now is a failure of the path itself).
[[nodiscard]] bool FailurePathRunsHere();

// The path cannot go on (it failed itself, or is stuck): every output low, the
// pins given back, a line in the log, and the new instance started when the
// state was saved already; then the process ends. Async-signal-safe.
[[noreturn]] void CutFailurePathShort(const char* failure_text);

// The watchdog's look at a path under way on another thread: cuts it short when
// it has run past its limit, else returns.
void WatchFailurePath();

}  // namespace flextor
