// A serial port in memory for the link's own error paths: the test decides what
// comes back for every write (nothing, too little, too much, a given echo) and
// whether speed changes and writes succeed, and reads what the link did.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/serial/serial_port.h"

namespace flextor::test {

// The bytes the bus gives back for one write, at the port's current speed.
using EchoRule = std::function<std::vector<uint8_t>(const std::vector<uint8_t>& written, int baud)>;

// A bus that echoes every byte as written, except that a reset byte at 9600
// baud comes back as 0xE0: a presence pulse and every read slot reading 1.
std::vector<uint8_t> PassiveEcho(const std::vector<uint8_t>& written, int baud);

// What the fake port and the test share; the link owns the port, the test keeps this.
struct FakeLine {
    EchoRule echo = PassiveEcho;
    bool refuse_open = false;
    bool refuse_speed = false;
    int write_limit = -1;  // a write reports at most this many bytes; -1 = all

    std::string opened_path;
    int baud = 0;
    std::vector<int> speed_changes;  // every speed the port was set to
    std::vector<uint8_t> written;    // every byte written, in order
    std::vector<size_t> writes;      // the size of every write call, in order
    int input_waits = 0;             // calls of WaitForInput
    std::deque<uint8_t> received;    // the receive queue
    bool modem_lines = false;
    bool open = false;
};

// An opener for OWire that hands out a fake port on line.
SerialPortOpener FakePortOpener(std::shared_ptr<FakeLine> line);

}  // namespace flextor::test
