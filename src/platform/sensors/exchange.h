// The polling thread's side of its meeting with the GUI thread in SensorShare,
// and the port handling that goes with it. Thread: polling.
#pragma once

#include "core/state/program_state.h"
#include "platform/onewire/link.h"
#include "platform/sensors/poll_table.h"

namespace flextor {

// Thread start: the port name, the polling mode and the table as the GUI thread
// left them in share. Takes share.Mutex.
void TakeStartTable(PollTable& table, SensorShareBlock& share);

// (Re)opens the port named in the table and starts every row afresh: counters
// zero, only the found and temperature-sensor marks kept; the next read phase is
// skipped. A port that cannot be opened is reported; an empty name just closes.
void ReopenPort(PollTable& table, onewire::OWire& link);

// The exchange with share.Mutex held throughout: acts on the GUI's requests (a
// search, a reopen, a new table, PollAll) and, unless a search result still
// waits for the GUI, hands over the port and a copy of the whole table.
void Exchange(PollTable& table, onewire::OWire& link, SensorShareBlock& share);

}  // namespace flextor
