#include "core/state/program_state.h"

#include <algorithm>

#include "core/logic/checks/plausibility_checks.h"

namespace flextor {

ProgVarRecord ProgVar;
SensorShareBlock SensorShare;

uint8_t PollAll = 0;
int32_t SaveCounter = 100;
StopFlag StopRequest;
int32_t LogicBusy = 0;
int32_t OutputBusy = 0;
uint16_t PinTable[kPinCount] = {};
uint16_t OutputWord = 0;
uint16_t LastOutputs = 0xFFFF;
uint8_t PulseCounter = 0;
uint8_t PulseState = 0;
uint32_t OutputWriteFailures[kPinCount] = {};
uint16_t FailedOutputs = 0;
uint16_t StuckOutputs = 0;
uint16_t StuckOutputsLatched = 0;
int64_t StuckOutputSince[kPinCount] = {};
bool PortReported = false;
int32_t SavesSecCounter = 1;

void ResetProgramState() {
    ProgVar = ProgVarRecord{};
    ResetPlausibilityChecks();
    {
        std::lock_guard lock(SensorShare.Mutex);
        SensorShare.PortName.clear();
        SensorShare.Command = 0;
        SensorShare.Serial = 0;
        SensorShare.PollAll = 0;
        SensorShare.PortID = 0;
        SensorShare.Sensor.clear();
    }
    PollAll = 0;
    SaveCounter = 100;
    StopRequest = 0;
    LogicBusy = 0;
    OutputBusy = 0;
    std::copy(std::begin(kDefaultPinTable), std::end(kDefaultPinTable), PinTable);
    OutputWord = 0;
    LastOutputs = 0xFFFF;
    PulseCounter = 0;
    PulseState = 0;
    std::fill(std::begin(OutputWriteFailures), std::end(OutputWriteFailures), 0u);
    PortReported = false;
    FailedOutputs = 0;
    StuckOutputs = 0;
    StuckOutputsLatched = 0;
    std::fill(std::begin(StuckOutputSince), std::end(StuckOutputSince), 0);
    SavesSecCounter = 1;
}

}  // namespace flextor
