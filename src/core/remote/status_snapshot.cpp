#include "core/remote/status_snapshot.h"

#include "core/chart/chart_model.h"
#include "core/logic/checks/plausibility_checks.h"
#include "core/logic/col1/col1_mode.h"
#include "core/logic/role_sensor.h"
#include "core/sensors/find_sensor.h"
#include "core/settings/settings.h"
#include "core/state/program_state.h"

namespace flextor {
namespace {

constexpr const char* kRoleNames[6] = {"ав. ТСА", "ав. Конденсатор", "д. Колонна",
                                       "д. Куб",  "д. Брага",        "Датчик 6"};
constexpr const char* kColumnNames[3] = {"Ректификация", "Дистилляция", "Брага"};

RoleStatus Role(const StatusMirror& mirror, uint8_t role) {
    RoleStatus status;
    status.role = role;
    status.name = kRoleNames[role - 1];
    status.text = mirror.TemperatureText(role);
    const SensorParam* row = WorkingSensor(role);
    if (ProgVar.Sensors.PortID != 0 && row != nullptr && HasFreshReading(*row)) {
        status.tenths = row->Termo;
    }
    const WinMainSettings& limits = Settings.WinMain;
    switch (role) {
        case kRoleTsa:
            status.threshold = limits.d1_Limit;
            break;
        case kRoleCondenser:
            status.threshold = limits.d2_Limit;
            break;
        case kRoleColumn:
            status.threshold = limits.d3_Limit;
            break;
        case kRoleStill:
            status.threshold = limits.d4_Limit;
            break;
        case kRoleMash:
            status.threshold = limits.d5_LimitMax;
            status.lower = limits.d5_LimitMin;
            break;
        default:
            if (Settings.Logic.Check_d6 == 1) {
                status.threshold = Settings.Logic.Termo_d6;
            }
            break;
    }
    return status;
}

ColumnRun RunOf(int controls) {
    if (controls >= kControlsBlocked) {
        return ColumnRun::kBlocked;
    }
    if (controls == kControlsRunning) {
        return ColumnRun::kRunning;
    }
    return controls == kControlsPaused ? ColumnRun::kPaused : ColumnRun::kStopped;
}

// Column 3's two outputs, as the lamps show them.
std::string MashOutputs(const StatusMirror& mirror) {
    std::string text;
    if (mirror.Lamp(kLampCol3Upper) == kLampOn) {
        text = "Включен верхний выход";
    }
    if (mirror.Lamp(kLampCol3Lower) == kLampOn) {
        text += text.empty() ? "Включен нижний выход" : ", включен нижний выход";
    }
    return text;
}

}  // namespace

StatusSnapshot TakeStatusSnapshot(const StatusMirror& mirror, const LocalTime& now) {
    StatusSnapshot s;
    s.time = now;
    s.port_open = ProgVar.Sensors.PortID != 0;
    for (uint8_t role = 1; role <= 6; ++role) {
        s.roles[role - 1] = Role(mirror, role);
    }
    for (int c = 0; c < 3; ++c) {
        ColumnStatus& column = s.columns[static_cast<size_t>(c)];
        column.number = c + 1;
        column.name = kColumnNames[c];
        column.run = RunOf(mirror.Controls(c));
    }
    const Logic_Col1& col1 = ProgVar.Logic.Col1;
    if (col1.Status != kCol1Stopped) {
        s.columns[0].mode = col1.Mode;
        s.columns[0].mode_name = ModeName(col1.Mode);
    }
    s.columns[0].status_text = mirror.StatusText();
    s.columns[2].status_text = MashOutputs(mirror);
    for (int lamp = 0; lamp < kMirrorLamps; ++lamp) {
        s.lamps[static_cast<size_t>(lamp)] = mirror.Lamp(lamp);
    }
    s.alarm = ProgVar.Logic.Alarm != 0;
    s.pwm_text = mirror.PwmText();
    s.heads_volume = mirror.HeadsVolume();
    s.spirit_volume = mirror.SpiritVolume();
    s.log = mirror.LogRows();
    s.log_count = mirror.LogCount();
    s.chart_samples = Chart.history.size();
    for (const Problem& problem : CurrentProblems()) {
        s.problems.push_back(
            {ProblemCode(problem.kind), problem.text, problem.since, problem.column, problem.role});
    }
    return s;
}

const char* ColumnRunCode(ColumnRun run) {
    switch (run) {
        case ColumnRun::kRunning:
            return "running";
        case ColumnRun::kPaused:
            return "paused";
        case ColumnRun::kBlocked:
            return "blocked";
        default:
            return "stopped";
    }
}

const char* ColumnRunText(ColumnRun run) {
    switch (run) {
        case ColumnRun::kRunning:
            return "Работает";
        case ColumnRun::kPaused:
            return "Пауза";
        case ColumnRun::kBlocked:
            return "Заблокирована";
        default:
            return "Остановлена";
    }
}

const char* LampCode(int state) {
    if (state == kLampAttention) {
        return "attention";
    }
    return state == 0 || state == kLampOff ? "off" : "on";
}

}  // namespace flextor
