// A scenario of the simulated plant, read from a JSON file (see scenarios/ and the
// README): the plant's parameters, its sensors with their roles, how much faster
// than the wall clock its own time runs, and the faults to stage.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "plant/plant_model.h"

namespace flextor::plant {

struct ScenarioSensor {
    uint8_t family = 0x28;
    uint64_t serial = 0;
    Role role = Role::kNone;
};

enum class FaultKind {
    kUnplug,      // the sensor gives no presence pulse
    kCrcStorm,    // its scratchpad's CRC is wrong
    kStuck85,     // it reads its power-on 85.0 °C
    kAdapterOut,  // the adapter is pulled out: the port goes away
    kOverheat,    // the sensor's temperature is driven to `to` at `rate` °C/s
    kDeadHeater,  // the run line `output` switches, but its heater does not heat
    kStuck,       // the sensor reads the value it had when the fault began
    kJump,        // the sensor reads `by` °C off
};

struct ScenarioFault {
    FaultKind kind = FaultKind::kUnplug;
    double at = 0;              // plant seconds after the trigger
    uint16_t after = 0;         // output bits whose first rise is the trigger; 0: the plant's start
    double until = -1;          // plant seconds after the trigger when it ends; negative: never
    Role sensor = Role::kNone;  // the first sensor of this role (not for kAdapterOut, kDeadHeater)
    double to = 0;
    double rate = 0;
    double by = 0;        // kJump
    uint16_t output = 0;  // kDeadHeater: the run line whose heater is dead
};

struct Scenario {
    std::string name;
    uint32_t seed = 1;
    double speed = 1;  // plant seconds per wall-clock second
    PlantParameters plant;
    std::vector<ScenarioSensor> sensors;  // ordered by role, those without one last
    std::vector<ScenarioFault> faults;
};

// False with a message naming the member at fault.
[[nodiscard]] bool ParseScenario(const std::string& text, Scenario* scenario, std::string* error);
[[nodiscard]] bool LoadScenario(const std::filesystem::path& path, Scenario* scenario,
                                std::string* error);

// "column", "condenser", ...: the names the scenario files give the roles.
const char* RoleName(Role role);

}  // namespace flextor::plant
