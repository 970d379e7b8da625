// The roles being edited in the sensors window: one per list row, row i standing
// for row i of ProgVar.Sensors.Sensor. They reach the table only when the window
// is applied. GUI thread only.
#pragma once

#include <cstdint>
#include <vector>

namespace flextor {

using ListRoles = std::vector<uint8_t>;

// Makes roles as long as the table: new list rows take the Use of their table
// row, surplus ones go from the end, the others keep their edited role.
void MatchTableLength(ListRoles& roles);

// Deletes every table row not found on the bus together with its list row, so
// each remaining row keeps the role edited for its own sensor.
void DeleteNotFoundRows(ListRoles& roles);

// True when some table row is marked not found.
bool AnyRowNotFound();

// True when a list row other than selected already holds role.
bool RoleHeldByOther(const ListRoles& roles, int selected, uint8_t role);

// Gives selected the role; every other row that held it (role 1..6) loses it.
void AssignRole(ListRoles& roles, int selected, uint8_t role);

}  // namespace flextor
