// A stand-in for /sys/bus/usb-serial/devices: one folder per adapter with its
// latency_timer, writable or not.
#pragma once

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace flextor::test {

class LatencyFolder {
  public:
    std::string Root() const { return dir_.str(); }

    // An adapter whose timer stands at ms and may be written.
    void Writable(const std::string& tty, int ms);
    // An adapter whose timer may not be written even by root: its file is a
    // read-only number of the kernel's own. False when there is none to use.
    bool ReadOnly(const std::string& tty);
    // The timer file's text.
    std::string Timer(const std::string& tty) const;

  private:
    TempDir dir_;
};

}  // namespace flextor::test
