// The end of a simulator tool: SIGINT, SIGTERM and SIGHUP are blocked before any
// thread starts, so that only the main thread takes them, when it waits for them.
#pragma once

#include <signal.h>

namespace flextor::owsim {

// Blocks the three signals in the calling thread (and the threads it starts later)
// and returns their set.
sigset_t BlockTerminationSignals();

// Waits up to timeout_ms milliseconds (for ever when negative) for one of them;
// true when one came.
bool WaitForTermination(const sigset_t& signals, int timeout_ms = -1);

}  // namespace flextor::owsim
