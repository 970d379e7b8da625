#include "platform/onewire/link.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <new>
#include <thread>

namespace flextor::onewire {
namespace {

thread_local int32_t last_error = kErrNone;

constexpr uint8_t kResetByte = 0xF0;
constexpr uint8_t kSlotOne = 0xFF;
constexpr uint8_t kSlotZero = 0x00;

constexpr int64_t kResetEchoMs = 32;
constexpr int64_t kSlotEchoMs = 35;
constexpr int64_t kModemSettleMs = 20;

// Elapsed time on the monotonic clock, truncated to whole milliseconds. The bus
// waits are real time on the wire, so they never use a clock a test installed.
class Stopwatch {
  public:
    int64_t ElapsedMs() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - start_)
            .count();
    }

  private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

void SleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool SleepWhilePolling() {
    return (LinkOptions.load() & kLinkSleep) != 0;
}

// Echo bytes of a block of n data bytes arrive within 2 × (n + 18) ms.
int64_t BlockEchoMs(size_t n) {
    return 2 * (static_cast<int64_t>(n) + 18);
}

std::unique_ptr<uint8_t[]> SlotBuffer(size_t n) {
    if (n > SIZE_MAX / 8) {
        return nullptr;
    }
    return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[n * 8]);
}

}  // namespace

std::atomic<uint8_t> LinkOptions{0};

int32_t LastError() {
    return last_error;
}
void SetLastError(int32_t code) {
    last_error = code;
}

OWire::OWire() : OWire(OpenSerialPort) {}

OWire::OWire(SerialPortOpener opener) : opener_(std::move(opener)) {}

OWire::~OWire() {
    if (port_) {
        Close();
    }
}

int32_t OWire::Open(const std::string& name) {
    Close();
    SetLastError(kErrNoPort);
    if (name.empty()) {
        return 0;
    }
    port_ = opener_("/dev/" + name, kSlotBaud);
    if (!port_) {
        return 0;
    }
    port_->SetModemLines(true);  // fails on devices without modem lines: harmless
    SleepMs(kModemSettleMs);
    CheckPort();
    // One idle byte as eight separate slots wakes the adapter and the bus.
    for (int i = 0; i < 8 && LastError() == kErrNone; ++i) {
        WriteBit(1, true, false);
        ReadBit(false, false, false);
    }
    Flush();
    SetLastError(kErrNone);
    return port_->Handle();
}

bool OWire::Close() {
    if (!port_) {
        SetLastError(kErrNoPort);
        return false;
    }
    port_->SetModemLines(false);
    port_.reset();
    SetLastError(kErrNone);
    return true;
}

void OWire::CheckPort() {
    if (!port_) {
        SetLastError(kErrNoPort);
        return;
    }
    SetLastError(kErrNone);
    port_->FlushInput();
}

void OWire::Flush() {
    if (!port_) {
        return;
    }
    uint8_t scrap[256];
    while (port_->Read(scrap, sizeof scrap) > 0) {
    }
}

bool OWire::SetSpeed(int baud) {
    if (!port_ || (baud != kResetBaud && baud != kSlotBaud) || !port_->SetSpeed(baud)) {
        SetLastError(kErrSpeed);
        return false;
    }
    return true;
}

bool OWire::Reset() {
    CheckPort();
    if (LastError() != kErrNone || !SetSpeed(kResetBaud)) {
        return false;
    }
    Flush();
    bool presence = false;
    if (port_->Write(&kResetByte, 1) != 1) {
        SetLastError(kErrIO);
    } else {
        presence = ReadResetEcho();
    }
    SetSpeed(kSlotBaud);
    return presence;
}

// Waits up to 32 ms for the reset byte's echo; anything but exactly one byte is
// an input/output error and is flushed.
bool OWire::ReadResetEcho() {
    Stopwatch watch;
    do {
        SleepMs(2);
    } while (port_->Waiting() < 1 && watch.ElapsedMs() < kResetEchoMs);
    uint8_t echo = 0;
    if (port_->Waiting() != 1 || port_->Read(&echo, 1) != 1) {
        SetLastError(kErrIO);
        Flush();
        return false;
    }
    // A bus held low (echo 0x00) also reads as a presence.
    if (echo == kResetByte) {
        SetLastError(kErrNoPresence);
        return false;
    }
    return true;
}

void OWire::WaitForSlotEcho() {
    Stopwatch watch;
    for (;;) {
        if (SleepWhilePolling()) {
            SleepMs(1);
        }
        if (port_->Waiting() >= 1 || watch.ElapsedMs() > kSlotEchoMs) {
            return;
        }
    }
}

void OWire::WriteBit(int bit, bool wait, bool read_echo) {
    if (!port_) {
        SetLastError(kErrNoPort);
        return;
    }
    uint8_t slot = bit ? kSlotOne : kSlotZero;
    port_->Write(&slot, 1);
    if (wait) {
        WaitForSlotEcho();
    }
    uint8_t echo = 0;
    if (read_echo && port_->Waiting() >= 1) {
        port_->Read(&echo, 1);
    }
}

int OWire::ReadBit(bool flush_first, bool send_slot, bool wait) {
    SetLastError(kErrNone);
    if (!port_) {
        SetLastError(kErrNoPort);
        return 1;
    }
    if (flush_first) {
        Flush();
    }
    if (send_slot && port_->Write(&kSlotOne, 1) != 1) {
        SetLastError(kErrIO);
        return 0;
    }
    if (wait) {
        WaitForSlotEcho();
    }
    uint8_t echo = 0;
    if (port_->Waiting() == 1 && port_->Read(&echo, 1) == 1) {
        return echo == kSlotOne ? 1 : 0;
    }
    SetLastError(kErrIO);
    return 1;
}

bool OWire::WaitForBlockEcho(size_t slots, size_t n) {
    Stopwatch watch;
    const int64_t limit = BlockEchoMs(n);
    while (port_->Waiting() < static_cast<int>(slots) && watch.ElapsedMs() < limit) {
        if (SleepWhilePolling()) {
            SleepMs(2);
        }
    }
    return port_->Waiting() == static_cast<int>(slots);
}

// Writes the slots in one go, waits for their whole echo and reads it back into
// the same buffer. On failure the receive queue is emptied and error 3 is set.
bool OWire::SendSlots(uint8_t* slots, size_t n) {
    const size_t count = n * 8;
    bool ok =
        port_->Write(slots, count) == static_cast<ssize_t>(count) && WaitForBlockEcho(count, n);
    size_t got = 0;
    while (ok && got < count) {
        ssize_t part = port_->Read(slots + got, count - got);
        ok = part > 0;
        got += ok ? static_cast<size_t>(part) : 0;
    }
    if (!ok) {
        Flush();
        SetLastError(kErrIO);
    }
    return ok;
}

bool OWire::WriteBytes(const uint8_t* data, size_t n) {
    CheckPort();
    if (LastError() != kErrNone) {
        return false;
    }
    std::unique_ptr<uint8_t[]> slots = SlotBuffer(n);
    if (!slots) {
        SetLastError(kErrNoMemory);
        return false;
    }
    for (size_t i = 0; i < n * 8; ++i) {
        slots[i] = (data[i / 8] >> (i % 8)) & 1 ? kSlotOne : kSlotZero;
    }
    // The echo only proves the slots went out; its content is not compared.
    return SendSlots(slots.get(), n);
}

void OWire::ReadBytes(uint8_t* buffer, size_t n) {
    CheckPort();
    if (LastError() != kErrNone) {
        return;
    }
    std::unique_ptr<uint8_t[]> slots = SlotBuffer(n);
    if (!slots) {
        SetLastError(kErrNoMemory);
        return;
    }
    std::fill(slots.get(), slots.get() + n * 8, kSlotOne);
    if (!SendSlots(slots.get(), n)) {
        return;
    }
    for (size_t i = 0; i < n; ++i) {
        uint8_t byte = 0;
        for (size_t bit = 0; bit < 8; ++bit) {
            byte |= static_cast<uint8_t>((slots[i * 8 + bit] == kSlotOne ? 1 : 0) << bit);
        }
        buffer[i] = byte;
    }
}

}  // namespace flextor::onewire
