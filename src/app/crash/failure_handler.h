// The failure handler: SIGFPE, SIGSEGV, SIGBUS, SIGABRT, SIGTRAP, SIGSYS and
// SIGILL run the failure path on the thread that failed, on a stack of its own
// so that a stack overflow gets there too.
#pragma once

namespace flextor {

// GUI thread, first thing at start-up. The handlers fire once: a fault inside
// the failure path itself ends the process the default way.
void InstallFailureHandler();

// The failure text of a signal ("Segmentation violation"); "" for any other.
const char* FailureText(int signal);

}  // namespace flextor
