// The alarm latch: either alarm sensor missing, failed or at its threshold stops
// and blocks columns 1 and 2 until the program is started again by hand. Both
// sensors are checked in the same cycle, so every cause is logged.
#include "core/crash/crash_snapshot.h"
#include "core/display/display_writes.h"
#include "core/display/status_display.h"
#include "core/journal/run_journal.h"
#include "core/log/message_log.h"
#include "core/logic/commands/column_command.h"
#include "core/logic/cycle_steps.h"
#include "core/logic/number_text.h"
#include "core/logic/role_sensor.h"
#include "core/notify/notify.h"
#include "core/sensors/find_sensor.h"
#include "core/settings/settings.h"
#include "core/state/program_state.h"

namespace flextor {
namespace {

struct AlarmSensor {
    uint8_t role;
    const char* name;  // "1 (ав. ТСА)": the sensor's number and place
    int16_t limit;
};

// The reason the sensor latches the alarm, or "" while it is well.
std::string LatchReason(const AlarmSensor& sensor) {
    const SensorParam* row = FindSensorByRole(sensor.role);
    const std::string name = sensor.name;
    if (row == nullptr) {
        return "Не назначен датчик " + name + "!";
    }
    if ((row->Flag & kFlagError) != 0) {
        return "Обнаружена ошибка датчика " + name + "!";
    }
    if (HasFreshReading(*row) && row->Termo >= sensor.limit) {
        return "Превышение порога датчика " + name + "! Температура " + TenthsText(row->Termo) +
               "  Порог " + TenthsText(sensor.limit);
    }
    return "";
}

}  // namespace

void AlarmStep() {
    const AlarmSensor sensors[] = {
        {kRoleTsa, "1 (ав. ТСА)", Settings.WinMain.d1_Limit},
        {kRoleCondenser, "2 (ав. Конденсатор)", Settings.WinMain.d2_Limit},
    };
    for (const AlarmSensor& sensor : sensors) {
        const std::string reason = LatchReason(sensor);
        if (!reason.empty()) {
            ProgVar.Logic.Alarm = 1;
            RenderCrashSnapshot();
            JournalAlarm(reason);
            AddLogMessage(reason, kLevelWarning);
            Notify(NotifyLevel::kUrgent, "Авария: " + reason, kCauseAlarm);
        }
    }
    if (ProgVar.Logic.Alarm == 1) {
        BlockColumnsUntilRestart();
    }
}

}  // namespace flextor
