// Modes 0, 1 and 5 of column 1, which change on the column temperature alone.
#include "core/display/display_writes.h"
#include "core/display/status_display.h"
#include "core/journal/run_journal.h"
#include "core/log/message_log.h"
#include "core/logic/col1/col1_mode.h"
#include "core/logic/col1/col1_mode_steps.h"
#include "core/logic/commands/column_command.h"
#include "core/logic/format_duration.h"
#include "core/logic/number_text.h"
#include "core/settings/settings.h"
#include "core/state/program_state.h"

namespace flextor {

void HeatUpStep(const ColumnReading& reading, std::string& text) {
    if (!reading.fresh) {
        return;
    }
    const int threshold = Settings.Logic.TermoNextMode;
    if (reading.termo < threshold) {
        if (Col1().DelayState == kNoDelay) {
            text += " (порог: " + TenthsText(threshold) + " °C)";
        } else if (Col1().DelayState == kDelayThreshold) {
            // Fell back during the delay: it starts again at the next rise.
            Col1().DelayState = kNoDelay;
            Col1().CountDelay = 0;
        }
        return;
    }
    if (Col1().DelayState == kNoDelay) {
        Col1().CountDelay = Settings.Logic.DelayMode;
        Col1().DelayState = kDelayThreshold;
    } else if (Col1().CountDelay <= 0) {
        Col1().DelayState = kNoDelay;
        SetCol1Mode(kModeStabilise);
    }
}

void StabiliseStep(const ColumnReading& reading, std::string& text) {
    if (Col1().CountDelay > 0) {
        text += " Осталось " + FormatDuration(Col1().CountDelay);
        --Col1().CountDelay;
        return;
    }
    if (!reading.fresh) {
        return;
    }
    const int limit = Settings.WinMain.d3_Limit;
    if (reading.termo < limit) {
        SetCol1Mode(kModeValve0);
        AutoPause();
        return;
    }
    text += " Порог превышен. Перегрев " + TenthsText(reading.termo - limit + 1) +
            " °C Ожидание снижения температуры до " + TenthsText(limit - 1) + " °C";
}

void TailsStep(const ColumnReading& reading, std::string& text) {
    SetIndicator(kLampValve3, kLampOn);
    if (!reading.fresh) {
        return;
    }
    const int end = Settings.Logic.Valve3_Termo;
    if (reading.termo < end) {
        text += " До превышения порога (" + TenthsText(end) + " °C) осталось " +
                TenthsText(end - reading.termo) + " °C";
        return;
    }
    AddLogMessage("Превышен порог температуры при работе клапана 3!", kLevelInfo);
    MarkRunEnd(kColumn1, RunEnd::kFinished);
    ColumnCommand(kColumn1, kCommandStop);
}

}  // namespace flextor
