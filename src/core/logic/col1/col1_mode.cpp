#include "core/logic/col1/col1_mode.h"

#include "core/crash/crash_snapshot.h"
#include "core/display/display_writes.h"
#include "core/display/status_display.h"
#include "core/journal/run_journal.h"
#include "core/log/message_log.h"
#include "core/logic/commands/column_command.h"
#include "core/logic/number_text.h"
#include "core/settings/settings.h"
#include "core/state/program_state.h"

namespace flextor {
namespace {

// Starts a take-off at duty percent, from the beginning of a duty period.
void StartDuty(int duty) {
    Col1().PWM = static_cast<int8_t>(duty);
    Col1().CounterPWM = 0;
    Col1().VolumePWM = Col1().Volume * duty / 100;
}

void SetUpValve2() {
    StartDuty(100);
    Col1().CountDelay = 0;
    Col1().v2_CloseState = 0;
    Col1().v2_Volume = 0;
}

uint8_t SetUpValve1() {
    if (Settings.Logic.MaxVolume <= 0) {
        SetUpValve2();
        return kModeValve2;
    }
    StartDuty(Settings.Logic.Valve1_PWM);
    Col1().CountDelay = 0;
    Col1().v1_Volume = 0;
    return kModeValve1;
}

uint8_t SetUpValve0() {
    if (Settings.Logic.MaxVolume_v0 <= 0) {
        return SetUpValve1();
    }
    StartDuty(Settings.Logic.Valve1_PWM);
    Col1().v0_Volume = 0;
    return kModeValve0;
}

void LogTakeOff(const char* valve, double millilitres) {
    AddLogMessage(std::string("Работа клапана ") + valve + " завершена. Отобрано " +
                      LitresText(millilitres) + " литров.",
                  kLevelInfo);
}

// Sets up mode m and returns the mode actually entered.
uint8_t SetUpMode(uint8_t m) {
    switch (m) {
        case kModeHeatUp:
            Col1().CountDelay = 0;
            return m;
        case kModeStabilise:
            Col1().CountDelay = Settings.Logic.TimeStable * 60;
            return m;
        case kModeValve0:
            return SetUpValve0();
        case kModeValve1:
            return SetUpValve1();
        case kModeValve2:
            LogTakeOff("1", Col1().v1_Volume);
            SetUpValve2();
            return m;
        case kModeValve3:
            LogTakeOff("2", Col1().v2_Volume);
            StartDuty(Settings.Logic.Valve3_PWM);
            Col1().CountDelay = 0;
            return m;
        default:
            return m;
    }
}

}  // namespace

std::string ModeName(int mode) {
    switch (mode) {
        case kModeHeatUp:
            return "'Ожидание нагрева'";
        case kModeStabilise:
            return "'Стабилизация'";
        case kModeValve0:
            return "'Работа клапана 0 (Головная фракция 1)'";
        case kModeValve1:
            return "'Работа клапана 1 (Г. Фракция)'";
        case kModeValve2:
            return "'Работа клапана 2 (Спирт)'";
        case kModeValve3:
            return "'Работа клапана 3 (Т. Фракция)'";
        default:
            return "";
    }
}

void SetCol1Mode(uint8_t m) {
    Col1().DelayState = 0;
    Col1().PWM = 0;
    m = SetUpMode(m);
    Col1().Mode = m;
    JournalCol1Mode(m);
    RenderCrashSnapshot();
    AddLogMessage("Режим работы колонки 1 (Ректификация) изменен на " + ModeName(m), kLevelInfo);
    ValveDisplayOff();
}

void ValveDisplayOff() {
    SetIndicator(kLampValve1, kLampOff);
    SetIndicator(kLampValve2, kLampOff);
    SetIndicator(kLampValve3, kLampOff);
    WritePwmText("");
}

void AutoPause() {
    if (Settings.Logic.Col1_Auto == 1) {
        ColumnCommand(kColumn1, kCommandPause);
    }
}

}  // namespace flextor
