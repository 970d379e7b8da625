// The serial ports a user can choose: the terminal devices of a folder that open
// as a serial port.
#pragma once

#include <string>
#include <vector>

namespace flextor {

// The names (without the folder) of the entries of folder that are not folders,
// begin with "tty" and open as a serial port at 9600 baud, 8N1, in directory
// order. Each is opened non-blocking on a handle of its own, given back its own
// settings and closed at once, so a probe never waits for a device. The port
// named in_use (the polling thread's) is listed without a probe: switching its
// speed would spoil the bus transfer under way.
std::vector<std::string> ListSerialPorts(const std::string& in_use = "",
                                         const std::string& folder = "/dev/");

}  // namespace flextor
