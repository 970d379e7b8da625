// Column 3 (mash): start with its refusals, and stop; both clear the output levels.
#include "core/display/display_writes.h"
#include "core/display/status_display.h"
#include "core/log/message_log.h"
#include "core/logic/commands/column_command.h"
#include "core/logic/commands/column_command_parts.h"
#include "core/logic/role_sensor.h"
#include "core/sensors/find_sensor.h"
#include "core/settings/settings.h"
#include "core/state/program_state.h"

namespace flextor {
namespace {

void ClearCol3Levels() {
    Logic_Col3& col = ProgVar.Logic.Col3;
    col.PinMax = 0;
    col.PinMin = 0;
    col.OldMax = 0;
    col.OldMin = 0;
}

std::string Col3StartRefusal() {
    if (ProgVar.Sensors.PortID == 0) {
        return "Для работы колонки 3 (Брага) нужно открыть COM порт к которому подключены "
               "датчики!";
    }
    if (Settings.WinMain.d5_LimitMax <= Settings.WinMain.d5_LimitMin) {
        return "В колонке 3 (Брага) минимальный порог не может быть равен больше "
               "максимального!";
    }
    if (WorkingSensor(kRoleMash) == nullptr) {
        return "Датчик не назначен для клонки 3 (Брага) или он нестабильно работает!";
    }
    return "";
}

void Col3Start() {
    ClearCol3Levels();
    const std::string refusal = Col3StartRefusal();
    if (!refusal.empty()) {
        RefuseCommand(refusal);
        return;
    }
    ProgVar.Logic.Col3.Work = 1;
    AddLogMessage("Начата работа колонки 3 (Брага)", kLevelInfo);
    SetColumnControls(kColumn3, kControlsRunning);
}

void Col3Stop(uint8_t command) {
    ClearCol3Levels();
    if (ProgVar.Logic.Col3.Work == 1) {
        ProgVar.Logic.Col3.Work = 0;
        AddLogMessage("Остановлена работа колонки 3 (Брага)", kLevelInfo);
    }
    SetIndicator(kLampCol3Upper, kLampOff);
    SetIndicator(kLampCol3Lower, kLampOff);
    SetColumnControls(kColumn3, command);
}

}  // namespace

void Col3Command(uint8_t command) {
    if (IsStopOrBlock(command)) {
        Col3Stop(command);
    } else if (command == kCommandStart) {
        Col3Start();
    }
}

}  // namespace flextor
