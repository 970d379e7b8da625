#include "core/logic/checks/plausibility_checks.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/display/display_writes.h"
#include "core/display/status_display.h"
#include "core/journal/run_journal.h"
#include "core/log/message_log.h"
#include "core/logic/col1/col1_mode.h"
#include "core/logic/commands/column_command.h"
#include "core/logic/number_text.h"
#include "core/logic/role_sensor.h"
#include "core/notify/notify.h"
#include "core/options/options.h"
#include "core/sensors/find_sensor.h"
#include "core/sensors/step_filter.h"
#include "core/settings/settings.h"
#include "core/state/program_state.h"

namespace flextor {
namespace {

constexpr const char* kRoleNames[7] = {"",       "ав. ТСА",  "ав. Конденсатор", "д. Колонна",
                                       "д. Куб", "д. Брага", "Датчик 6"};
constexpr const char* kColumnNames[4] = {"", "Ректификация", "Дистилляция", "Брага"};
constexpr int64_t kMinuteMs = 60000;

struct HeatWatch {
    bool on = false;
    int64_t since_ms = 0;
    bool has_reading = false;
    int16_t lowest = 0;
    int16_t last = 0;
};

struct StuckWatch {
    bool watching = false;
    int16_t value = 0;
    int64_t since_ms = 0;
};

struct ChecksState {
    std::vector<Problem> problems;
    std::array<HeatWatch, 3> heat{};    // by column 1..2
    std::array<StuckWatch, 7> stuck{};  // by role 1..6
    bool column_heating_up = false;     // column 1 heats up: its sensor's lowest reading
    int16_t column_lowest = 0;
    bool lamp_shown = false;  // the alarm lamp shows "attention" for a problem
};

ChecksState state;

int Tenths(double degrees) {
    return static_cast<int>(std::lround(degrees * 10.0));
}

std::string ColumnName(int column) {
    return "колонка " + std::to_string(column) + " (" + kColumnNames[column] + ")";
}

std::string SensorName(int role) {
    return "датчик " + std::to_string(role) + " (" + kRoleNames[role] + ")";
}

std::string Signed(int tenths) {
    return (tenths >= 0 ? "+" : "") + TenthsText(tenths);
}

std::vector<Problem>::iterator Find(ProblemKind kind, int column, int role) {
    return std::find_if(state.problems.begin(), state.problems.end(), [&](const Problem& p) {
        return p.kind == kind && p.column == column && p.role == role;
    });
}

bool Present(ProblemKind kind, int column, int role) {
    return Find(kind, column, role) != state.problems.end();
}

// A new problem: its warning, and with AlarmOnProblem the latch, as the alarm
// sensors' latch does it.
void Raise(ProblemKind kind, int column, int role, const std::string& text) {
    if (Present(kind, column, role)) {
        return;
    }
    state.problems.push_back({kind, column, role, text, CurrentClock().Now()});
    JournalProblem(text);
    Notify(NotifyLevel::kHigh, text);
    if (CurrentOptions().checks.alarm_on_problem) {
        LatchAlarm(text, kLevelWarning);
    } else {
        AddLogMessage(text, kLevelWarning);
    }
}

void Clear(ProblemKind kind, int column, int role, const std::string& text) {
    const auto it = Find(kind, column, role);
    if (it == state.problems.end()) {
        return;
    }
    state.problems.erase(it);
    AddLogMessage(text, kLevelInfo);
}

bool Column1On() {
    const uint8_t status = ProgVar.Logic.Col1.Status;
    return status == kCol1Running || status == kCol1Paused;
}

// The run line of column 1 or 2 is high: the column runs (column 1 also paused)
// and the alarm has not latched, which takes both lines low.
bool RunLineOn(int column) {
    if (ProgVar.Logic.Alarm != 0) {
        return false;
    }
    return column == 1 ? Column1On() : ProgVar.Logic.Col2.Work != 0;
}

void CheckHeat(int column) {
    const CheckOptions& options = CurrentOptions().checks;
    HeatWatch& watch = state.heat[static_cast<size_t>(column)];
    const int64_t now = CurrentClock().MonotonicMs();
    // The still sensor tells column 1's heating only where it shares column 2's pot.
    const bool check = options.heat_check && (column == 2 || options.still_in_column1);
    if (!check || !RunLineOn(column)) {
        watch = HeatWatch{};
        Clear(ProblemKind::kHeatWithoutRise, column, kRoleStill,
              "Проверка нагрева снята: " + ColumnName(column) +
                  (check ? ", нагрев выключен" : ", проверка выключена"));
        return;
    }
    if (!watch.on) {
        watch = HeatWatch{true, now, false, 0, 0};
    }
    const SensorParam* still = WorkingSensor(kRoleStill);
    if (still != nullptr && HasFreshReading(*still)) {
        watch.lowest = watch.has_reading ? std::min(watch.lowest, still->Termo) : still->Termo;
        watch.last = still->Termo;
        watch.has_reading = true;
    }
    if (!watch.has_reading) {
        return;  // no still sensor: nothing to check
    }
    const int rise = watch.last - watch.lowest;
    const bool slow = rise < Tenths(options.heat_rise);
    if (slow && now - watch.since_ms >= options.heat_minutes * kMinuteMs) {
        Raise(ProblemKind::kHeatWithoutRise, column, kRoleStill,
              "Нагрев без роста температуры: " + ColumnName(column) + ", куб " + Signed(rise) +
                  " °C за " + std::to_string(options.heat_minutes) + " мин");
    } else if (!slow) {
        Clear(ProblemKind::kHeatWithoutRise, column, kRoleStill,
              "Температура куба растёт: " + ColumnName(column) + ", куб " + Signed(rise) + " °C");
    }
}

// Whether the role's sensor is expected to move now, so that a reading held for
// StuckMinutes means a stuck sensor. The alarm sensors and sensor 6 sit at one
// temperature through a healthy run and are never watched; the column sensor
// only while the column heats up and vapour has reached it (it rose HeatRise
// above its lowest reading) until the next mode's threshold; the still sensor
// while its pot is heated, below column 2's end temperature; the mash sensor
// while an output of column 3 warms or cools it.
bool ExpectedToMove(int role, int16_t tenths) {
    const CheckOptions& options = CurrentOptions().checks;
    switch (role) {
        case kRoleColumn: {
            const bool heating_up = RunLineOn(1) && ProgVar.Logic.Col1.Mode == kModeHeatUp;
            int16_t& lowest = state.column_lowest;
            lowest = heating_up && state.column_heating_up ? std::min(lowest, tenths) : tenths;
            state.column_heating_up = heating_up;
            return heating_up && tenths < Settings.Logic.TermoNextMode &&
                   tenths - lowest >= Tenths(options.heat_rise);
        }
        case kRoleStill:
            return (RunLineOn(2) || (RunLineOn(1) && options.still_in_column1)) &&
                   tenths < Settings.WinMain.d4_Limit;
        case kRoleMash: {
            const Logic_Col3& col = ProgVar.Logic.Col3;
            return col.Work != 0 && (col.PinMax != 0 || col.PinMin != 0);
        }
        default:
            return false;
    }
}

void CheckStuck(int role) {
    const CheckOptions& options = CurrentOptions().checks;
    StuckWatch& watch = state.stuck[static_cast<size_t>(role)];
    const SensorParam* row = WorkingSensor(static_cast<uint8_t>(role));
    if (row != nullptr && !HasFreshReading(*row)) {
        return;  // a stale reading is the freshness rule's
    }
    if (!options.stuck_check || row == nullptr || !ExpectedToMove(role, row->Termo)) {
        watch = StuckWatch{};
        Clear(ProblemKind::kStuckSensor, 0, role, "Проверка показаний снята: " + SensorName(role));
        return;
    }
    const int64_t now = CurrentClock().MonotonicMs();
    if (!watch.watching || row->Termo != watch.value) {
        watch = StuckWatch{true, row->Termo, now};
        Clear(ProblemKind::kStuckSensor, 0, role,
              "Показания снова меняются: " + SensorName(role) + ", " + TenthsText(row->Termo) +
                  " °C");
        return;
    }
    if (now - watch.since_ms >= options.stuck_minutes * kMinuteMs) {
        Raise(ProblemKind::kStuckSensor, 0, role,
              "Показания датчика не меняются: " + SensorName(role) + ", " +
                  TenthsText(watch.value) + " °C уже " + std::to_string(options.stuck_minutes) +
                  " мин");
    }
}

void CheckJumps(int role) {
    const SensorParam* row = FindSensorByRole(static_cast<uint8_t>(role));
    const StepFilterState* filter = row == nullptr ? nullptr : StepFilterOf(row->ID);
    if (row != nullptr && FailedByJumps(row->ID)) {
        Raise(ProblemKind::kJumpingSensor, 0, role,
              "Скачки показаний: " + SensorName(role) + ", " + std::to_string(kJumpsToFail) +
                  " показания подряд отличаются от " + TenthsText(filter->reference) +
                  " °C больше чем на " + TenthsText(Tenths(CurrentOptions().checks.step_limit)) +
                  " °C за секунду (последнее " + TenthsText(filter->last_jump) +
                  " °C), датчик считается неисправным");
    } else if (row != nullptr) {
        Clear(ProblemKind::kJumpingSensor, 0, role,
              "Показания снова правдоподобны: " + SensorName(role) + ", " + TenthsText(row->Termo) +
                  " °C");
    } else {
        Clear(ProblemKind::kJumpingSensor, 0, role, "Проверка скачков снята: " + SensorName(role));
    }
}

// The alarm lamp shows "attention" while a problem is present; a latched alarm
// keeps it so.
void ShowOnLamp() {
    const bool wanted = !state.problems.empty();
    if (wanted == state.lamp_shown) {
        return;
    }
    state.lamp_shown = wanted;
    if (ProgVar.Logic.Alarm == 0) {
        SetIndicator(kLampAlarm, wanted ? kLampAttention : kLampOff);
    }
}

}  // namespace

const char* ProblemCode(ProblemKind kind) {
    switch (kind) {
        case ProblemKind::kStuckSensor:
            return "stuck_sensor";
        case ProblemKind::kJumpingSensor:
            return "jumping_sensor";
        default:
            return "heat_without_rise";
    }
}

const std::vector<Problem>& CurrentProblems() {
    return state.problems;
}

void PlausibilityChecksStep() {
    for (int column = 1; column <= 2; ++column) {
        CheckHeat(column);
    }
    for (int role = kRoleTsa; role <= kRoleMash; ++role) {
        CheckStuck(role);
    }
    for (int role = kRoleTsa; role <= kRoleSensor6; ++role) {
        CheckJumps(role);
    }
    ShowOnLamp();
}

void ResetPlausibilityChecks() {
    state = ChecksState{};
    ResetStepFilter();
}

}  // namespace flextor
