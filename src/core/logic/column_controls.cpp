#include "core/display/display_writes.h"
#include "core/display/status_display.h"
#include "core/logic/column_command.h"
#include "core/state/program_state.h"

namespace flextor {
namespace {

// Whatever the new state, a valve opened by hand is closed again.
void ReleaseHandValve() {
    ProgVar.Logic.Col1.ControlValves = 0;
    SetIndicator(kLampValve1, kLampOff);
    SetIndicator(kLampValve2, kLampOff);
    SetIndicator(kLampValve3, kLampOff);
    WritePwmText("");
}

}  // namespace

void SetColumnControls(int column, int state) {
    if (column == kColumn1) {
        ReleaseHandValve();
        if (state == kControlsRunning) {
            WriteHeadsVolume("");
            WriteSpiritVolume("");
        }
    }
    if (StatusDisplay* display = CurrentStatusDisplay()) {
        display->SetColumnControls(column, state);
    }
}

}  // namespace flextor
