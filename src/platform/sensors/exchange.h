// The polling thread's side of its meeting with the GUI thread in SensorShare,
// and the port handling that goes with it. Thread: polling.
#pragma once

#include "core/state/program_state.h"
#include "platform/onewire/link.h"
#include "platform/sensors/poll_table.h"
#include "platform/sensors/port_keeper.h"

namespace flextor {

// Thread start: the port name, the polling mode and the table as the GUI thread
// left them in share. Takes share.Mutex.
void TakeStartTable(PollTable& table, SensorShareBlock& share);

// The exchange with share.Mutex held throughout: acts on the GUI's requests (a
// search, a reopen, a new table, PollAll) and, unless a search result still
// waits for the GUI, hands over the port and a copy of the whole table.
void Exchange(PollTable& table, onewire::OWire& link, SensorShareBlock& share);

}  // namespace flextor
