#include "core/logic/commands/column_buttons.h"

#include "core/display/display_writes.h"
#include "core/journal/run_journal.h"
#include "core/logic/commands/column_command.h"
#include "core/settings/settings.h"

namespace flextor {
namespace {

const char* StopQuestion(int column) {
    switch (column) {
        case kColumn1:
            return "Остановить работу колонки 1 (Ректификация)?";
        case kColumn2:
            return "Остановить работу колонки 2 (Дистилляция)?";
        case kColumn3:
            return "Остановить работу колонки 3 (Брага)?";
        default:
            return nullptr;
    }
}

// True when the action may go on: without the setting at once, else on Yes.
bool Confirmed(const char* question) {
    return Settings.Logic.CheckStopColumn == 0 || AskYesNo(question);
}

}  // namespace

void PressStart(int column) {
    ColumnCommand(column, kCommandStart);
}

void PressPause() {
    ColumnCommand(kColumn1, kCommandPause);
}

void PressStop(int column) {
    const char* question = StopQuestion(column);
    if (question != nullptr && Confirmed(question)) {
        MarkRunEnd(column, RunEnd::kOperator);
        ColumnCommand(column, kCommandStop);
    }
}

void PressSkip() {
    if (Confirmed("Пропустить текущий режим колонки 1 (Ректификация)?")) {
        MarkRunEnd(kColumn1, RunEnd::kOperator);  // a skip past the tails ends the run
        ColumnCommand(kColumn1, kCommandSkip);
    }
}

}  // namespace flextor
