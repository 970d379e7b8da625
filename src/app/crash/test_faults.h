// Faults on demand, for the end-to-end tests of the failure handling; only when
// the environment has FLEXTOR_TEST_FAULTS=1. SIGUSR1 makes the GUI thread loop
// for ever (the watchdog's case); SIGUSR2 frees one block twice, which the
// allocator answers with SIGABRT from inside itself; SIGWINCH throws an exception
// that nothing catches from a main-loop callback without marks of its own. A
// file "fail-at-start" in the program folder makes start-up fail once, before
// the first logic cycle; while a file "disk-full" is there, every whole file the
// program replaces fails as on a full disk.
#pragma once

#include <string>

namespace flextor {

inline constexpr char kFailAtStartFile[] = "fail-at-start";
inline constexpr char kDiskFullFile[] = "disk-full";

// Start-up, once the failure plan is ready: with the variable set and the file
// present, removes the file and fails with SIGSEGV. Also sets the disk-full
// fault up.
void FailAtStartWhenAsked(const std::string& folder);

// GUI thread, once the main loop exists; does nothing without the variable.
void InstallTestFaults();

}  // namespace flextor
