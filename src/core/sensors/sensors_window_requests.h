// What the sensors window asks of the polling thread, and how its edits reach
// the table and the settings. GUI thread; SensorShare is written only with its
// mutex held.
#pragma once

#include <cstdint>
#include <string>

#include "core/sensors/list_roles.h"

namespace flextor {

// The GUI flag PollAll and the thread's copy of it (Command 0x08).
void SetPollAll(uint8_t value);

// The thread reopens on port (with the Serial setting) at its next exchange;
// the PortName setting stays as it is.
void RequestPort(const std::string& port);

// Logs that a search begins and asks the thread for one (Command 0x01).
void RequestSearch();

// Port and polling mode become settings, the edited roles the table's Use;
// SettingSensors is rebuilt from the table, and the thread takes the table
// (Command 0x04), dropping a search result not yet taken.
void ApplySensorsWindow(const std::string& port, bool serial, const ListRoles& roles);

// The table's membership back as in SettingSensors, the thread back on the saved
// port (Commands 0x02 and 0x04), a pending search result dropped.
void RevertSensorsWindow();

}  // namespace flextor
