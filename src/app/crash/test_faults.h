// Faults on demand, for the end-to-end tests of the failure handling; only when
// the environment has FLEXTOR_TEST_FAULTS=1. SIGUSR1 makes the GUI thread loop
// for ever (the watchdog's case); SIGUSR2 frees one block twice, which the
// allocator answers with SIGABRT from inside itself.
#pragma once

namespace flextor {

// GUI thread, once the main loop exists; does nothing without the variable.
void InstallTestFaults();

}  // namespace flextor
