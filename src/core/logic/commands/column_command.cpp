#include "core/logic/commands/column_command.h"

#include "base/diagnostics/source_position.h"
#include "core/crash/crash_snapshot.h"
#include "core/display/display_writes.h"
#include "core/display/status_display.h"
#include "core/journal/run_journal.h"
#include "core/log/message_log.h"
#include "core/logic/commands/column_command_parts.h"
#include "core/notify/notify.h"
#include "core/state/program_state.h"

namespace flextor {
namespace {

std::string missing_guard;  // GUI thread

}  // namespace

void ColumnCommand(int column, uint8_t command) {
    FLEXTOR_PROCEDURE();
    switch (column) {
        case kColumn1:
            Col1Command(command);
            break;
        case kColumn2:
            Col2Command(command);
            break;
        case kColumn3:
            Col3Command(command);
            break;
        default:
            break;
    }
    JournalAfterCommand(column, command);
    // A restart from now on resumes the column as the command left it.
    RenderCrashSnapshot();
}

void RefuseCommand(const std::string& reason) {
    AddLogMessage(reason, kLevelWarning);
    ShowRefusal(reason);
}

void BlockColumnsUntilRestart() {
    AddLogMessage(
        "Работа колонок 'Ректификация' и 'Дистилляция' заблокирована до перезапуска программы!",
        kLevelWarning);
    ColumnCommand(kColumn1, kCommandBlock);
    ColumnCommand(kColumn2, kCommandBlock);
    SetIndicator(kLampAlarm, kLampAttention);
}

const std::string& MissingGuard() {
    return missing_guard;
}

void SetMissingGuard(const std::string& why) {
    missing_guard = why;
}

void LoseGuard(const std::string& why) {
    const bool first = missing_guard.empty();
    missing_guard = why;
    AddLogMessage(why, kLevelError);
    if (first) {
        BlockColumnsUntilRestart();
    }
}

void LatchAlarm(const std::string& cause, uint8_t level) {
    const bool newly = ProgVar.Logic.Alarm == 0;
    if (newly) {
        ProgVar.Logic.Alarm = 1;
        RenderCrashSnapshot();
    }
    AddLogMessage(cause, level);
    if (newly) {
        Notify(NotifyLevel::kUrgent, "Авария: " + cause, kCauseAlarm);
        BlockColumnsUntilRestart();
    }
}

}  // namespace flextor
