// The 1-Wire link over a serial port: transmit and receive of a UART are both
// tied to the bus, every byte sent comes back as an echo, and the echo shows
// what the bus did. A reset is one byte 0xF0 at 9600 baud (a presence pulse
// changes its echo); at 115200 baud one byte is one time slot: 0xFF writes a 1
// or reads a bit (an echo of exactly 0xFF reads as 1), 0x00 writes a 0.
//
// Thread: the sensor polling thread. LastError is kept per thread, so callers
// test it after each step of a transaction and give up at the first error.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/serial/serial_port.h"

namespace flextor::onewire {

// LastError codes.
inline constexpr int32_t kErrNone = 0;
inline constexpr int32_t kErrNoPort = 1;          // the port is not open
inline constexpr int32_t kErrNoPresence = 2;      // reset echo was 0xF0
inline constexpr int32_t kErrIO = 3;              // short write, missing or short echo
inline constexpr int32_t kErrSpeed = 4;           // speed change failed or not allowed
inline constexpr int32_t kErrSearchNoDevice = 5;  // search: bit and complement both 1
inline constexpr int32_t kErrNoMemory = 6;        // no slot buffer
inline constexpr int32_t kErrSearchDone = 7;      // search: last device already found

// The calling thread's last-error code.
int32_t LastError();
void SetLastError(int32_t code);

// LinkOptions bit: while waiting for an echo, sleep in the port's wait for input
// (poll(2) on a real port), which wakes as soon as a byte arrives; clear = poll
// the receive queue without sleeping, keeping a core busy.
inline constexpr uint8_t kLinkSleep = 0x01;

// The link's option word: 0 at program start, set by start-up before the polling
// thread exists. The program always runs with kLinkSleep; clear, the waits poll
// without sleeping (tests use both).
extern std::atomic<uint8_t> LinkOptions;

// Every echo wait is this many times its length: 1 in the program. Tests that
// serve a simulated bus from a thread of their own process set more, so that a
// loaded machine, which can hold that thread back for tens of milliseconds,
// does not make an echo late; tests of the limits themselves keep 1.
extern std::atomic<int> EchoWaitStretch;

inline constexpr int kResetBaud = 9600;
inline constexpr int kSlotBaud = 115200;

class OWire {
  public:
    OWire();  // opens termios devices
    explicit OWire(SerialPortOpener opener);
    ~OWire();
    OWire(const OWire&) = delete;
    OWire& operator=(const OWire&) = delete;

    // Opens "/dev/" + name (a name like "ttyUSB0" or "pts/3") at 115200 baud and
    // sends one idle byte as eight slots. The port handle, or 0 (error 1) when it
    // cannot be opened; an empty name just leaves the link closed.
    [[nodiscard]] int32_t Open(const std::string& name);
    // True when a port was closed; false (error 1) when none was open.
    [[nodiscard]] bool Close();
    bool IsOpen() const { return port_ != nullptr; }
    // True when the open port's device has gone away (the adapter was pulled
    // out), as opposed to a bus on which nobody answers. The port stays open
    // until Close.
    bool PortGone() const { return port_ != nullptr && port_->Gone(); }

    // Error 1 without a port; otherwise error 0 and the receive queue emptied.
    void CheckPort();
    // Reads and discards every byte waiting.
    void Flush();
    // 9600 or 115200 only; false (error 4) leaves the speed as it was.
    [[nodiscard]] bool SetSpeed(int baud);

    // True when a device answered with a presence pulse.
    [[nodiscard]] bool Reset();
    // One write slot; optionally waits up to 35 ms for its echo and consumes it.
    // A slot that cannot be written sets error 3 and waits for nothing.
    void WriteBit(int bit, bool wait, bool read_echo);
    // One read slot: the bit read; 1 with error 3 when there was no single echo byte.
    [[nodiscard]] int ReadBit(bool flush_first, bool send_slot, bool wait);

    // Sends n bytes as 8n slots in one write and consumes their echo.
    [[nodiscard]] bool WriteBytes(const uint8_t* data, size_t n);
    [[nodiscard]] bool WriteBytes(uint8_t byte) { return WriteBytes(&byte, 1); }
    // Reads n bytes with 8n read slots in one write; success is LastError() == 0.
    void ReadBytes(uint8_t* buffer, size_t n);
    // WriteBytes of n_write bytes followed by ReadBytes of n_read, as one block
    // of 8 × (n_write + n_read) slots in one write with one wait for its echo
    // (2 × (n_write + n_read + 18) ms): the same slots on the wire, one round
    // trip instead of two. Exactly as many echo bytes as slots, or error 3 and
    // the receive queue flushed; buffer is filled only on success.
    [[nodiscard]] bool WriteThenRead(const uint8_t* data, size_t n_write, uint8_t* buffer,
                                     size_t n_read);

  private:
    [[nodiscard]] bool ReadResetEcho();
    void WaitForSlotEcho();
    [[nodiscard]] bool SendSlots(uint8_t* slots, size_t n);

    SerialPortOpener opener_;
    std::unique_ptr<SerialPort> port_;
};

}  // namespace flextor::onewire
