#include "core/sensors/sensors_window_requests.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "core/log/message_log.h"
#include "core/settings/settings.h"
#include "core/state/program_state.h"

namespace flextor {
namespace {

constexpr uint8_t kHandOvers = kCmdFreshData | kCmdSearchResults;

bool InSettings(int64_t id) {
    return std::any_of(SettingSensors.begin(), SettingSensors.end(),
                       [id](const SensorParam& saved) { return saved.ID == id; });
}

bool InTable(int64_t id) {
    const std::vector<SensorParam>& table = ProgVar.Sensors.Sensor;
    return std::any_of(table.begin(), table.end(),
                       [id](const SensorParam& row) { return row.ID == id; });
}

// The thread's copy of the table: only the ROM codes and roles matter to it.
std::vector<SensorParam> CodesAndRoles() {
    std::vector<SensorParam> rows;
    rows.reserve(ProgVar.Sensors.Sensor.size());
    for (const SensorParam& row : ProgVar.Sensors.Sensor) {
        SensorParam copy;
        copy.SN = row.SN;
        copy.Use = row.Use;
        rows.push_back(copy);
    }
    return rows;
}

void HandTableToThread(uint8_t commands) {
    std::lock_guard lock(SensorShare.Mutex);
    SensorShare.PortName = Settings.Sensor.PortName;
    SensorShare.Serial = Settings.Sensor.Serial;
    SensorShare.Sensor = CodesAndRoles();
    SensorShare.Command = static_cast<uint8_t>((SensorShare.Command & ~kHandOvers) | commands);
}

}  // namespace

void SetPollAll(uint8_t value) {
    PollAll = value;
    std::lock_guard lock(SensorShare.Mutex);
    SensorShare.PollAll = value;
    SensorShare.Command |= kCmdPollAll;
}

void RequestPort(const std::string& port) {
    std::lock_guard lock(SensorShare.Mutex);
    SensorShare.PortName = port;
    SensorShare.Serial = Settings.Sensor.Serial;
    SensorShare.Command |= kCmdReopen;
}

void RequestSearch() {
    AddLogMessage("Начат поиск датчиков. На это потребуется некоторое время.", kLevelInfo);
    std::lock_guard lock(SensorShare.Mutex);
    SensorShare.Command |= kCmdSearch;
}

void ApplySensorsWindow(const std::string& port, bool serial, const ListRoles& roles) {
    Settings.Sensor.PortName = port;
    Settings.Sensor.Serial = serial ? 1 : 0;
    std::vector<SensorParam>& table = ProgVar.Sensors.Sensor;
    SettingSensors.clear();
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (i < roles.size()) {
            table[i].Use = roles[i];
        }
        SensorParam saved;
        saved.ID = table[i].ID;
        saved.Use = table[i].Use;
        SettingSensors.push_back(saved);
    }
    HandTableToThread(kCmdNewTable);
}

void RevertSensorsWindow() {
    std::vector<SensorParam>& table = ProgVar.Sensors.Sensor;
    std::erase_if(table, [](const SensorParam& row) { return !InSettings(row.ID); });
    for (const SensorParam& saved : SettingSensors) {
        if (!InTable(saved.ID)) {
            SensorParam row;
            row.ID = saved.ID;
            row.Use = saved.Use;
            row.Flag = FamilyFlag(row);
            table.push_back(row);
        }
    }
    HandTableToThread(kCmdReopen | kCmdNewTable);
}

}  // namespace flextor
