#include "core/display/display_writes.h"
#include "core/display/status_display.h"
#include "core/log/message_log.h"
#include "core/logic/col1/col1_mode.h"
#include "core/logic/commands/column_command.h"
#include "core/logic/commands/column_command_parts.h"
#include "core/logic/role_sensor.h"
#include "core/sensors/find_sensor.h"
#include "core/settings/settings.h"
#include "core/state/program_state.h"

namespace flextor {
namespace {

// The reason a new run may not begin, or "" when it may.
std::string StartRefusal() {
    if (!MissingGuard().empty()) {
        return "Колонка 1 (Ректификация) не запускается без сторожа выходов. " + MissingGuard();
    }
    if (ProgVar.Logic.Alarm == 1) {
        return "Для запуска колонки 1 (Ректификация) нужно перезапустить программу!";
    }
    if (ProgVar.Sensors.PortID == 0) {
        return "Для работы колонки 1 (Ректификация) нужно открыть COM порт к которому "
               "подключены датчики!";
    }
    if (WorkingSensor(kRoleColumn) == nullptr) {
        return "Датчик не назначен для колонки 1 (Ректификация) или он нестабильно работает!";
    }
    return "";
}

void BeginRun() {
    Logic_Col1& col = Col1();
    col.Status = kCol1Running;
    col.PWM = 0;
    col.CounterPWM = 0;
    col.DelayState = 0;
    col.CountDelay = 0;
    col.v1_Volume = 0;
    col.v2_Volume = 0;
    col.v2_CloseState = 0;
    AddLogMessage("Начата работа колонки 1 (Ректификация)", kLevelInfo);
    SetColumnControls(kColumn1, kControlsRunning);
}

void Start() {
    Col1().Volume = Settings.Logic.Performance / 3600.0;
    WriteStatusText("");
    if (Col1().Status == kCol1Paused) {
        Col1().Status = kCol1Running;
        AddLogMessage("Продолжена работа колонки 1 (Ректификация)", kLevelInfo);
        SetColumnControls(kColumn1, kControlsRunning);
        return;
    }
    const std::string refusal = StartRefusal();
    if (!refusal.empty()) {
        RefuseCommand(refusal);
        return;
    }
    BeginRun();
}

void Pause() {
    if (Col1().Status != kCol1Running) {
        return;
    }
    Col1().Status = kCol1Paused;
    AddLogMessage("Работа колонки 1 (Ректификация) приостановлена (пауза)", kLevelInfo);
    WriteStatusText("Работа колонки приостановлена (пауза)");
    SetColumnControls(kColumn1, kControlsPaused);
}

void Stop(uint8_t command) {
    Logic_Col1& col = Col1();
    if (col.Status != kCol1Stopped) {
        col.Status = kCol1Stopped;
        col.Mode = kModeHeatUp;
        col.DelayState = 0;
        col.CountDelay = 0;
        AddLogMessage("Остановлена работа колонки 1 (Ректификация)", kLevelInfo);
    }
    WriteStatusText("");
    SetIndicator(kLampColumn1, kLampOff);
    SetColumnControls(kColumn1, command);  // also puts the valve lamps off
}

void Skip() {
    Logic_Col1& col = Col1();
    if (col.Status != kCol1Running && col.Status != kCol1Paused) {
        return;
    }
    const bool wasPaused = col.Status == kCol1Paused;
    col.Status = kCol1Running;
    col.Mode = static_cast<uint8_t>(col.Mode + 1);
    if (col.Mode > kModeValve3) {
        Stop(kCommandStop);
        return;
    }
    AddLogMessage("Был пропущен режим - " + ModeName(col.Mode - 1), kLevelInfo);
    SetCol1Mode(col.Mode);
    if (wasPaused) {
        SetColumnControls(kColumn1, kControlsRunning);
    }
}

}  // namespace

void Col1Command(uint8_t command) {
    if (IsStopOrBlock(command)) {
        Stop(command);
    } else if (command == kCommandStart) {
        Start();
    } else if (command == kCommandPause) {
        Pause();
    } else if (command == kCommandSkip) {
        Skip();
    }
}

}  // namespace flextor
