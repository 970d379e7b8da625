// A bus search asked for by the GUI. Thread: polling, with SensorShare.Mutex held.
#pragma once

#include "core/state/program_state.h"
#include "platform/onewire/link.h"
#include "platform/sensors/poll_table.h"

namespace flextor {

// Searches the bus and reports the count. Rows of the table that were not found
// get the not-found mark; devices the table did not know are appended to it and
// listed in share.Sensor. When anything changed, the result waits in share for
// the GUI (Command 0x20); otherwise the next data hand-over carries the marks.
void SearchHandover(PollTable& table, onewire::OWire& link, SensorShareBlock& share);

}  // namespace flextor
