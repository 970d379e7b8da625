#include "platform/sensors/polling_loop.h"

#include <chrono>
#include <stop_token>

#include "base/diagnostics/source_position.h"
#include "platform/onewire/link.h"
#include "platform/sensors/exchange.h"
#include "platform/sensors/poll_table.h"
#include "platform/sensors/polling_cycle.h"
#include "platform/sensors/port_keeper.h"

namespace flextor {
namespace {

// The pause between cycles: one sleep, which a stop request or a stop through
// the token ends at once (both wake the stop flag). False when the thread is to
// end.
bool Pause(const PollerOptions& options, const StopCheck& stop, const std::stop_token& token) {
    const auto deadline =
        std::chrono::steady_clock::now() + options.pause_steps * options.pause_step;
    const std::stop_callback wake_on_stop(token, [] { StopRequest.Wake(); });
    for (;;) {
        const uint32_t wakes = StopRequest.Wakes();
        if (stop()) {
            return false;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return true;
        }
        StopRequest.SleepUntil(wakes, deadline);
    }
}

SerialPortOpener OpenerOf(const PollerOptions& options) {
    return options.opener ? options.opener : SerialPortOpener(OpenSerialPort);
}

}  // namespace

void RunPolling(SensorShareBlock& share, const PollerOptions& options,
                const std::function<void()>& on_exchange, std::stop_token token) {
    const StopCheck stop = [&token] { return StopRequest.load() == 1 || token.stop_requested(); };
    onewire::OWire link(OpenerOf(options));
    PollTable table;
    table.RetryPeriod = options.port_retry_period;
    TakeStartTable(table, share);
    ReopenPort(table, link);
    do {
        FLEXTOR_STEP();
        RetryPort(table, link);
        FLEXTOR_STEP();
        PollBus(table, link, stop);
        FLEXTOR_STEP();
        DropPortIfGone(table, link);
        FLEXTOR_STEP();
        Exchange(table, link, share);
        FLEXTOR_STEP();
        if (on_exchange) {
            on_exchange();
        }
        ClearFreshMarks(table);
        FLEXTOR_STEP();
    } while (Pause(options, stop, token));
    static_cast<void>(link.Close());  // the thread ends; a port never opened is fine
    table.PortID = 0;
}

}  // namespace flextor
