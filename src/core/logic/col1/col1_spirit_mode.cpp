// Mode 4 of column 1, the spirit: valve 2 is shut at once when the column
// overheats; a lasting overheat cuts its duty by 20 points and then waits for the
// column to settle; when the duty would fall below 20 % the tails begin.
#include "core/display/display_writes.h"
#include "core/display/status_display.h"
#include "core/log/message_log.h"
#include "core/logic/col1/col1_mode.h"
#include "core/logic/col1/col1_mode_steps.h"
#include "core/logic/format_duration.h"
#include "core/logic/number_text.h"
#include "core/settings/settings.h"
#include "core/state/program_state.h"

namespace flextor {
namespace {

constexpr int kDutyStep = 20;
constexpr int kLowestDuty = 20;

void EndSpirit() {
    SetCol1Mode(kModeValve3);
    AutoPause();
}

void CutDuty(int termo) {
    Logic_Col1& col = Col1();
    col.CounterPWM = 0;
    col.PWM = static_cast<int8_t>(col.PWM - kDutyStep);
    if (col.PWM < kLowestDuty) {
        EndSpirit();
        return;
    }
    col.VolumePWM = col.Volume * col.PWM / 100;
    AddLogMessage("ШИМ клапана 2 снижен до " + std::to_string(col.PWM) +
                      "  Температура датчика 3 составляет " + TenthsText(termo) + " °C",
                  kLevelInfo);
    col.DelayState = kDelaySettle;
    col.CountDelay = Settings.Logic.Valve2_Stable * 60;
}

void Overheat(int termo, std::string& text) {
    Logic_Col1& col = Col1();
    col.v2_CloseState = 1;
    switch (col.DelayState) {
        case kNoDelay:
        case kDelayGuard:
            col.CountDelay = Settings.Logic.DelayMode;
            col.DelayState = kDelayThreshold;
            break;
        case kDelayThreshold:
            if (col.CountDelay <= 0) {
                CutDuty(termo);
            }
            break;
        case kDelaySettle:
            text += " Стабилизация. До завершения осталось " + FormatDuration(col.CountDelay) +
                    "Перегрев составляет " + TenthsText(termo - Settings.WinMain.d3_Limit) + " °C";
            --col.CountDelay;
            if (col.CountDelay <= 0) {
                EndSpirit();
            }
            break;
        default:
            break;
    }
}

void Normal(std::string& text) {
    Logic_Col1& col = Col1();
    if (col.DelayState == kDelayThreshold || col.DelayState == kDelaySettle) {
        col.CountDelay = Settings.Logic.DelayMode;
        col.DelayState = kDelayGuard;
    } else if (col.DelayState == kDelayGuard) {
        text += " Предотвращение лавинообразного снижения ШИМ. Осталось " +
                FormatDuration(col.CountDelay);
        --col.CountDelay;
        if (col.CountDelay <= 0) {
            col.DelayState = kNoDelay;
        }
    }
    if (col.v2_CloseState == 1) {
        // Valve 2 resumes its duty from the start of a period.
        col.v2_CloseState = 0;
        col.CounterPWM = 0;
    }
}

}  // namespace

void SpiritStep(const ColumnReading& reading, std::string& text) {
    if (reading.fresh) {
        if (reading.termo >= Settings.WinMain.d3_Limit) {
            Overheat(reading.termo, text);
        } else {
            Normal(text);
        }
    }
    Logic_Col1& col = Col1();
    if (col.v2_CloseState == 0 && col.Mode == kModeValve2) {
        col.v2_Volume += col.VolumePWM;
        WriteSpiritVolume(LitresText(col.v2_Volume));
        SetIndicator(kLampValve2, kLampOn);
    } else {
        SetIndicator(kLampValve2, kLampOff);
    }
}

}  // namespace flextor
