// Column 3 (mash): two outputs hold the mash between its thresholds, each with a
// hysteresis band so that it does not chatter. The upper one switches on at
// d5_LimitMax + H and off at d5_LimitMax, the lower one on at d5_LimitMin - H and
// off at d5_LimitMin. Both on at once means the thresholds make no sense: the
// column stops. The alarm latch does not touch column 3.
#include "core/display/display_writes.h"
#include "core/display/status_display.h"
#include "core/log/message_log.h"
#include "core/logic/commands/column_command.h"
#include "core/logic/cycle_steps.h"
#include "core/logic/hysteresis.h"
#include "core/logic/role_sensor.h"
#include "core/sensors/find_sensor.h"
#include "core/settings/settings.h"
#include "core/state/program_state.h"

namespace flextor {
namespace {

// Shows a level on its lamp when it differs from what the lamp shows.
void ShowLevel(uint8_t level, uint8_t& shown, int lamp) {
    if (level != shown) {
        SetIndicator(lamp, level == 1 ? kLampOn : kLampOff);
    }
    shown = level;
}

void FollowTemperature(Logic_Col3& col, int t) {
    const int max = Settings.WinMain.d5_LimitMax;
    const int min = Settings.WinMain.d5_LimitMin;
    const int h = Settings.Logic.Hysteresis_Col3;
    col.PinMax = HysteresisLevel(col.PinMax, t, max, max + h, true);
    col.PinMin = HysteresisLevel(col.PinMin, t, min, min - h, false);
    ShowLevel(col.PinMax, col.OldMax, kLampCol3Upper);
    ShowLevel(col.PinMin, col.OldMin, kLampCol3Lower);
}

}  // namespace

void Col3Step() {
    Logic_Col3& col = ProgVar.Logic.Col3;
    if (col.Work == 0) {
        col.PinMax = col.PinMin = col.OldMax = col.OldMin = 0;
        return;
    }
    const SensorParam* mash = WorkingSensor(kRoleMash);
    if (mash == nullptr) {
        AddLogMessage("Работа колонки 3 (Брага) остановлена из-за ошибки датчика!", kLevelError);
        ColumnCommand(kColumn3, kCommandStop);
        return;
    }
    if (!HasFreshReading(*mash)) {
        return;
    }
    FollowTemperature(col, mash->Termo);
    if (col.PinMax == 1 && col.PinMin == 1) {
        AddLogMessage(
            "Работа колонки 3 (Брага) остановлена (справедливо условие верхнего и нижнего "
            "порога)!Проверьте корректность настроек порогов.",
            kLevelError);
        ColumnCommand(kColumn3, kCommandStop);
    }
}

}  // namespace flextor
