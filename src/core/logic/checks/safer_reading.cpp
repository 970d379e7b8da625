#include "core/logic/checks/safer_reading.h"

#include "core/logic/col1/col1_mode.h"
#include "core/sensors/find_sensor.h"
#include "core/settings/settings.h"
#include "core/state/program_state.h"

namespace flextor {
namespace {

// Column 1's head: past d3_Limit from the stabilisation on the take-off valves
// stay or go shut; at Valve3_Termo in the tails, and below Col1_MinTermo from
// the first take-off on, the column stops.
bool StopsOrShutsColumn1(int tenths) {
    const Logic_Col1& col = ProgVar.Logic.Col1;
    if (col.Status != kCol1Running && col.Status != kCol1Paused) {
        return false;
    }
    const bool over = col.Mode >= kModeStabilise && tenths >= Settings.WinMain.d3_Limit;
    const bool tails_end = col.Mode == kModeValve3 && tenths >= Settings.Logic.Valve3_Termo;
    const bool too_cold = col.Mode >= kModeValve0 && tenths < Settings.Logic.Col1_MinTermo;
    return over || tails_end || too_cold;
}

// Column 3: the lower output warms the mash and goes off at d5_LimitMin; the
// upper one cools it and comes on at d5_LimitMax + the hysteresis.
bool CoolsTheMash(int tenths) {
    const Logic_Col3& col = ProgVar.Logic.Col3;
    if (col.Work == 0) {
        return false;
    }
    const auto& limits = Settings.WinMain;
    return (col.PinMin == 1 && tenths >= limits.d5_LimitMin) ||
           (col.PinMax == 0 && tenths >= limits.d5_LimitMax + Settings.Logic.Hysteresis_Col3);
}

}  // namespace

bool ReadingMakesPlantSafer(uint8_t role, int16_t tenths) {
    const bool latched = ProgVar.Logic.Alarm != 0;
    switch (role) {
        case kRoleTsa:
            return !latched && tenths >= Settings.WinMain.d1_Limit;
        case kRoleCondenser:
            return !latched && tenths >= Settings.WinMain.d2_Limit;
        case kRoleColumn:
            return StopsOrShutsColumn1(tenths);
        case kRoleStill:
            return ProgVar.Logic.Col2.Work != 0 && tenths >= Settings.WinMain.d4_Limit;
        case kRoleMash:
            return CoolsTheMash(tenths);
        case kRoleSensor6:
            // Its output heats below Termo_d6.
            return Settings.Logic.Check_d6 != 0 && ProgVar.Logic.d6_Pin == 1 &&
                   tenths >= Settings.Logic.Termo_d6;
        default:
            return false;
    }
}

}  // namespace flextor
