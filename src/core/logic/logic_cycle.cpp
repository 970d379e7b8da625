#include "core/logic/logic_cycle.h"

#include "base/diagnostics/source_position.h"
#include "core/crash/crash_snapshot.h"
#include "core/journal/run_journal.h"
#include "core/logic/checks/plausibility_checks.h"
#include "core/logic/col1/col1_mode.h"
#include "core/logic/col1/col1_step.h"
#include "core/logic/commands/column_command.h"
#include "core/logic/cycle_steps.h"
#include "core/notify/notify.h"
#include "core/settings/settings_autosave.h"
#include "core/state/program_state.h"

namespace flextor {
namespace {

// Without the sensors' serial port no column may go on. A run resumed after a
// failure is not stopped before the polling thread has had the time to open it.
void StopColumnsWithoutPort() {
    if (ProgVar.Sensors.PortID != 0 || !PortReported) {
        return;
    }
    if (Col1().Status != kCol1Stopped) {
        ColumnCommand(kColumn1, kCommandStop);
    }
    if (ProgVar.Logic.Col2.Work != 0) {
        ColumnCommand(kColumn2, kCommandStop);
    }
    if (ProgVar.Logic.Col3.Work != 0) {
        ColumnCommand(kColumn3, kCommandStop);
    }
}

void RunSteps() {
    FLEXTOR_PROCEDURE();
    SettingsAutoSaveTick();
    FLEXTOR_STEP();
    TemperatureLogStep();
    FLEXTOR_STEP();
    StopColumnsWithoutPort();
    if (ProgVar.Logic.Alarm == 0) {
        FLEXTOR_STEP();
        AlarmStep();
    }
    if (Col1().Status == kCol1Running) {
        FLEXTOR_STEP();
        Col1Step();
    }
    if (ProgVar.Logic.Col2.Work != 0) {
        FLEXTOR_STEP();
        Col2Step();
    }
    FLEXTOR_STEP();
    Col3Step();
    FLEXTOR_STEP();
    Sensor6Step();
    FLEXTOR_STEP();
    PlausibilityChecksStep();
    FLEXTOR_STEP();
    TemperatureFieldsStep();
    if (PollAll != 0) {
        FLEXTOR_STEP();
        SensorListStep();
    }
    FLEXTOR_STEP();
    FreshnessStep();
    JournalTick();
    NotifyLogicTick();
}

}  // namespace

void LogicCycle() {
    if (LogicBusy != 0) {
        return;
    }
    LogicBusy = 1;
    RunSteps();
    // The state as this cycle leaves it, ready for the failure handler.
    RenderCrashSnapshot();
    LogicBusy = 0;
}

}  // namespace flextor
