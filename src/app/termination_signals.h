// SIGTERM, SIGINT and SIGHUP as main-loop events: a service manager, Ctrl-C or a
// closed terminal ends the program the way closing its window does, instead of
// killing it with the pins exported and the settings unsaved.
// GUI thread only.
#pragma once

#include <functional>
#include <vector>

namespace flextor {

class TerminationSignals {
  public:
    // From now on each of the three signals runs on_signal on the GUI thread, in
    // the main loop (also in the nested loop of a modal box) and never inside
    // the signal handler itself. A signal that comes while no loop runs waits
    // for the next one.
    explicit TerminationSignals(std::function<void()> on_signal);
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

  private:
    static int OnSignal(void* self);

    std::function<void()> on_signal_;
    std::vector<unsigned> sources_;
};

}  // namespace flextor
