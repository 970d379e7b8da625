// A simulated 1-Wire bus behind a pseudo-terminal: the stand-in for a USB-UART
// adapter whose transmit and receive lines are tied to a bus of sensors.
//
// The bus answers every byte written to the pty's slave side with the echo a
// passive adapter would read back:
//   - at 9600 baud (or slower) a byte is a reset pulse: the echo is the byte itself
//     when no device is present (0xF0 for 0xF0) and kResetEchoPresence when a
//     device answers with a presence pulse;
//   - at any faster rate a byte is one time slot: 0xFF is a write-1 / read slot,
//     anything else a write-0 slot. A read slot in which a device sends 0 echoes
//     kSlotEchoPulled; every other slot echoes the byte written.
// Several devices sending in one read slot give the wired AND of their bits.
//
// Every public member is thread-safe: the bus serves the pty in its own thread,
// tests and the control socket call the setters from theirs.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace flextor::owsim {

// Family code, six serial bytes (least significant first), CRC-8 of the first seven.
using RomCode = std::array<uint8_t, 8>;

inline constexpr uint8_t kFamilyDS18S20 = 0x10;
inline constexpr uint8_t kFamilyDS18B20 = 0x28;
inline constexpr uint8_t kFamilySerialNumber = 0x01;  // takes part in searches only

inline constexpr uint8_t kResetEchoPresence = 0xE0;
inline constexpr uint8_t kSlotEchoPulled = 0xF8;

// CRC-8 of the 1-Wire bus: polynomial x^8+x^5+x^4+1, reflected, initial value 0.
uint8_t Crc8(const uint8_t* data, std::size_t n);

// A valid ROM code: the family, the low 48 bits of serial (byte 1 = least
// significant) and the CRC.
RomCode MakeRom(uint8_t family, uint64_t serial);

// "28-0000041A2B3C-BB": family, serial bytes 6 down to 1, CRC, in hex.
std::string FormatRom(const RomCode& rom);
// Reads the form above (case-insensitive); false if it is not 8 hex bytes in that
// shape. The CRC is not checked, so tests can build invalid codes.
[[nodiscard]] bool ParseRom(const std::string& text, RomCode* rom);

// The state of one device as the control interface lists it.
struct DeviceInfo {
    RomCode rom{};
    int tenths = 0;  // current temperature, tenths of a degree Celsius
    bool absent = false;
    bool badCrc = false;
    bool stuckAt85 = false;
    int converts = 0;  // Convert T commands this device received
    int reads = 0;     // Read Scratchpad commands this device received
};

class SimBus {
  public:
    SimBus();
    ~SimBus();  // stops the bus
    SimBus(const SimBus&) = delete;
    SimBus& operator=(const SimBus&) = delete;

    // Opens the pty (raw, 115200 baud) and starts serving it. False if the pty
    // cannot be made or the bus is already running.
    [[nodiscard]] bool Start();
    // Stops serving and closes the pty; the devices and faults are kept.
    void Stop();
    bool Running() const;

    std::string SlavePath() const;  // "/dev/pts/N"; empty when not running
    std::string PortName() const;   // "pts/N": what goes after "/dev/"

    // Devices. A family of 0x28 or 0x10 is a temperature sensor; any other family
    // takes part in ROM commands and ignores function commands. A new sensor holds
    // the power-on scratchpad (85.0 C) until its first Convert T.
    [[nodiscard]] bool AddDevice(const RomCode& rom,
                                 int tenths = 250);  // false if already on the bus
    // The device with MakeRom(family, serial); one already there is left as it is.
    RomCode AddSensor(uint8_t family, uint64_t serial, int tenths);
    [[nodiscard]] bool RemoveDevice(const RomCode& rom);
    // The temperature the next Convert T latches, in tenths of a degree; clamped to
    // the sensor range -550..1250.
    [[nodiscard]] bool SetTemperature(const RomCode& rom, int tenths);
    std::vector<DeviceInfo> Devices() const;  // in the order added

    // Device faults; false if the device is unknown.
    [[nodiscard]] bool SetAbsent(const RomCode& rom, bool on);     // no presence, no answers
    [[nodiscard]] bool SetBadCrc(const RomCode& rom, bool on);     // scratchpad CRC byte inverted
    [[nodiscard]] bool SetStuckAt85(const RomCode& rom, bool on);  // reads the power-on scratchpad

    // Bus and adapter faults.
    void SetShorted(bool on);        // every echo is 0x00; the devices hear nothing
    void SetSilent(bool on);         // no echo at all; devices still see the traffic
    void DropNextEchoes(int count);  // the echoes of the next count slots go missing
    void SetDropEvery(int nth);      // every nth slot echo goes missing; 0 = never
    void SetEchoDelayMs(int ms);     // each echo block is written after this delay
    void ClearFaults();              // every fault above off, device faults included

    // The adapter's timing, kept by ClearFaults. With line times on, the echo of
    // a block comes when its last byte has been on the wire (10 bits a byte at the
    // port's rate: 1.04 ms for a reset at 9600, 86.8 us for a slot at 115200);
    // the latency holds every echo block that much longer, as a USB adapter's
    // latency timer does. Both are off at first: echoes come at once.
    void SetLineTime(bool on);
    void SetLatencyUs(int us);
    bool LineTime() const;
    int LatencyUs() const;

    // Counters since the bus was made or last cleared; 0 for an unknown device.
    int Resets() const;                      // reset pulses, with and without presence
    int Searches() const;                    // Search ROM commands (one per search pass)
    int Reads(const RomCode& rom) const;     // Read Scratchpad commands to one device
    int Converts(const RomCode& rom) const;  // Convert T commands to one device
    void ClearCounters();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace flextor::owsim
