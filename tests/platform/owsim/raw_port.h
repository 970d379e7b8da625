// The test side of the simulated adapter: the pty's slave opened with plain termios
// calls, bytes written and their echo read back with a deadline.
#pragma once

#include <cstdint>
#include <string>

#include "base/files/unique_fd.h"

namespace flextor::owsim::test {

class RawPort {
  public:
    explicit RawPort(const std::string& path);  // raw 8N1, 115200 baud, non-blocking

    bool IsOpen() const { return fd_.Valid(); }
    bool SetBaud(int baud);  // 9600 or 115200
    bool Write(const std::string& bytes);
    // Reads until count bytes have come or timeout_ms has passed; returns what came.
    std::string Read(std::size_t count, int timeout_ms = 1000);
    // Writes bytes and reads as many back.
    std::string Exchange(const std::string& bytes, int timeout_ms = 1000);
    int Waiting() const;  // bytes in the receive queue

  private:
    UniqueFd fd_;
};

// A reset at 9600 baud; returns the echo (empty if none came within timeout_ms).
std::string ResetEcho(RawPort& port, int timeout_ms = 1000);
// Slot bytes for the bits of data, least significant bit first: 0xFF for 1, 0x00 for 0.
std::string SlotsFor(const std::string& data);
// Read slots for count bytes.
std::string ReadSlots(std::size_t count);
// The data bytes carried by slot echoes: 0xFF is a 1, anything else a 0.
std::string BytesFromEcho(const std::string& echo);
std::string Bytes(std::initializer_list<int> values);

}  // namespace flextor::owsim::test
