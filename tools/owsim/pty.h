// A pseudo-terminal pair for the simulated adapter. The master side is ours; the
// slave side is the serial port the program opens. We keep a slave descriptor
// open ourselves so the master never sees a hang-up between the program's opens.
#pragma once

#include <string>

#include "base/files/unique_fd.h"

namespace flextor::owsim {

class Pty {
  public:
    // Opens a pair, non-blocking, raw 8N1 at 115200 baud. False on failure.
    [[nodiscard]] bool Open();
    void Close();

    int Master() const { return master_.Get(); }
    const std::string& SlavePath() const { return slavePath_; }
    // The baud rate the slave side is set to now, as a number (9600, 115200, ...);
    // 0 if it cannot be read.
    int CurrentBaud() const;

  private:
    UniqueFd master_;
    UniqueFd slave_;
    std::string slavePath_;
};

}  // namespace flextor::owsim
