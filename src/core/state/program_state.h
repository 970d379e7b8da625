// The run state of the controller: the records that survive a restart (ProgVar)
// and the process-wide flags and counters beside them.
//
// Thread rule: everything here belongs to the GUI thread, except SensorShare,
// which both threads touch only with SensorShare.Mutex held, and StopRequest,
// which the GUI thread writes and the polling thread reads.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "core/state/stop_flag.h"

namespace flextor {

// Sensor families that measure temperature.
inline constexpr uint8_t kFamilyDS18S20 = 0x10;
inline constexpr uint8_t kFamilyDS18B20 = 0x28;

inline bool IsTemperatureFamily(uint8_t type) {
    return type == kFamilyDS18S20 || type == kFamilyDS18B20;
}

// SensorParam.Flag bits.
inline constexpr uint8_t kFlagReadFailed = 0x01;
inline constexpr uint8_t kFlagError = 0x02;
inline constexpr uint8_t kFlagFresh = 0x04;
inline constexpr uint8_t kFlagConverting = 0x08;
inline constexpr uint8_t kFlagNotFound = 0x10;
inline constexpr uint8_t kFlagTemperatureSensor = 0x20;

// A 1-Wire ROM code in bus order.
struct OW_SN {
    uint8_t Type;
    uint8_t Number[6];
    uint8_t CRC;
};
static_assert(sizeof(OW_SN) == 8);

// One row of the sensor table. SN and ID are the same eight bytes: ID is the ROM
// code read as one little-endian integer.
struct SensorParam {
    union {
        OW_SN SN;
        int64_t ID = 0;
    };
    uint8_t Use = 0;
    int16_t Termo = 0;
    int16_t TermoLog = 0;
    uint16_t CountErr = 0;
    uint16_t CountNoUpdate = 0;
    uint16_t Count85Err = 0;
    int16_t UpdateCount = 0;
    uint8_t Flag = 0;
};
static_assert(sizeof(int64_t) == sizeof(OW_SN));

// The flag a new row gets from its family code.
inline uint8_t FamilyFlag(const SensorParam& row) {
    return IsTemperatureFamily(row.SN.Type) ? kFlagTemperatureSensor : 0;
}

struct Sensors {
    std::vector<SensorParam> Sensor;
    int32_t CurrentSensor = 0;
    int32_t PortID = 0;
    uint8_t Flags = 0;
};

struct Logic_Col1 {
    uint8_t Status = 0;  // 0 stopped, 1 running, 2 paused
    uint8_t Mode = 0;    // 0..5
    uint8_t ControlValves = 0;
    int8_t PWM = 0;
    uint8_t CounterPWM = 0;
    uint8_t DelayState = 0;
    int32_t CountDelay = 0;
    double Volume = 0;
    double VolumePWM = 0;
    double v0_Volume = 0;
    double v1_Volume = 0;
    double v2_Volume = 0;
    uint8_t v2_CloseState = 0;
};

struct Logic_Col2 {
    uint8_t Work = 0;
};

struct Logic_Col3 {
    uint8_t Work = 0;
    uint8_t PinMax = 0;
    uint8_t PinMin = 0;
    uint8_t OldMax = 0;
    uint8_t OldMin = 0;
};

struct LogicParam {
    uint8_t Alarm = 0;
    Logic_Col1 Col1;
    Logic_Col2 Col2;
    Logic_Col3 Col3;
    uint8_t d6_Pin = 0;
};

struct CrashProg {
    uint8_t Count = 0;
    std::string Err;
};

struct ProgVarRecord {
    std::string LogInfo_FileName;
    std::string LogTermo_FileName;
    struct Sensors Sensors;
    LogicParam Logic;
    CrashProg Crash;
};

// SensorShare.Command bits.
inline constexpr uint8_t kCmdSearch = 0x01;
inline constexpr uint8_t kCmdReopen = 0x02;
inline constexpr uint8_t kCmdNewTable = 0x04;
inline constexpr uint8_t kCmdPollAll = 0x08;
inline constexpr uint8_t kCmdFreshData = 0x10;
inline constexpr uint8_t kCmdSearchResults = 0x20;

// The block exchanged with the sensor polling thread. Every field is read and
// written only with Mutex held.
struct SensorShareBlock {
    std::mutex Mutex;
    std::string PortName;
    uint8_t Command = 0;
    uint8_t Serial = 0;
    uint8_t PollAll = 0;
    int32_t PortID = 0;
    std::vector<SensorParam> Sensor;
};

inline constexpr int kPinCount = 11;

// The one saved record of the program.
extern ProgVarRecord ProgVar;

// The exchange block with the polling thread.
extern SensorShareBlock SensorShare;

// Process-wide flags and counters (GUI thread, unless said otherwise).
extern uint8_t PollAll;
extern int32_t SaveCounter;
extern StopFlag StopRequest;  // written by the GUI thread, read by the poller
extern int32_t LogicBusy;
extern int32_t OutputBusy;
extern uint16_t PinTable[kPinCount];
extern uint16_t OutputWord;
extern uint16_t LastOutputs;
extern uint8_t PulseCounter;
extern uint8_t PulseState;
// Writes that failed in a row, per output: named when they start and end.
extern uint32_t OutputWriteFailures[kPinCount];
extern int32_t SavesSecCounter;  // cycles since the last periodic temperature-log line
extern uint16_t FailedOutputs;   // output bits whose last write failed: written again
// Output bits that should be low and whose switch-off keeps failing, and since
// when (monotonic ms) each has been; the latched ones were reported.
extern uint16_t StuckOutputs;
extern uint16_t StuckOutputsLatched;
extern int64_t StuckOutputSince[kPinCount];
// The polling thread has handed over the state of its port at least once: until
// then PortID 0 means "not known yet", not "closed".
extern bool PortReported;

// The BCM GPIO numbers of the eleven outputs, entry i driven by bit i.
inline constexpr uint16_t kDefaultPinTable[kPinCount] = {4, 17, 27, 22, 10, 9, 11, 25, 8, 24, 23};

// Puts ProgVar, SensorShare and the flags and counters back to their start values,
// so every test begins from a clean state. Settings have their own reset.
void ResetProgramState();

}  // namespace flextor
