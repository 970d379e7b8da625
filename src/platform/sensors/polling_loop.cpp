#include "platform/sensors/polling_loop.h"

#include <condition_variable>
#include <mutex>

#include "base/diagnostics/source_position.h"
#include "platform/onewire/link.h"
#include "platform/sensors/exchange.h"
#include "platform/sensors/poll_table.h"
#include "platform/sensors/polling_cycle.h"
#include "platform/sensors/port_keeper.h"

namespace flextor {
namespace {

// The pause between cycles, in steps so that a stop request ends it within one
// step; a stop through the token ends it at once. False when the thread is to end.
bool Pause(const PollerOptions& options, const StopCheck& stop, const std::stop_token& token) {
    std::mutex mutex;
    std::condition_variable_any wake;
    std::unique_lock lock(mutex);
    for (int step = 0; step < options.pause_steps; ++step) {
        if (stop()) {
            return false;
        }
        wake.wait_for(lock, token, options.pause_step, [] { return false; });
    }
    return !stop();
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
