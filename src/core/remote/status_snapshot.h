// The plant's state as the status page and MQTT carry it: read from the program
// state, the settings and what the window shows (StatusMirror). GUI thread only;
// the snapshot itself is a plain value.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/remote/status_mirror.h"
#include "core/time/clock.h"

namespace flextor {

struct RoleStatus {
    int role = 0;                  // 1..6
    std::string name;              // "ав. ТСА", ...
    std::optional<int> tenths;     // a working sensor's reading
    std::string text;              // the window's field: "78.5 °C", "Ошибка", ...
    std::optional<int> threshold;  // tenths; for the mash, the upper one
    std::optional<int> lower;      // tenths; the mash's lower threshold
};

enum class ColumnRun { kStopped, kRunning, kPaused, kBlocked };

struct ColumnStatus {
    int number = 0;  // 1..3
    std::string name;
    ColumnRun run = ColumnRun::kStopped;
    int mode = -1;            // column 1's mode 0..5; -1 for the others
    std::string mode_name;    // "'Стабилизация'", ...
    std::string status_text;  // column 1's status line; what the outputs do for 3
};

// A problem of the plausibility checks (core/logic/checks).
struct ProblemStatus {
    std::string kind;  // "heat_without_rise", "stuck_sensor", "jumping_sensor"
    std::string text;  // as logged
    LocalTime since;
    int column = 0;  // 1..2 for heating without a rise, else 0
    int role = 0;    // the sensor's role 1..6
};

struct StatusSnapshot {
    LocalTime time;
    bool port_open = false;
    std::array<RoleStatus, 6> roles;
    std::array<ColumnStatus, 3> columns;
    std::array<int, kMirrorLamps> lamps{};  // 2 off, 3 attention, 4 on, 0 never set
    bool alarm = false;                     // the latch
    std::string pwm_text;
    std::string heads_volume;
    std::string spirit_volume;
    std::deque<LogRow> log;
    uint64_t log_count = 0;
    uint64_t chart_samples = 0;  // samples of today recorded so far
    std::vector<ProblemStatus> problems;
};

StatusSnapshot TakeStatusSnapshot(const StatusMirror& mirror, const LocalTime& now);

// "stopped", "running", "paused", "blocked".
const char* ColumnRunCode(ColumnRun run);
// "Остановлена", "Работает", "Пауза", "Заблокирована".
const char* ColumnRunText(ColumnRun run);
// "off", "attention", "on" ("off" also for a lamp never set).
const char* LampCode(int state);

}  // namespace flextor
