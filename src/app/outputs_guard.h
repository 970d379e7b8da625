// The plant's last line of defence. Once the pins are outputs, every way the
// program can end without its own shutdown — the X display lost, an exception
// nobody caught (std::terminate), exit called from inside a library — first
// drives every output low and gives the pins back: a heater's run line must not
// stay on with nothing watching it.
#pragma once

namespace flextor {

// GUI thread. Drives every output low, trying a failed pin again; a pin that
// stays high is named in the message log and on stderr. True when all are low.
[[nodiscard]] bool DriveOutputsLowAndReport();

// GUI thread, once the pins are configured. Installs the handlers (at the first
// call) and arms them.
void ArmOutputsGuard();

// GUI thread: the orderly shutdown has driven the outputs low itself.
void DisarmOutputsGuard();

// GUI thread, once the main window exists: losing the X display runs the guard
// before the toolkit ends the process. Does nothing on other display back-ends.
void GuardAgainstDisplayLoss();

}  // namespace flextor
