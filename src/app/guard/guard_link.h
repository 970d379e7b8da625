// The program's side of its outputs guard, on the GUI thread: the guard started
// (or the one a failed instance handed over adopted), told the run's log file,
// given a sign of life by every logic cycle, watched on the main loop for its
// end and then started again, and dismissed by the orderly shutdown. Without a
// guard columns 1 and 2 do not run.
#pragma once

#include <glib.h>

#include <chrono>
#include <deque>
#include <string>

namespace flextor {

// Any thread, on a way out that has driven every output low itself (the X display
// lost, exit inside a library): the guard has nothing left to do.
void DismissGuardBeforeEnd();

// The failure path, async-signal-safe: the logic ticks stop while it runs and
// until a new instance's first cycle, so the guard stops timing them.
void TellGuardOfRestart();

// The file the guard leaves in the program folder when it stopped a frozen program.
inline constexpr char kFreezeMarkerName[] = "Frozen.txt";

class GuardLink {
  public:
    GuardLink() = default;
    ~GuardLink();
    GuardLink(const GuardLink&) = delete;
    GuardLink& operator=(const GuardLink&) = delete;

    // Adopts the inherited guard or starts one. Returns the error for the message
    // log when there is none (the program goes on without it, columns 1 and 2
    // refused).
    [[nodiscard]] std::string Start();

    // The run's message log, where the guard writes its line (empty: none), and
    // with it this instance, the options' freeze time and the marker's place.
    void TellLogFile(const std::string& path, const std::string& program_folder);

    // The logic cycle has run: a sign of life, never waiting for the guard.
    void Beat();

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
