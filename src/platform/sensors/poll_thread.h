// The sensor polling thread: owns the serial port and the 1-Wire bus, reads the
// sensors that matter about once a second and meets the GUI thread once per
// cycle in SensorShare. It ends when StopRequest is 1 (or Stop is asked).
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "core/state/program_state.h"
#include "platform/sensors/poll_table.h"
#include "platform/serial/serial_port.h"

namespace flextor {

struct PollerOptions {
    // The pause after each exchange lasts pause_steps × pause_step; a stop
    // request (or Stop) ends it at once.
    int pause_steps = 18;
    std::chrono::milliseconds pause_step{50};
    // How often a wanted port that is not open is tried again (the attempt waits
    // for the end of a pause, so it comes at most one cycle late).
    std::chrono::milliseconds port_retry_period = kPortRetryPeriod;
    // How the link opens its port; empty means the real serial device.
    SerialPortOpener opener;
};

// How long shutdown waits for the thread.
inline constexpr std::chrono::milliseconds kPollerShutdownWait{4000};

// Owned by the GUI thread, which alone calls its members.
class SensorPoller {
  public:
    explicit SensorPoller(PollerOptions options = {});
    // Asks the thread to stop and waits kPollerShutdownWait for it; a thread that
    // does not end by then is left to itself.
    ~SensorPoller();
    SensorPoller(const SensorPoller&) = delete;
    SensorPoller& operator=(const SensorPoller&) = delete;

    // Starts the thread on share, which must outlive it. on_exchange (the sensor
    // data event) runs on the polling thread after every exchange, without
    // share.Mutex held. False when a thread was already started: there is one
    // per run.
    [[nodiscard]] bool Start(SensorShareBlock& share, std::function<void()> on_exchange);

    // Wakes the thread from its pause and makes it end as StopRequest would.
    void RequestStop();
    // Waits up to timeout for the thread to end; true when it has ended (or was
    // never started) and is joined.
    [[nodiscard]] bool WaitForEnd(std::chrono::milliseconds timeout);
    // RequestStop, then WaitForEnd.
    [[nodiscard]] bool Stop(std::chrono::milliseconds timeout = kPollerShutdownWait);
    // The last resort for a thread that did not end: lets it go. It no longer
    // refers to this object, but still to share and on_exchange.
    void Abandon();

    bool Running() const;

  private:
    struct EndSignal;

    PollerOptions options_;
    std::shared_ptr<EndSignal> end_;
    std::jthread thread_;
};

}  // namespace flextor
