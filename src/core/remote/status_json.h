// The status snapshot as the JSON of GET /api/status (the fields are described
// in the README). Numbers are written by the JSON library, never by the C
// library's locale-dependent formatting.
#pragma once

#include <string>

#include "core/remote/status_snapshot.h"

namespace flextor {

std::string StatusJson(const StatusSnapshot& snapshot);

// A temperature in tenths as degrees for JSON and MQTT: 785 → 78.5.
double Degrees(int tenths);

}  // namespace flextor
