// Modes 2 and 3 of column 1: a take-off that ends when its volume is drawn.
#include <cmath>
#include <cstdint>
#include <limits>

#include "core/display/display_writes.h"
#include "core/display/status_display.h"
#include "core/logic/col1/col1_mode.h"
#include "core/logic/col1/col1_mode_steps.h"
#include "core/logic/format_duration.h"
#include "core/logic/number_text.h"
#include "core/settings/settings.h"
#include "core/state/program_state.h"

namespace flextor {
namespace {

// Seconds until remaining ml are drawn at ml per second; -1 ("∞") when nothing
// flows, the largest count when it would not fit.
int32_t SecondsToDraw(double remaining, double perSecond) {
    if (!(perSecond > 0)) {
        return -1;
    }
    const double seconds = std::round(remaining / perSecond);
    if (!(seconds < std::numeric_limits<int32_t>::max())) {
        return std::numeric_limits<int32_t>::max();
    }
    return static_cast<int32_t>(seconds);
}

void AppendRemaining(std::string& text, double limit, double counted) {
    const double remaining = limit - counted;
    text += " Осталось " + LitresText(remaining) + " литров. Будет завершено через " +
            FormatDuration(SecondsToDraw(remaining, Col1().VolumePWM));
}

}  // namespace

void Valve0Step(std::string& text) {
    Col1().v0_Volume += Col1().VolumePWM;
    if (Col1().v0_Volume >= Settings.Logic.MaxVolume_v0) {
        SetCol1Mode(kModeValve1);
        AutoPause();
        return;
    }
    AppendRemaining(text, Settings.Logic.MaxVolume_v0, Col1().v0_Volume);
}

void Valve1Step(std::string& text) {
    SetIndicator(kLampValve1, kLampOn);
    Col1().v1_Volume += Col1().VolumePWM;
    WriteHeadsVolume(LitresText(Col1().v1_Volume));
    if (Col1().v1_Volume >= Settings.Logic.MaxVolume) {
        SetCol1Mode(kModeValve2);
        AutoPause();
        return;
    }
    AppendRemaining(text, Settings.Logic.MaxVolume, Col1().v1_Volume);
}

}  // namespace flextor
