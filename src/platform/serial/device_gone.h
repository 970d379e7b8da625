// Signs that the device behind an open serial port has gone away, as when a USB
// adapter is pulled out: the kernel hangs its terminal up and removes its node.
// A device that is there but gets no answer from the bus shows none of them.
#pragma once

#include <string>

namespace flextor {

// An errno of a failed read, write or ioctl that means the device is gone
// (EIO, ENXIO, ENODEV).
bool IsDeviceGoneError(int error);

// True when nothing answers to path any more (a symbolic link to a vanished
// node counts as missing).
bool DevicePathMissing(const std::string& path);

}  // namespace flextor
