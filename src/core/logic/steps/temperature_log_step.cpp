// The temperature log: one line with the six role temperatures every SavesSec
// cycles and, in between, when a sensor fails, a temperature passes MaxTermo or
// has moved by Modify since it was last written. Each trigger can be switched
// off. A line that cannot be written is dropped without a message.
#include <cstdlib>
#include <string>

#include "core/log/message_log.h"
#include "core/logic/cycle_steps.h"
#include "core/logic/number_text.h"
#include "core/logic/role_sensor.h"
#include "core/sensors/find_sensor.h"
#include "core/settings/settings.h"
#include "core/state/program_state.h"
#include "core/time/clock.h"

namespace flextor {
namespace {

constexpr uint8_t kRoleCount = 6;
constexpr size_t kFieldWidth = 16;  // characters, not bytes: "d2 ошибка" is 9 of them

bool IsErrorRow(const SensorParam& row) {
    return (row.Flag & kFlagError) != 0;
}

// Counts the periodic trigger's cycles; true when a periodic line is due.
bool PeriodicLineDue() {
    const LogSettings& log = Settings.Log;
    if (log.CheckSavesSec != 1) {
        return false;
    }
    if (SavesSecCounter >= log.SavesSec) {
        SavesSecCounter = 1;
        return true;
    }
    ++SavesSecCounter;
    return false;
}

bool RowTriggers(const SensorParam& row) {
    const LogSettings& log = Settings.Log;
    if (log.CheckSensorErr == 1 && IsErrorRow(row)) {
        return true;
    }
    if (!HasFreshReading(row)) {
        return false;
    }
    return (log.CheckMaxTermo == 1 && row.Termo > log.MaxTermo) ||
           (log.CheckModify == 1 && std::abs(row.Termo - row.TermoLog) >= log.Modify);
}

// The first role, in role order, whose sensor calls for a line.
bool EventLineDue() {
    for (uint8_t role = 1; role <= kRoleCount; ++role) {
        const SensorParam* row = FindSensorByRole(role);
        if (row != nullptr && RowTriggers(*row)) {
            return true;
        }
    }
    return false;
}

// text cut or filled with blanks to exactly width characters of UTF-8.
std::string FitToWidth(const std::string& text, size_t width) {
    size_t characters = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool starts_character = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (starts_character && ++characters > width) {
            return text.substr(0, i);
        }
    }
    return text + std::string(width - characters, ' ');
}

// "d" + role + " " + the value; a temperature shown is remembered as written.
std::string Field(uint8_t role) {
    SensorParam* row = FindSensorByRole(role);
    std::string value;
    if (row == nullptr) {
        value = "не назначен";
    } else if (IsErrorRow(*row)) {
        value = "ошибка";
    } else {
        value = TenthsText(row->Termo) + " °C";
        row->TermoLog = row->Termo;
    }
    return "d" + std::to_string(role) + " " + value;
}

std::string Line() {
    std::string line = "[" + FormatDateTime(CurrentClock().Now()) + "]  ";
    for (uint8_t role = 1; role < kRoleCount; ++role) {
        line += FitToWidth(Field(role), kFieldWidth);
    }
    return line + Field(kRoleCount);
}

bool AnyEventTriggerOn() {
    const LogSettings& log = Settings.Log;
    return log.CheckSensorErr == 1 || log.CheckMaxTermo == 1 || log.CheckModify == 1;
}

}  // namespace

void TemperatureLogStep() {
    if (!PeriodicLineDue() && !(AnyEventTriggerOn() && EventLineDue())) {
        return;
    }
    // The temperature log never reports its own failures.
    static_cast<void>(AppendLogLine(ProgVar.LogTermo_FileName, Line()));
}

}  // namespace flextor
