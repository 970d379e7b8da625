// One device on the simulated bus, followed slot by slot as the chip would: after
// a reset a ROM command (Search, Match, Skip, Read ROM), then, once selected, a
// function command (Convert T, Read Scratchpad for temperature sensors).
#pragma once

#include <cstdint>

#include "owsim/scratchpad.h"
#include "owsim/sim_bus.h"

namespace flextor::owsim {

// The ROM command that starts a search: the bus model counts its slots too.
inline constexpr uint8_t kSearchRom = 0xF0;

class Device {
  public:
    Device(const RomCode& rom, int tenths);

    const RomCode& Rom() const { return info_.rom; }
    const DeviceInfo& Info() const { return info_; }
    DeviceInfo& Info() { return info_; }

    // A reset pulse; true when the device answers with a presence pulse.
    bool OnReset();
    // Whether the device holds the bus low during the coming slot.
    bool PullsLow() const;
    // The slot is over; level is what the bus carried (the master's bit, ANDed with
    // every device that pulled it low).
    void OnSlot(bool level);
    // Loses track of the transaction until the next reset.
    void Release() { phase_ = Phase::kIdle; }

  private:
    enum class Phase {
        kIdle,             // not addressed: waits for a reset
        kRomCommand,       // receiving the ROM command byte
        kSearch,           // sending bit and complement, receiving the direction
        kReadRom,          // sending the ROM code
        kMatchRom,         // receiving a ROM code to compare with its own
        kFunctionCommand,  // selected: receiving a function command byte
        kSendScratchpad,   // sending the nine scratchpad bytes
    };

    bool RomBit(int index) const;
    bool OutputBit() const;
    void ReceiveCommandBit(bool level);
    void StartRomCommand(uint8_t command);
    void StartFunction(uint8_t command);
    void ConvertT();
    void AdvanceSearch(bool level);
    void Select() { Enter(Phase::kFunctionCommand); }
    void Enter(Phase phase);

    DeviceInfo info_;
    Scratchpad scratchpad_;
    Scratchpad sending_{};
    Phase phase_ = Phase::kIdle;
    int bit_ = 0;       // bit index within the current phase
    int step_ = 0;      // search: 0 bit, 1 complement, 2 direction
    uint8_t byte_ = 0;  // command byte being received
};

}  // namespace flextor::owsim
