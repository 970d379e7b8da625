// Waiting for the echo of what the link wrote. Bytes are taken as they arrive;
// with kLinkSleep set the thread sleeps in the port's wait between arrivals and
// wakes as soon as a byte comes, otherwise it polls the receive queue without
// sleeping.
//
// Thread: the sensor polling thread.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/serial/serial_port.h"

namespace flextor::onewire {

// Waits until at least one byte is waiting or limit_ms have passed; true when
// bytes are waiting.
[[nodiscard]] bool AwaitInput(SerialPort& port, int64_t limit_ms);

// Reads up to count echo bytes into echo as they arrive, until all have come,
// limit_ms have passed or the port fails. The number read.
[[nodiscard]] size_t ReceiveEcho(SerialPort& port, uint8_t* echo, size_t count, int64_t limit_ms);

}  // namespace flextor::onewire
