// What happens when the program fails: the pins are given back, the state and a
// report are saved and a new instance takes the run over. It runs on the thread
// that failed (or on the watchdog's, for a GUI thread that stopped answering),
// never returns and uses neither the heap, nor locks, nor stdio, nor GTK:
// everything it needs was prepared in the failure plan.
#pragma once

#include "base/diagnostics/source_position.h"

namespace flextor {

// failure_text names the failure ("Segmentation violation"); position is where
// the failing thread last was. Only the first caller runs the path; a second
// failure meanwhile waits for the process to end.
[[noreturn]] void RunFailurePath(const char* failure_text, const SourcePosition& position);

}  // namespace flextor
