// The program's side of its outputs guard, on the GUI thread: the guard started
// (or the one a failed instance handed over adopted), told the run's log file,
// watched on the main loop for its end and then started again, and dismissed
// by the orderly shutdown.
#pragma once

#include <glib.h>

#include <chrono>
#include <deque>
#include <string>

namespace flextor {

// Any thread, on a way out that has driven every output low itself (the X display
// lost, exit inside a library): the guard has nothing left to do.
void DismissGuardBeforeEnd();

class GuardLink {
  public:
    GuardLink() = default;
    ~GuardLink();
    GuardLink(const GuardLink&) = delete;
    GuardLink& operator=(const GuardLink&) = delete;

    // Adopts the inherited guard or starts one. Returns the error for the message
    // log when there is none (the program goes on without it).
    [[nodiscard]] std::string Start();

    // The run's message log, where the guard writes its line (empty: none).
    void TellLogFile(const std::string& path);

    // The outputs are low: the guard ends without touching them.
    void Dismiss();

  private:
    [[nodiscard]] std::string Launch();
    void Watch();
    void OnGuardEnded();
    [[nodiscard]] bool Send(const std::string& line);

    int fd_ = -1;
    guint watch_ = 0;
    std::string log_line_;
    std::deque<std::chrono::steady_clock::time_point> ends_;  // of the last minute
};

}  // namespace flextor
