// The sensor polling thread's own copy of the sensor table, with the port and the
// polling mode it works with. No other thread ever sees it.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/state/program_state.h"

namespace flextor {

// How often a wanted port that is not open is tried again.
inline constexpr std::chrono::milliseconds kPortRetryPeriod{3000};

struct PollTable {
    std::vector<SensorParam> Sensor;
    int32_t CurrentSensor = 0;  // the row served next in sequential polling
    int32_t PortID = 0;         // the link's port handle; 0 = closed
    uint8_t Flags = 0;
    std::string PortName;
    uint8_t Serial = 0;   // 1 = sequential polling, one row per cycle
    uint8_t PollAll = 0;  // 1 = every temperature sensor, 0 = only those with a role
    // Adapters whose slow latency timer the message log has been told about.
    std::set<std::string> LatencyAdvised;
    // When a port that failed to open or was lost is tried again; none while it
    // is open or no port is wanted.
    std::optional<std::chrono::steady_clock::time_point> RetryAt;
    std::chrono::milliseconds RetryPeriod = kPortRetryPeriod;
};

// PollTable.Flags: the port was just opened, nothing has been converted yet.
inline constexpr uint8_t kTableJustOpened = 0x01;

inline bool IsSequential(const PollTable& table) {
    return table.Serial != 0;
}

// A row is served when it is a temperature sensor that matters: it has a role,
// or the sensors window is open and wants them all.
inline bool IsServed(const PollTable& table, const SensorParam& row) {
    return IsTemperatureFamily(row.SN.Type) && (table.PollAll == 1 || row.Use != 0);
}

}  // namespace flextor
