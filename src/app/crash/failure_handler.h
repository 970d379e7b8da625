// The failure handler: SIGFPE, SIGSEGV, SIGBUS, SIGABRT, SIGTRAP, SIGSYS and
// SIGILL run the failure path on the thread that failed, on a stack of its own
// so that a stack overflow gets there too.
#pragma once

namespace flextor {

// GUI thread, first thing at start-up; with it the report of an exception that
// nothing catches (failure_cause.h).
void InstallFailureHandler();

// The failure text of a signal ("Segmentation violation"); "" for any other.
const char* FailureText(int signal);

}  // namespace flextor
