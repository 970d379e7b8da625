#include "owsim/bus_model.h"

#include <algorithm>
#include <utility>

namespace flextor::owsim {
namespace {

constexpr int kResetBaudLimit = 9600;  // at this rate or slower a byte is a reset pulse

}  // namespace

std::string BusModel::Answer(const uint8_t* bytes, std::size_t n, int baud) {
    bool reset = baud > 0 && baud <= kResetBaudLimit;
    std::string echo;
    echo.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        int answer = reset ? Reset(bytes[i]) : Slot(bytes[i]);
        if (answer >= 0 && !faults_.silent) {
            echo.push_back(static_cast<char>(answer));
        }
    }
    return echo;
}

int BusModel::Reset(uint8_t byte) {
    ++resets_;
    slotsSinceReset_ = 0;
    romCommand_ = 0;
    if (faults_.shorted) {
        for (Device& device : devices_) {
            device.Release();
        }
        return 0x00;
    }
    bool presence = false;
    for (Device& device : devices_) {
        presence = device.OnReset() || presence;
    }
    return presence ? (byte & kResetEchoPresence) : byte;
}

int BusModel::Slot(uint8_t byte) {
    bool masterBit = byte == 0xFF;
    NoteMasterBit(masterBit);
    if (faults_.shorted) {
        return LoseSlotEcho() ? -1 : 0x00;
    }
    bool pulled = std::any_of(devices_.begin(), devices_.end(),
                              [](const Device& device) { return device.PullsLow(); });
    bool level = masterBit && !pulled;
    for (Device& device : devices_) {
        device.OnSlot(level);
    }
    if (LoseSlotEcho()) {
        return -1;
    }
    return masterBit && pulled ? kSlotEchoPulled : byte;
}

// Follows the first byte after each reset, to count the searches even on a bus
// where no device takes part.
void BusModel::NoteMasterBit(bool bit) {
    if (slotsSinceReset_ >= 8) {
        return;
    }
    if (bit) {
        romCommand_ = static_cast<uint8_t>(romCommand_ | (1 << slotsSinceReset_));
    }
    if (++slotsSinceReset_ == 8 && romCommand_ == kSearchRom) {
        ++searches_;
    }
}

bool BusModel::LoseSlotEcho() {
    if (faults_.dropNext > 0) {
        --faults_.dropNext;
        return true;
    }
    if (faults_.dropEvery <= 0 || ++slotsSinceDrop_ < faults_.dropEvery) {
        return false;
    }
    slotsSinceDrop_ = 0;
    return true;
}

bool BusModel::Add(const RomCode& rom, int tenths) {
    if (Find(rom) != nullptr) {
        return false;
    }
    devices_.emplace_back(rom, tenths);
    return true;
}

bool BusModel::Remove(const RomCode& rom) {
    const Device* device = Find(rom);
    if (device == nullptr) {
        return false;
    }
    devices_.erase(devices_.begin() + (device - devices_.data()));
    return true;
}

Device* BusModel::Find(const RomCode& rom) {
    return const_cast<Device*>(std::as_const(*this).Find(rom));
}

const Device* BusModel::Find(const RomCode& rom) const {
    auto it = std::find_if(devices_.begin(), devices_.end(),
                           [&](const Device& device) { return device.Rom() == rom; });
    return it == devices_.end() ? nullptr : &*it;
}

void BusModel::ClearFaults() {
    faults_ = BusFaults{};
    slotsSinceDrop_ = 0;
    for (Device& device : devices_) {
        DeviceInfo& info = device.Info();
        info.absent = info.badCrc = info.stuckAt85 = false;
    }
}

void BusModel::ClearCounters() {
    resets_ = 0;
    searches_ = 0;
    for (Device& device : devices_) {
        device.Info().reads = 0;
        device.Info().converts = 0;
    }
}

}  // namespace flextor::owsim
