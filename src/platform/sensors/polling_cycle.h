// The bus work of one polling cycle: read what was converted in the previous
// cycle, then start the next conversions. All-at-once mode serves every row in
// each cycle; sequential mode reads one row and converts the next one.
//
// Thread: polling. These run without SensorShare.Mutex: they touch only the
// thread's own table and the link.
#pragma once

#include <functional>

#include "platform/onewire/link.h"
#include "platform/sensors/poll_table.h"

namespace flextor {

// True when the thread has been asked to end.
using StopCheck = std::function<bool()>;

// Reads the served rows (in sequential mode only the row at CurrentSensor) and
// counts their failures. Right after the port was opened there is nothing to
// read and the phase is skipped. False when a stop request cut it short.
[[nodiscard]] bool ReadPhase(PollTable& table, onewire::OWire& link, const StopCheck& stop);

// Starts the conversions of the served rows (in sequential mode only the first
// one from CurrentSensor on, which becomes the next row to read).
void ConversionPhase(PollTable& table, onewire::OWire& link, const StopCheck& stop);

// Both phases, when a port is open.
void PollBus(PollTable& table, onewire::OWire& link, const StopCheck& stop);

// A reading is fresh for the one exchange that follows it.
void ClearFreshMarks(PollTable& table);

}  // namespace flextor
