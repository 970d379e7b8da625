#include "core/display/display_writes.h"
#include "core/display/status_display.h"
#include "core/logic/col1/col1_mode.h"
#include "core/logic/commands/column_command.h"

namespace flextor {
namespace {

// Whatever the new state, a valve opened by hand is closed again.
void ReleaseHandValve() {
    Col1().ControlValves = 0;
    ValveDisplayOff();
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
