#include "plant/scenario.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>
#include <utility>

#include "base/files/file_io.h"
#include "core/logic/refresh_outputs.h"

namespace flextor::plant {
namespace {

using Json = nlohmann::json;

constexpr std::pair<const char*, Role> kRoles[] = {
    {"none", Role::kNone},       {"atmosphere-tube", Role::kTube}, {"condenser", Role::kCondenser},
    {"column", Role::kColumn},   {"still", Role::kStill},          {"mash", Role::kMash},
    {"sensor6", Role::kSensor6},
};

constexpr std::pair<const char*, uint16_t> kOutputs[] = {
    {"column1", kBitCol1Run},      {"valve1", kBitValve1},   {"valve2", kBitValve2},
    {"valve3", kBitValve3},        {"column2", kBitCol2Run}, {"mash-upper", kBitCol3Upper},
    {"mash-lower", kBitCol3Lower}, {"sensor6", kBitSensor6},
};

constexpr std::pair<const char*, FaultKind> kFaults[] = {
    {"unplug", FaultKind::kUnplug},     {"crc-storm", FaultKind::kCrcStorm},
    {"stuck85", FaultKind::kStuck85},   {"adapter-out", FaultKind::kAdapterOut},
    {"overheat", FaultKind::kOverheat}, {"dead-heater", FaultKind::kDeadHeater},
    {"stuck", FaultKind::kStuck},       {"jump", FaultKind::kJump},
};

constexpr std::pair<const char*, double PlantParameters::*> kParameters[] = {
    {"ambient", &PlantParameters::ambient},
    {"boiler_ml", &PlantParameters::boiler_ml},
    {"strength", &PlantParameters::strength},
    {"boiler_start", &PlantParameters::boiler_start},
    {"head_start", &PlantParameters::head_start},
    {"boiler_heating", &PlantParameters::boiler_heating},
    {"heat_loss", &PlantParameters::heat_loss},
    {"takeoff_ml_h", &PlantParameters::takeoff_ml_h},
    {"head_lag", &PlantParameters::head_lag},
    {"valve_cooling", &PlantParameters::valve_cooling},
    {"overheat_rate", &PlantParameters::overheat_rate},
    {"overheat_max", &PlantParameters::overheat_max},
    {"pot_start", &PlantParameters::pot_start},
    {"pot_heating", &PlantParameters::pot_heating},
    {"pot_boil", &PlantParameters::pot_boil},
    {"mash_start", &PlantParameters::mash_start},
    {"mash_rest", &PlantParameters::mash_rest},
    {"mash_lag", &PlantParameters::mash_lag},
    {"mash_control", &PlantParameters::mash_control},
    {"condenser_rise", &PlantParameters::condenser_rise},
    {"tube_rise", &PlantParameters::tube_rise},
    {"guard_lag", &PlantParameters::guard_lag},
    {"sensor6_start", &PlantParameters::sensor6_start},
    {"sensor6_heating", &PlantParameters::sensor6_heating},
};

// The value of a name in one of the tables above.
template <typename T, std::size_t N>
bool Lookup(const std::pair<const char*, T> (&table)[N], const std::string& name, T* value) {
    for (const auto& [key, entry] : table) {
        if (name == key) {
            *value = entry;
            return true;
        }
    }
    return false;
}

template <typename T, std::size_t N>
std::string Names(const std::pair<const char*, T> (&table)[N]) {
    std::string names;
    for (const auto& entry : table) {
        names += (names.empty() ? "" : ", ") + std::string(entry.first);
    }
    return names;
}

// Reads the scenario's parts; each throws ScenarioError with the member's path.
struct ScenarioError {
    std::string message;
};

[[noreturn]] void Fail(const std::string& where, const std::string& what) {
    throw ScenarioError{where + ": " + what};
}

double Number(const Json& value, const std::string& where, double low, double high) {
    if (!value.is_number()) {
        Fail(where, "a number is expected");
    }
    const double number = value.get<double>();
    if (!(number >= low && number <= high)) {
        Fail(where, "out of range");
    }
    return number;
}

std::string Text(const Json& value, const std::string& where) {
    if (!value.is_string()) {
        Fail(where, "a text is expected");
    }
    return value.get<std::string>();
}

template <typename T, std::size_t N>
T Named(const std::pair<const char*, T> (&table)[N], const Json& value, const std::string& where) {
    T found{};
    if (!Lookup(table, Text(value, where), &found)) {
        Fail(where, "one of " + Names(table) + " is expected");
    }
    return found;
}

uint64_t Hex(const Json& value, const std::string& where, std::size_t digits) {
    const std::string text = Text(value, where);
    uint64_t number = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, number, 16);
    if (text.empty() || text.size() > digits || ec != std::errc() || ptr != end) {
        Fail(where, "up to " + std::to_string(digits) + " hexadecimal digits are expected");
    }
    return number;
}

void CheckMembers(const Json& object, const std::string& where,
                  std::initializer_list<const char*> known) {
    if (!object.is_object()) {
        Fail(where, "an object is expected");
    }
    for (const auto& [key, value] : object.items()) {
        if (std::find_if(known.begin(), known.end(), [&](const char* k) { return key == k; }) ==
            known.end()) {
            Fail(where + "." + key, "unknown member");
        }
    }
}

void ReadParameters(const Json& object, PlantParameters* plant) {
    if (!object.is_object()) {
        Fail("plant", "an object is expected");
    }
    for (const auto& [key, value] : object.items()) {
        double PlantParameters::*member = nullptr;
        if (!Lookup(kParameters, key, &member)) {
            Fail("plant." + key, "unknown member; known: " + Names(kParameters));
        }
        plant->*member = Number(value, "plant." + key, -100000, 100000);
    }
    if (plant->strength < 0 || plant->strength > 0.96) {
        Fail("plant.strength", "out of range (0 to 0.96)");
    }
}

ScenarioSensor ReadSensor(const Json& object, const std::string& where) {
    CheckMembers(object, where, {"role", "family", "serial"});
    ScenarioSensor sensor;
    sensor.role = Named(kRoles, object.value("role", Json("none")), where + ".role");
    if (object.contains("family")) {
        sensor.family = static_cast<uint8_t>(Hex(object["family"], where + ".family", 2));
    }
    if (!object.contains("serial")) {
        Fail(where + ".serial", "missing");
    }
    sensor.serial = Hex(object["serial"], where + ".serial", 12);
    return sensor;
}

ScenarioFault ReadFault(const Json& object, const std::string& where) {
    CheckMembers(object, where,
                 {"kind", "sensor", "at", "after", "until", "to", "rate", "by", "output"});
    ScenarioFault fault;
    if (!object.contains("kind")) {
        Fail(where + ".kind", "missing");
    }
    fault.kind = Named(kFaults, object["kind"], where + ".kind");
    fault.at = Number(object.value("at", Json(0)), where + ".at", 0, 1e7);
    if (object.contains("after")) {
        fault.after = Named(kOutputs, object["after"], where + ".after");
    }
    if (object.contains("until")) {
        fault.until = Number(object["until"], where + ".until", fault.at, 1e7);
    }
    if (fault.kind == FaultKind::kDeadHeater) {
        fault.output = Named(kOutputs, object.value("output", Json(nullptr)), where + ".output");
        if ((fault.output & (kBitCol1Run | kBitCol2Run)) == 0) {
            Fail(where + ".output", "a run line, column1 or column2, is expected");
        }
    } else if (fault.kind != FaultKind::kAdapterOut) {
        fault.sensor = Named(kRoles, object.value("sensor", Json("none")), where + ".sensor");
        if (fault.sensor == Role::kNone) {
            Fail(where + ".sensor", "the role of the sensor at fault is expected");
        }
    }
    if (fault.kind == FaultKind::kOverheat) {
        fault.to = Number(object.value("to", Json(nullptr)), where + ".to", -55, 125);
        fault.rate = Number(object.value("rate", Json(nullptr)), where + ".rate", 1e-6, 1000);
    }
    if (fault.kind == FaultKind::kJump) {
        fault.by = Number(object.value("by", Json(nullptr)), where + ".by", -100, 100);
    }
    return fault;
}

Scenario ReadScenario(const Json& root) {
    CheckMembers(root, "scenario",
                 {"name", "description", "seed", "speed", "plant", "sensors", "faults"});
    Scenario scenario;
    scenario.name = root.contains("name") ? Text(root["name"], "name") : "";
    scenario.seed = static_cast<uint32_t>(Number(root.value("seed", Json(1)), "seed", 0, 4e9));
    scenario.speed = Number(root.value("speed", Json(1)), "speed", 0.01, 1000);
    if (root.contains("plant")) {
        ReadParameters(root["plant"], &scenario.plant);
    }
    const Json& sensors = root.value("sensors", Json::array());
    if (!sensors.is_array() || sensors.empty()) {
        Fail("sensors", "a list of at least one sensor is expected");
    }
    for (std::size_t i = 0; i < sensors.size(); ++i) {
        scenario.sensors.push_back(ReadSensor(sensors[i], "sensors[" + std::to_string(i) + "]"));
        for (std::size_t j = 0; j < i; ++j) {
            if (scenario.sensors[j].serial == scenario.sensors[i].serial &&
                scenario.sensors[j].family == scenario.sensors[i].family) {
                Fail("sensors[" + std::to_string(i) + "]",
                     "the same device as sensors[" + std::to_string(j) + "]");
            }
        }
    }
    std::stable_sort(scenario.sensors.begin(), scenario.sensors.end(),
                     [](const ScenarioSensor& a, const ScenarioSensor& b) {
                         auto rank = [](Role role) {
                             return role == Role::kNone ? kRoleCount : static_cast<int>(role);
                         };
                         return rank(a.role) < rank(b.role);
                     });
    const Json& faults = root.value("faults", Json::array());
    if (!faults.is_array()) {
        Fail("faults", "a list is expected");
    }
    for (std::size_t i = 0; i < faults.size(); ++i) {
        const std::string where = "faults[" + std::to_string(i) + "]";
        ScenarioFault fault = ReadFault(faults[i], where);
        if (fault.kind != FaultKind::kAdapterOut && fault.kind != FaultKind::kDeadHeater &&
            std::none_of(scenario.sensors.begin(), scenario.sensors.end(),
                         [&](const ScenarioSensor& s) { return s.role == fault.sensor; })) {
            Fail(where + ".sensor", "no sensor has this role");
        }
        scenario.faults.push_back(fault);
    }
    return scenario;
}

}  // namespace

const char* RoleName(Role role) {
    for (const auto& [name, entry] : kRoles) {
        if (entry == role) {
            return name;
        }
    }
    return "none";
}

bool ParseScenario(const std::string& text, Scenario* scenario, std::string* error) {
    const Json root = Json::parse(text, nullptr, false);
    if (root.is_discarded()) {
        *error = "not valid JSON";
        return false;
    }
    try {
        *scenario = ReadScenario(root);
    } catch (const ScenarioError& e) {
        *error = e.message;
        return false;
    } catch (const Json::exception& e) {
        *error = e.what();
        return false;
    }
    return true;
}

bool LoadScenario(const std::filesystem::path& path, Scenario* scenario, std::string* error) {
    std::string text;
    if (!ReadWholeFile(path.string(), text)) {
        *error = path.string() + ": cannot be read";
        return false;
    }
    if (!ParseScenario(text, scenario, error)) {
        *error = path.string() + ": " + *error;
        return false;
    }
    return true;
}

}  // namespace flextor::plant
