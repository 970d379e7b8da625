#include "platform/onewire/echo_wait.h"

#include <chrono>

#include "platform/onewire/link.h"

namespace flextor::onewire {
namespace {

// Elapsed time on the monotonic clock, truncated to whole milliseconds. The bus
// waits are real time on the wire, so they never use a clock a test installed.
class Stopwatch {
  public:
    int64_t ElapsedMs() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - start_)
            .count();
    }

  private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

bool SleepWhileWaiting() {
    return (LinkOptions.load() & kLinkSleep) != 0;
}

// One step of a wait with left_ms to go: false when the port cannot be waited on.
bool WaitStep(SerialPort& port, int64_t left_ms) {
    if (!SleepWhileWaiting()) {
        return true;
    }
    return port.WaitForInput(static_cast<int>(left_ms)) >= 0;
}

}  // namespace

bool AwaitInput(SerialPort& port, int64_t limit_ms) {
    Stopwatch watch;
    for (;;) {
        if (port.Waiting() >= 1) {
            return true;
        }
        int64_t left = limit_ms - watch.ElapsedMs();
        if (left <= 0 || !WaitStep(port, left)) {
            return port.Waiting() >= 1;
        }
    }
}

size_t ReceiveEcho(SerialPort& port, uint8_t* echo, size_t count, int64_t limit_ms) {
    Stopwatch watch;
    size_t got = 0;
    for (;;) {
        ssize_t part = port.Read(echo + got, count - got);
        if (part < 0) {
            return got;
        }
        got += static_cast<size_t>(part);
        int64_t left = limit_ms - watch.ElapsedMs();
        if (got == count || left <= 0 || !WaitStep(port, left)) {
            return got;
        }
    }
}

}  // namespace flextor::onewire
