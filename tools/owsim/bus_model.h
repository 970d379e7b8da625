// The bus itself: the devices, the faults and the counters, and the echo each
// written byte gets. Knows nothing of ptys or threads; SimBus guards it with its lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "owsim/device.h"

namespace flextor::owsim {

struct BusFaults {
    bool shorted = false;
    bool silent = false;
    int dropNext = 0;   // slot echoes still to lose
    int dropEvery = 0;  // lose every nth slot echo; 0 = never
};

class BusModel {
  public:
    // The echo of bytes written at the given baud rate, in order. Missing echoes
    // (silent adapter, dropped bytes) make it shorter than the input.
    std::string Answer(const uint8_t* bytes, std::size_t n, int baud);

    [[nodiscard]] bool Add(const RomCode& rom, int tenths);
    [[nodiscard]] bool Remove(const RomCode& rom);
    Device* Find(const RomCode& rom);
    const Device* Find(const RomCode& rom) const;
    const std::vector<Device>& Devices() const { return devices_; }

    BusFaults& Faults() { return faults_; }
    void ClearFaults();

    int Resets() const { return resets_; }
    int Searches() const { return searches_; }
    void ClearCounters();

  private:
    // Each returns the echo, or -1 when it goes missing.
    int Reset(uint8_t byte);
    int Slot(uint8_t byte);
    void NoteMasterBit(bool bit);
    bool LoseSlotEcho();

    std::vector<Device> devices_;
    BusFaults faults_;
    int resets_ = 0;
    int searches_ = 0;
    int slotsSinceDrop_ = 0;   // slots echoed since dropEvery last lost one
    int slotsSinceReset_ = 8;  // the master's ROM command bits seen after a reset
    uint8_t romCommand_ = 0;
};

}  // namespace flextor::owsim
