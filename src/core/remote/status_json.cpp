#include "core/remote/status_json.h"

#include <cstdio>
#include <nlohmann/json.hpp>

namespace flextor {
namespace {

using nlohmann::json;

constexpr const char* kLampNames[kMirrorLamps] = {"alarm",   "pulse",      "column1",
                                                  "valve1",  "valve2",     "valve3",
                                                  "column2", "mash_upper", "mash_lower"};
constexpr const char* kLevelNames[3] = {"info", "warning", "error"};

json Optional(const std::optional<int>& tenths) {
    return tenths ? json(Degrees(*tenths)) : json(nullptr);
}

json Role(const RoleStatus& role) {
    return json{{"role", role.role},
                {"name", role.name},
                {"value", Optional(role.tenths)},
                {"text", role.text},
                {"threshold", Optional(role.threshold)},
                {"lower_threshold", Optional(role.lower)}};
}

json Column(const ColumnStatus& column) {
    return json{{"number", column.number},
                {"name", column.name},
                {"state", ColumnRunCode(column.run)},
                {"state_text", ColumnRunText(column.run)},
                {"mode", column.mode < 0 ? json(nullptr) : json(column.mode)},
                {"mode_text", column.mode_name},
                {"status", column.status_text}};
}

std::string TimeText(const LocalTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

}  // namespace

double Degrees(int tenths) {
    return tenths / 10.0;
}

std::string StatusJson(const StatusSnapshot& s) {
    json roles = json::array();
    for (const RoleStatus& role : s.roles) {
        roles.push_back(Role(role));
    }
    json columns = json::array();
    for (const ColumnStatus& column : s.columns) {
        columns.push_back(Column(column));
    }
    json lamps = json::object();
    for (int lamp = 0; lamp < kMirrorLamps; ++lamp) {
        lamps[kLampNames[lamp]] = LampCode(s.lamps[static_cast<size_t>(lamp)]);
    }
    json log = json::array();
    for (const LogRow& row : s.log) {
        log.push_back({{"text", row.text}, {"level", kLevelNames[row.level <= 2 ? row.level : 0]}});
    }
    json problems = json::array();
    for (const ProblemStatus& problem : s.problems) {
        problems.push_back({{"kind", problem.kind},
                            {"text", problem.text},
                            {"since", TimeText(problem.since)},
                            {"column", problem.column == 0 ? json(nullptr) : json(problem.column)},
                            {"role", problem.role == 0 ? json(nullptr) : json(problem.role)}});
    }
    const json document{{"time", TimeText(s.time)},
                        {"port_open", s.port_open},
                        {"alarm", s.alarm},
                        {"temperatures", roles},
                        {"columns", columns},
                        {"lamps", lamps},
                        {"pwm", s.pwm_text},
                        {"heads_volume", s.heads_volume},
                        {"spirit_volume", s.spirit_volume},
                        {"log", log},
                        {"log_count", s.log_count},
                        {"chart_samples", s.chart_samples},
                        {"problems", problems}};
    // Texts from files may hold bytes that are not UTF-8: replaced, never thrown on.
    return document.dump(-1, ' ', false, json::error_handler_t::replace);
}

}  // namespace flextor
