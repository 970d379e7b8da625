// What the program tells its outputs guard (the separate flextor-guard process)
// over their socket: short text lines, each ending in a LF.
//   "log PATH"  the run's message log, where the guard writes its one line
//               (an empty PATH: no line);
//   "active-low 0|1"  whether the outputs are active-low (relay boards that
//               close on a low input): the guard makes a pin it takes again an
//               output at the level that is off;
//   "dismiss"   the orderly shutdown has driven the outputs low itself: the
//               guard ends without touching them.
// The end of the socket without a dismissal means the program is gone.
#pragma once

#include <string>
#include <string_view>

namespace flextor {

// "log " + path + LF; a path holding a LF is sent empty.
std::string GuardLogLine(const std::string& path);
inline constexpr char kGuardDismissLine[] = "dismiss\n";
std::string GuardActiveLowLine(bool active_low);

// The guard's side: what has arrived so far, taken line by line.
class GuardInbox {
  public:
    // Takes bytes as read from the socket; a line cut between reads is kept
    // until its end arrives. Unknown lines are ignored.
    void Take(std::string_view bytes);

    const std::string& log_file() const { return log_file_; }
    bool dismissed() const { return dismissed_; }
    bool active_low() const { return active_low_; }

  private:
    std::string pending_;
    std::string log_file_;
    bool dismissed_ = false;
    bool active_low_ = false;
};

}  // namespace flextor
