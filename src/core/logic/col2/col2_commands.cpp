// Column 2 (distillation): start with its refusals, and stop.
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

std::string Col2StartRefusal() {
    if (!MissingGuard().empty()) {
        return "Колонка 2 (Дистилляция) не запускается без сторожа выходов. " + MissingGuard();
    }
    if (ProgVar.Logic.Alarm == 1) {
        return "Для запуска колонки 2 (Дистилляция) нужно перезапустить программу!";
    }
    if (ProgVar.Sensors.PortID == 0) {
        return "Для работы колонки 2 (Дистилляция) нужно открыть COM порт к которому "
               "подключены датчики!";
    }
    const SensorParam* still = WorkingSensor(kRoleStill);
    if (still == nullptr) {
        return "Датчик не назначен для колонки 2 (Дистилляция) или он нестабильно работает!";
    }
    if (still->Termo >= Settings.WinMain.d4_Limit) {
        return "Запуск колонки 2 (Дистилляция) невозможен, т. к. температура выше порога!";
    }
    return "";
}

void Col2Start() {
    const std::string refusal = Col2StartRefusal();
    if (!refusal.empty()) {
        RefuseCommand(refusal);
        return;
    }
    SetIndicator(kLampColumn2, kLampOn);
    ProgVar.Logic.Col2.Work = 1;
    AddLogMessage("Начата работа колонки 2 (Дистилляция)", kLevelInfo);
    SetColumnControls(kColumn2, kControlsRunning);
}

void Col2Stop(uint8_t command) {
    if (ProgVar.Logic.Col2.Work == 1) {
        ProgVar.Logic.Col2.Work = 0;
        AddLogMessage("Остановлена работа колонки 2 (Дистилляция)", kLevelInfo);
    }
    SetIndicator(kLampColumn2, kLampOff);
    SetColumnControls(kColumn2, command);
}

}  // namespace

void Col2Command(uint8_t command) {
    if (IsStopOrBlock(command)) {
        Col2Stop(command);
    } else if (command == kCommandStart) {
        Col2Start();
    }
}

}  // namespace flextor
