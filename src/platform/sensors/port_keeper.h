// The polling thread's hold on its port: opening it, noticing that its adapter
// has gone, and trying it again until it answers. A wanted port that is not
// open (it failed to open, at start or on the GUI's request, or its adapter was
// pulled out) is tried again every RetryPeriod, checked once per cycle; the
// message log hears of the failure once and of the port coming back once, the
// attempts in between are silent. Thread: polling, without SensorShare.Mutex:
// these touch only the thread's own table and the link.
#pragma once

#include "platform/onewire/link.h"
#include "platform/sensors/poll_table.h"

namespace flextor {

// (Re)opens the port named in the table and starts every row afresh: counters
// zero, only the found and temperature-sensor marks kept; the next read phase is
// skipped. A port that cannot be opened is reported and tried again later; an
// empty name just closes.
void ReopenPort(PollTable& table, onewire::OWire& link);

// When the adapter of the open port has gone: tells the message log, closes the
// port and marks the temperature sensors in error until it answers again.
void DropPortIfGone(PollTable& table, onewire::OWire& link);

// Tries a port that is not open again once its time has come. When it answers,
// the rows start afresh as after a reopen and the message log hears of it.
void RetryPort(PollTable& table, onewire::OWire& link);

// No more attempts on the current name.
inline void CancelRetry(PollTable& table) {
    table.RetryAt.reset();
}

}  // namespace flextor
