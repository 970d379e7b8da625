// What is known of a failure beyond its signal: the text of an exception that
// nothing caught. The std::terminate handler and the toolkit's handler for an
// exception leaving a signal handler record it on the failing thread just
// before the abort; the failure path adds it to the report's line.
#pragma once

namespace flextor {

// GUI thread, at start-up, after the failure handler.
void InstallExceptionReport();

// Keeps text (cut to a few hundred bytes, bytes that are not UTF-8 made '?')
// for the report. Takes no memory from the heap.
void RecordFailureCause(const char* text);

// The recorded text; "" when there is none. Async-signal-safe.
const char* FailureCause();

}  // namespace flextor
