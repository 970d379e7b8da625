// The body of the sensor polling thread. Thread: polling.
#pragma once

#include <functional>
#include <stop_token>

#include "core/state/program_state.h"
#include "platform/sensors/poll_thread.h"

namespace flextor {

// Takes the table from share, opens the port and cycles (a due retry of a port
// that is not open, bus, a check that the adapter is still there, exchange,
// on_exchange, pause) until StopRequest is 1 or token asks to stop; then closes
// the port.
void RunPolling(SensorShareBlock& share, const PollerOptions& options,
                const std::function<void()>& on_exchange, std::stop_token token);

}  // namespace flextor
