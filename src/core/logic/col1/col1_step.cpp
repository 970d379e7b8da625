#include "core/logic/col1/col1_step.h"

#include "core/display/display_writes.h"
#include "core/display/status_display.h"
#include "core/log/message_log.h"
#include "core/logic/col1/col1_mode.h"
#include "core/logic/col1/col1_mode_steps.h"
#include "core/logic/commands/column_command.h"
#include "core/logic/format_duration.h"
#include "core/logic/number_text.h"
#include "core/logic/role_sensor.h"
#include "core/sensors/find_sensor.h"
#include "core/settings/settings.h"
#include "core/state/program_state.h"

namespace flextor {
namespace {

// The threshold delay of modes 0 and 4 counts down before the sensor is read.
void CountThresholdDelay(std::string& text) {
    if (Col1().CountDelay > 0 && Col1().DelayState == kDelayThreshold) {
        text += " Порог превышен. Задержка смены режимов (осталось " +
                FormatDuration(Col1().CountDelay) + ")";
        --Col1().CountDelay;
    }
}

void RunMode(const ColumnReading& reading, std::string& text) {
    switch (Col1().Mode) {
        case kModeHeatUp:
            HeatUpStep(reading, text);
            break;
        case kModeStabilise:
            StabiliseStep(reading, text);
            break;
        case kModeValve0:
            Valve0Step(text);
            break;
        case kModeValve1:
            Valve1Step(text);
            break;
        case kModeValve2:
            SpiritStep(reading, text);
            break;
        case kModeValve3:
            TailsStep(reading, text);
            break;
        default:
            break;
    }
}

bool BelowLowestTemperature(const ColumnReading& reading) {
    return Col1().Mode >= kModeValve0 && reading.fresh &&
           reading.termo < Settings.Logic.Col1_MinTermo;
}

void StopBelowLowestTemperature(int termo) {
    AddLogMessage("Работа колонки 1 (Ректификация) остановлена т. к. текущая температура (" +
                      TenthsText(termo) + " °C) меньше допустимой (" +
                      TenthsText(Settings.Logic.Col1_MinTermo) + " °C)!",
                  kLevelWarning);
    ColumnCommand(kColumn1, kCommandStop);
}

void Show(const std::string& text) {
    if (Col1().Status == kCol1Running) {
        WriteStatusText(text);
    }
    const bool takingOff = Col1().Mode >= kModeValve0 && Col1().Mode <= kModeValve3;
    WritePwmText(takingOff ? std::to_string(Col1().PWM) : "");
}

}  // namespace

void Col1Step() {
    std::string text = "Текущий режим - " + ModeName(Col1().Mode) + ".";
    CountThresholdDelay(text);
    const SensorParam* sensor = WorkingSensor(kRoleColumn);
    if (sensor == nullptr) {
        AddLogMessage("Работа колонки 1 (Ректификация) остановлена из-за ошибки датчика!",
                      kLevelError);
        ColumnCommand(kColumn1, kCommandStop);
        return;
    }
    ColumnReading reading;
    reading.fresh = HasFreshReading(*sensor);
    reading.termo = sensor->Termo;
    if (reading.fresh) {
        const bool over = reading.termo >= Settings.WinMain.d3_Limit;
        SetIndicator(kLampColumn1, over ? kLampAttention : kLampOff);
    }
    if (reading.fresh || Col1().Mode != kModeHeatUp) {
        RunMode(reading, text);
        if (BelowLowestTemperature(reading)) {
            StopBelowLowestTemperature(reading.termo);
            return;
        }
    }
    Show(text);
}

}  // namespace flextor
