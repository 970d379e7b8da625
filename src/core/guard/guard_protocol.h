// What the program tells its outputs guard (the separate outputs-guard process)
// over their socket: short text lines, each ending in a LF.
//   "log PATH"  the run's message log, where the guard writes its one line
//               (an empty PATH: no line);
//   "active-low 0|1"  whether the outputs are active-low (relay boards that
//               close on a low input): the guard makes a pin it takes again an
//               output at the level that is off;
//   "pid N"     the instance now holding the program's end; until its first
//               "alive" nothing is timed;
//   "freeze S"  how long the control loop may go without a sign (seconds);
//   "marker PATH"  the file the guard leaves when it stopped a frozen program,
//               so that the next start can say so;
//   "alive"     the control loop has run: the guard's clock starts again;
//   "restart"   the instance is failing: its failure path ends it (and the
//               socket) or starts a new one; nothing is timed until an "alive";
//   "dismiss"   the orderly shutdown has driven the outputs low itself: the
//               guard ends without touching them.
// The end of the socket without a dismissal means the program is gone.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

namespace flextor {

// "log " + path + LF; a path holding a LF is sent empty.
std::string GuardLogLine(const std::string& path);
inline constexpr char kGuardDismissLine[] = "dismiss\n";
inline constexpr char kGuardAliveLine[] = "alive\n";
inline constexpr char kGuardRestartLine[] = "restart\n";
std::string GuardActiveLowLine(bool active_low);
std::string GuardPidLine(pid_t pid);
std::string GuardFreezeLine(int seconds);
// A path holding a LF is sent empty: no marker.
std::string GuardMarkerLine(const std::string& path);

// Without a "freeze" line: the default of Options.ini's [Guard] FreezeSeconds.
inline constexpr int kDefaultFreezeSeconds = 15;

// The guard's side: what has arrived so far, taken line by line.
class GuardInbox {
  public:
    // Takes bytes as read from the socket; a line cut between reads is kept
    // until its end arrives. Unknown lines are ignored.
    void Take(std::string_view bytes);

    const std::string& log_file() const { return log_file_; }
    bool dismissed() const { return dismissed_; }
    bool active_low() const { return active_low_; }
    pid_t pid() const { return pid_; }
    int freeze_seconds() const { return freeze_seconds_; }
    const std::string& marker_file() const { return marker_file_; }
    // Whether the control loop is being timed: from an "alive" until a "pid"
    // or "restart".
    bool timing() const { return timing_; }
    // True once for each batch taken that held an "alive".
    bool TakeBeat();

  private:
    void TakeLine(std::string_view line);

    std::string pending_;
    std::string log_file_;
    std::string marker_file_;
    bool dismissed_ = false;
    bool active_low_ = false;
    bool timing_ = false;
    bool beat_ = false;
    pid_t pid_ = 0;
    int freeze_seconds_ = kDefaultFreezeSeconds;
};

}  // namespace flextor
