// Column 2 (distillation) while it runs: a failed still sensor stops it with an
// error, and the pot reaching d4_Limit is the normal end of the run. A stale
// reading decides nothing.
#include "core/journal/run_journal.h"
#include "core/log/message_log.h"
#include "core/logic/commands/column_command.h"
#include "core/logic/cycle_steps.h"
#include "core/logic/role_sensor.h"
#include "core/sensors/find_sensor.h"
#include "core/settings/settings.h"

namespace flextor {

void Col2Step() {
    const SensorParam* still = WorkingSensor(kRoleStill);
    if (still == nullptr) {
        AddLogMessage("Работа колонки 2 (Дистилляция) остановлена из-за ошибки датчика!",
                      kLevelError);
        ColumnCommand(kColumn2, kCommandStop);
    } else if (HasFreshReading(*still) && still->Termo >= Settings.WinMain.d4_Limit) {
        AddLogMessage("Работа колонки 2 (Дистилляция) остановлена из-за превышения порога.",
                      kLevelInfo);
        MarkRunEnd(kColumn2, RunEnd::kFinished);
        ColumnCommand(kColumn2, kCommandStop);
    }
}

}  // namespace flextor
