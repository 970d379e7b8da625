// When each block of echo bytes reaches the program: the adapter sends the bytes
// one after another (each takes its line time at the port's rate when line times
// are on), and its receiver holds what came back for its latency before passing
// it on, as a USB adapter holds received bytes until its latency timer runs out.
// A set delay adds to that. Blocks leave in the order they came.
#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <optional>
#include <string>

namespace flextor::owsim {

using SimClock = std::chrono::steady_clock;

// How the simulated adapter times its echoes.
struct EchoTiming {
    bool lineTime = false;                    // bytes take their time on the wire
    std::chrono::microseconds latency{0};     // the adapter holds received bytes this long
    std::chrono::microseconds extraDelay{0};  // the `bus delay` fault
};

// One UART byte (start bit, 8 data bits, stop bit) at baud.
std::chrono::nanoseconds ByteTime(int baud);

class EchoSchedule {
  public:
    // Queues the echo of n bytes written at baud and read by the bus at now.
    void Add(std::string echo, std::size_t n, int baud, const EchoTiming& timing,
             SimClock::time_point now);
    // The time the first queued echo is due; nothing when the queue is empty.
    std::optional<SimClock::time_point> NextDue() const;
    // Takes every echo due at now, in order, joined.
    std::string TakeDue(SimClock::time_point now);
    bool Empty() const { return pending_.empty(); }
    // Forgets every echo on its way: the pty they were for is gone.
    void Clear();

  private:
    struct Pending {
        SimClock::time_point due;
        std::string echo;
    };
    std::deque<Pending> pending_;
    SimClock::time_point wireFree_{};  // when the transmitter has sent its last byte
};

}  // namespace flextor::owsim
