// A serial port as the 1-Wire link uses it: speed changes, raw byte writes and
// reads that never block, the count of bytes waiting, a wait for input, an input
// flush and the modem lines. The termios port is the real one; tests put a fake in its place.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace flextor {

class SerialPort {
  public:
    virtual ~SerialPort() = default;

    // A positive number naming the open port (the file descriptor of a real one).
    virtual int32_t Handle() const = 0;
    // Sets input and output speed at once; false leaves the previous speed.
    [[nodiscard]] virtual bool SetSpeed(int baud) = 0;
    // Bytes written, or -1.
    [[nodiscard]] virtual ssize_t Write(const uint8_t* data, size_t n) = 0;
    // Bytes read (0 when nothing is waiting), or -1.
    [[nodiscard]] virtual ssize_t Read(uint8_t* data, size_t n) = 0;
    // Bytes in the receive queue, or -1 when the port cannot tell.
    virtual int Waiting() = 0;
    // Sleeps until bytes are waiting or timeout_ms has passed: 1 when bytes are
    // waiting, 0 when the time ran out, -1 when the port cannot be waited on.
    [[nodiscard]] virtual int WaitForInput(int timeout_ms) = 0;
    // Discards the receive queue.
    virtual void FlushInput() = 0;
    // Raises or drops DTR and RTS. Devices without modem lines ignore it.
    virtual void SetModemLines(bool raised) = 0;
    // True once the device has gone away under the open port (an adapter pulled
    // out); it does not come back, the port must be opened anew.
    virtual bool Gone() const { return false; }
};

// Opens a serial device by its full path, non-blocking and without becoming the
// controlling terminal, raw 8N1 without flow control at baud, its receive queue
// flushed. nullptr when the path cannot be opened or is not a terminal.
std::unique_ptr<SerialPort> OpenSerialPort(const std::string& path, int baud);

// How the 1-Wire link gets its port; tests pass one that returns a fake.
using SerialPortOpener =
    std::function<std::unique_ptr<SerialPort>(const std::string& path, int baud)>;

}  // namespace flextor
