#include "core/logic/refresh_outputs.h"

#include <string>

#include "base/diagnostics/source_position.h"
#include "core/display/display_writes.h"
#include "core/display/status_display.h"
#include "core/log/message_log.h"
#include "core/logic/col1/col1_mode.h"
#include "core/logic/stuck_outputs.h"
#include "core/settings/settings.h"
#include "core/state/program_state.h"
#include "core/time/clock.h"

namespace flextor {
namespace {

constexpr uint8_t kPulseLastOff = 44;  // ticks 45..49 of every 50 are on
constexpr uint8_t kPulsePeriod = 50;
constexpr uint8_t kDutyPeriod = 100;

OutputPins* installedPins = nullptr;

uint16_t PulseBit() {
    const uint8_t state = PulseCounter > kPulseLastOff ? 1 : 0;
    if (state != PulseState) {
        PulseState = state;
        SetIndicator(kLampPulse, state == 1 ? kLampOn : kLampOff);
    }
    ++PulseCounter;
    if (PulseCounter >= kPulsePeriod) {
        PulseCounter = 0;
    }
    return PulseState == 1 ? kBitPulse : 0;
}

uint16_t HandValveBit(uint8_t valve) {
    switch (valve) {
        case 1:
            return kBitValve1;
        case 2:
            return kBitValve2;
        case 3:
            return kBitValve3;
        default:
            return 0;
    }
}

// The working valve of a running column 1, open for PWM of every 100 phases.
uint16_t DutyBit(Logic_Col1& col) {
    if (col.Mode < kModeValve1 || col.Mode > kModeValve3) {
        return 0;
    }
    ++col.CounterPWM;
    if (col.CounterPWM >= kDutyPeriod) {
        col.CounterPWM = 0;
    }
    if (col.CounterPWM >= col.PWM) {
        return 0;
    }
    if (col.Mode == kModeValve1) {
        return kBitValve1;
    }
    if (col.Mode == kModeValve2) {
        return col.v2_CloseState == 1 ? 0 : kBitValve2;
    }
    return kBitValve3;
}

uint16_t Column1Bits() {
    Logic_Col1& col = Col1();
    switch (col.Status) {
        case kCol1Stopped:
            return HandValveBit(col.ControlValves);
        case kCol1Running:
            return kBitCol1Run | DutyBit(col);
        case kCol1Paused:
            return kBitCol1Run | HandValveBit(col.ControlValves);
        default:
            return kBitCol1Run;
    }
}

uint16_t UnlatchedBits() {
    uint16_t word = Column1Bits();
    if (ProgVar.Logic.Col2.Work != 0) {
        word |= kBitCol2Run;
    }
    return word;
}

uint16_t Column3AndSensor6Bits() {
    uint16_t word = 0;
    const Logic_Col3& col3 = ProgVar.Logic.Col3;
    if (col3.Work != 0) {
        word |= col3.PinMax != 0 ? kBitCol3Upper : 0;
        word |= col3.PinMin != 0 ? kBitCol3Lower : 0;
    }
    if (Settings.Logic.Check_d6 == 1 && ProgVar.Logic.d6_Pin == 1) {
        word |= kBitSensor6;
    }
    return word;
}

bool RoleSensorFailed() {
    for (const SensorParam& row : ProgVar.Sensors.Sensor) {
        if (row.Use != 0 && (row.Flag & kFlagError) != 0) {
            return true;
        }
    }
    return false;
}

uint16_t ComposeWord() {
    uint16_t word = PulseBit();
    const bool latched = ProgVar.Logic.Alarm != 0;
    word |= latched ? kBitAlarm : UnlatchedBits();
    word |= Column3AndSensor6Bits();
    if (!latched && RoleSensorFailed()) {
        word |= kBitAlarm;
    }
    return word;
}

std::string PinName(int entry) {
    return "GPIO" + std::to_string(PinTable[entry]);
}

// A pin whose writes keep failing is named once when they start to fail and
// once when one takes again, with the count of those that failed: the output
// refresh retries it ten times a second.
void ReportWriteFailures(uint16_t mask, uint16_t failed_bits) {
    if ((failed_bits | FailedOutputs) == 0) {
        return;  // nothing failed, now or in the last write
    }
    std::string started;
    for (int entry = 0; entry < kPinCount; ++entry) {
        uint32_t& count = OutputWriteFailures[entry];
        if (((failed_bits >> entry) & 1u) != 0) {
            if (count++ == 0) {
                started += (started.empty() ? "" : ", ") + PinName(entry);
            }
        } else if (((mask >> entry) & 1u) != 0 && count != 0) {
            AddLogMessage("Вывод в " + PinName(entry) +
                              " восстановлен, неудачных записей: " + std::to_string(count),
                          kLevelInfo);
            count = 0;
        }
    }
    if (!started.empty()) {
        AddLogMessage("Ошибка вывода в " + started, kLevelWarning);
    }
}

// Writes the bits that changed, and again every bit whose last write failed: a
// run line whose switch-off failed once must not stay on while the window shows
// the column stopped.
void Write(uint16_t word) {
    if (installedPins == nullptr) {
        return;
    }
    // Until the first write every bit counts as changed.
    const uint16_t last = LastOutputs == 0xFFFF ? static_cast<uint16_t>(~word) : LastOutputs;
    const uint16_t mask = static_cast<uint16_t>((word ^ last) | FailedOutputs);
    if (mask == 0) {
        return;
    }
    uint16_t failed_bits = 0;
    if (installedPins->WritePins(word, mask, nullptr, &failed_bits) == 1) {
        failed_bits = 0;
    }
    ReportWriteFailures(mask, failed_bits);
    FailedOutputs = failed_bits;
    LastOutputs = word;
}

}  // namespace

void SetOutputPins(OutputPins* pins) {
    installedPins = pins;
}

void RefreshOutputs() {
    FLEXTOR_PROCEDURE();
    OutputWord = ComposeWord();
    FLEXTOR_STEP();
    Write(OutputWord);
    CheckStuckOutputs(OutputWord, FailedOutputs);
}

void RefreshOutputsTick() {
    if (OutputBusy != 0) {
        return;
    }
    OutputBusy = 1;
    RefreshOutputs();
    OutputBusy = 0;
}

}  // namespace flextor
