// The watchdog: a GUI thread that stops beating for 10 s (frozen, not dead: no
// signal comes) is handled as a failure, "Программа не отвечает", at the
// position the GUI thread last marked.
#pragma once

#include <chrono>
#include <thread>

namespace flextor {

// GUI thread, at every tick of the logic timer, before its busy check, so that
// the nested loop of a modal box keeps beating.
void Heartbeat();

class Watchdog {
  public:
    // GUI thread, once the timers run: takes the calling thread as the one
    // watched and starts watching.
    void Start(std::chrono::milliseconds limit = std::chrono::seconds(10));
    // Orderly shutdown: stops watching and waits for the thread.
    void Stop();

  private:
    std::jthread thread_;
};

}  // namespace flextor
