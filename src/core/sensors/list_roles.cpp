#include "core/sensors/list_roles.h"

#include <algorithm>
#include <cstddef>

#include "core/state/program_state.h"

namespace flextor {

void MatchTableLength(ListRoles& roles) {
    const std::vector<SensorParam>& table = ProgVar.Sensors.Sensor;
    if (roles.size() > table.size()) {
        roles.resize(table.size());
    }
    for (std::size_t i = roles.size(); i < table.size(); ++i) {
        roles.push_back(table[i].Use);
    }
}

void DeleteNotFoundRows(ListRoles& roles) {
    MatchTableLength(roles);
    std::vector<SensorParam>& table = ProgVar.Sensors.Sensor;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < table.size(); ++i) {
        if ((table[i].Flag & kFlagNotFound) == 0) {
            table[kept] = table[i];
            roles[kept] = roles[i];
            ++kept;
        }
    }
    table.resize(kept);
    roles.resize(kept);
}

bool AnyRowNotFound() {
    const std::vector<SensorParam>& table = ProgVar.Sensors.Sensor;
    return std::any_of(table.begin(), table.end(),
                       [](const SensorParam& row) { return (row.Flag & kFlagNotFound) != 0; });
}

bool RoleHeldByOther(const ListRoles& roles, int selected, uint8_t role) {
    for (std::size_t i = 0; i < roles.size(); ++i) {
        if (static_cast<int>(i) != selected && roles[i] == role) {
            return true;
        }
    }
    return false;
}

void AssignRole(ListRoles& roles, int selected, uint8_t role) {
    if (selected < 0 || static_cast<std::size_t>(selected) >= roles.size()) {
        return;
    }
    if (role != 0) {
        std::replace(roles.begin(), roles.end(), role, uint8_t{0});
    }
    roles[static_cast<std::size_t>(selected)] = role;
}

}  // namespace flextor
