#include "owsim/device.h"

namespace flextor::owsim {
namespace {

constexpr uint8_t kReadRom = 0x33;
constexpr uint8_t kMatchRom = 0x55;
constexpr uint8_t kSkipRom = 0xCC;
constexpr uint8_t kConvertT = 0x44;
constexpr uint8_t kReadScratchpad = 0xBE;

constexpr int kRomBits = 64;
constexpr int kScratchpadBits = 72;

}  // namespace

Device::Device(const RomCode& rom, int tenths) : scratchpad_(PowerOnScratchpad(rom[0])) {
    info_.rom = rom;
    info_.tenths = ClampTenths(tenths);
}

bool Device::OnReset() {
    if (info_.absent) {
        Release();
        return false;
    }
    Enter(Phase::kRomCommand);
    return true;
}

bool Device::PullsLow() const {
    return !info_.absent && !OutputBit();
}

void Device::OnSlot(bool level) {
    switch (phase_) {
        case Phase::kIdle:
            return;
        case Phase::kRomCommand:
        case Phase::kFunctionCommand:
            ReceiveCommandBit(level);
            return;
        case Phase::kSearch:
            AdvanceSearch(level);
            return;
        case Phase::kReadRom:
            if (++bit_ == kRomBits) {
                Select();
            }
            return;
        case Phase::kMatchRom:
            if (level != RomBit(bit_)) {
                Release();
            } else if (++bit_ == kRomBits) {
                Select();
            }
            return;
        case Phase::kSendScratchpad:
            if (++bit_ == kScratchpadBits) {
                Release();
            }
            return;
    }
}

bool Device::RomBit(int index) const {
    return (info_.rom[index / 8] >> (index % 8)) & 1;
}

// The bit the device puts on the bus in a read slot; 1 leaves the bus alone.
bool Device::OutputBit() const {
    switch (phase_) {
        case Phase::kSearch:
            return step_ == 0 ? RomBit(bit_) : step_ == 1 ? !RomBit(bit_) : true;
        case Phase::kReadRom:
            return RomBit(bit_);
        case Phase::kSendScratchpad:
            return (sending_[bit_ / 8] >> (bit_ % 8)) & 1;
        default:
            return true;
    }
}

void Device::ReceiveCommandBit(bool level) {
    if (level) {
        byte_ = static_cast<uint8_t>(byte_ | (1 << bit_));
    }
    if (++bit_ < 8) {
        return;
    }
    if (phase_ == Phase::kRomCommand) {
        StartRomCommand(byte_);
    } else {
        StartFunction(byte_);
    }
}

void Device::StartRomCommand(uint8_t command) {
    switch (command) {
        case kSearchRom:
            Enter(Phase::kSearch);
            return;
        case kReadRom:
            Enter(Phase::kReadRom);
            return;
        case kMatchRom:
            Enter(Phase::kMatchRom);
            return;
        case kSkipRom:
            Select();
            return;
        default:
            Release();
    }
}

void Device::StartFunction(uint8_t command) {
    if (!IsTemperatureFamily(info_.rom[0])) {
        Release();
        return;
    }
    if (command == kConvertT) {
        ConvertT();
        Release();  // the conversion is immediate; read slots see it finished
    } else if (command == kReadScratchpad) {
        ++info_.reads;
        sending_ = info_.stuckAt85 ? PowerOnScratchpad(info_.rom[0]) : scratchpad_;
        if (info_.badCrc) {
            sending_[8] ^= 0xFF;
        }
        Enter(Phase::kSendScratchpad);
    } else {
        Release();
    }
}

void Device::ConvertT() {
    ++info_.converts;
    scratchpad_ = ScratchpadFor(info_.rom[0], info_.stuckAt85 ? 850 : info_.tenths);
}

void Device::AdvanceSearch(bool level) {
    if (step_ < 2) {
        ++step_;
        return;
    }
    if (level != RomBit(bit_)) {
        Release();
        return;
    }
    step_ = 0;
    if (++bit_ == kRomBits) {
        Select();
    }
}

void Device::Enter(Phase phase) {
    phase_ = phase;
    bit_ = 0;
    step_ = 0;
    byte_ = 0;
}

}  // namespace flextor::owsim
