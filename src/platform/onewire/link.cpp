#include "platform/onewire/link.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <new>
#include <thread>

#include "platform/onewire/echo_wait.h"

namespace flextor::onewire {
namespace {

thread_local int32_t last_error = kErrNone;

constexpr uint8_t kResetByte = 0xF0;
constexpr uint8_t kSlotOne = 0xFF;
constexpr uint8_t kSlotZero = 0x00;

constexpr int64_t kResetEchoMs = 32;
constexpr int64_t kSlotEchoMs = 35;
constexpr int64_t kModemSettleMs = 20;

void SleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

int64_t Stretched(int64_t ms) {
    return ms * EchoWaitStretch.load();
}

// Echo bytes of a block of n data bytes arrive within 2 × (n + 18) ms.
int64_t BlockEchoMs(size_t n) {
    return Stretched(2 * (static_cast<int64_t>(n) + 18));
}

std::unique_ptr<uint8_t[]> SlotBuffer(size_t n) {
    if (n > SIZE_MAX / 8) {
        return nullptr;
    }
    return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[n * 8]);
}

// Each data bit becomes one slot, least significant bit first: 0xFF writes a 1,
// 0x00 a 0.
void EncodeWriteSlots(const uint8_t* data, size_t n, uint8_t* slots) {
    for (size_t i = 0; i < n * 8; ++i) {
        slots[i] = (data[i / 8] >> (i % 8)) & 1 ? kSlotOne : kSlotZero;
    }
}

// Each read slot's echo gives one bit, 1 when it is exactly 0xFF; eight make a
// byte, least significant bit first.
void DecodeReadSlots(const uint8_t* echo, size_t n, uint8_t* buffer) {
    for (size_t i = 0; i < n; ++i) {
        uint8_t byte = 0;
        for (size_t bit = 0; bit < 8; ++bit) {
            byte |= static_cast<uint8_t>((echo[i * 8 + bit] == kSlotOne ? 1 : 0) << bit);
        }
        buffer[i] = byte;
    }
}

}  // namespace

std::atomic<uint8_t> LinkOptions{0};
std::atomic<int> EchoWaitStretch{1};

int32_t LastError() {
    return last_error;
}
void SetLastError(int32_t code) {
    last_error = code;
}

OWire::OWire() : OWire(OpenSerialPort) {}

OWire::OWire(SerialPortOpener opener) : opener_(std::move(opener)) {}

OWire::~OWire() {
    static_cast<void>(Close());  // false only when no port was open
}

int32_t OWire::Open(const std::string& name) {
    static_cast<void>(Close());  // whatever was open goes; nothing open is fine too
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
        static_cast<void>(ReadBit(false, false, false));  // only takes the echo away
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
    // Slots at the reset speed would be garbage: a failed switch back fails the
    // reset (error 4).
    return SetSpeed(kSlotBaud) && presence;
}

// Waits up to 32 ms for the reset byte's echo; anything but exactly one byte is
// an input/output error and is flushed.
bool OWire::ReadResetEcho() {
    uint8_t echo = 0;
    if (!AwaitInput(*port_, Stretched(kResetEchoMs)) || port_->Waiting() != 1 ||
        port_->Read(&echo, 1) != 1) {
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

// Waits up to 35 ms for a single slot's echo; what came is judged by the caller.
void OWire::WaitForSlotEcho() {
    [[maybe_unused]] bool arrived = AwaitInput(*port_, Stretched(kSlotEchoMs));
}

void OWire::WriteBit(int bit, bool wait, bool read_echo) {
    if (!port_) {
        SetLastError(kErrNoPort);
        return;
    }
    uint8_t slot = bit ? kSlotOne : kSlotZero;
    if (port_->Write(&slot, 1) != 1) {
        SetLastError(kErrIO);
        return;
    }
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

// Writes the slots in one go and reads their whole echo back into the same
// buffer as it arrives: exactly as many echo bytes as slots, within
// 2 × (n + 18) ms for n bytes' worth. On failure the receive queue is emptied
// and error 3 is set.
bool OWire::SendSlots(uint8_t* slots, size_t n) {
    const size_t count = n * 8;
    bool ok = port_->Write(slots, count) == static_cast<ssize_t>(count) &&
              ReceiveEcho(*port_, slots, count, BlockEchoMs(n)) == count && port_->Waiting() == 0;
    if (!ok) {
        Flush();
        SetLastError(kErrIO);
    }
    return ok;
}

bool OWire::WriteBytes(const uint8_t* data, size_t n) {
    return WriteThenRead(data, n, nullptr, 0);
}

void OWire::ReadBytes(uint8_t* buffer, size_t n) {
    [[maybe_unused]] bool ok = WriteThenRead(nullptr, 0, buffer, n);
}

bool OWire::WriteThenRead(const uint8_t* data, size_t n_write, uint8_t* buffer, size_t n_read) {
    CheckPort();
    if (LastError() != kErrNone) {
        return false;
    }
    const size_t n = n_write + n_read;
    std::unique_ptr<uint8_t[]> slots = n < n_write ? nullptr : SlotBuffer(n);
    if (!slots) {
        SetLastError(kErrNoMemory);
        return false;
    }
    EncodeWriteSlots(data, n_write, slots.get());
    std::fill(slots.get() + n_write * 8, slots.get() + n * 8, kSlotOne);
    // The echo of the write slots only proves they went out; it is not compared.
    if (!SendSlots(slots.get(), n)) {
        return false;
    }
    DecodeReadSlots(slots.get() + n_write * 8, n_read, buffer);
    return true;
}

}  // namespace flextor::onewire
