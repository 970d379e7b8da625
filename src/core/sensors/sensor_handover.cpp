#include "core/sensors/sensor_handover.h"

#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>

#include "core/sensors/find_sensor.h"
#include "core/sensors/step_filter.h"
#include "core/state/program_state.h"

namespace flextor {
namespace {

std::function<void()> update_delete_button;

const SensorParam* FindByID(const std::vector<SensorParam>& rows, int64_t id) {
    auto it = std::find_if(rows.begin(), rows.end(),
                           [id](const SensorParam& row) { return row.ID == id; });
    return it == rows.end() ? nullptr : &*it;
}

// A search result: the devices the table does not know yet become new rows at
// its end; rows already there keep their marks. Mutex held.
void TakeSearchResult() {
    std::vector<SensorParam>& table = ProgVar.Sensors.Sensor;
    for (const SensorParam& found : SensorShare.Sensor) {
        if (FindByID(table, found.ID) != nullptr) {
            continue;
        }
        SensorParam row;
        row.ID = found.ID;
        row.Flag = FamilyFlag(row);
        table.push_back(row);
    }
    SensorShare.Sensor.clear();
}

// Fresh readings. Only the rows that are polled take the thread's state; the
// rest only lose their fresh mark. True when some row's not-found mark came or
// went: a search's marks reach the table this way. Mutex held.
bool TakeReadings() {
    bool not_found_changed = false;
    ProgVar.Sensors.PortID = SensorShare.PortID;
    PortReported = true;
    for (SensorParam& row : ProgVar.Sensors.Sensor) {
        if (!IsTemperatureFamily(row.SN.Type)) {
            continue;
        }
        row.Flag &= static_cast<uint8_t>(~kFlagFresh);
        if (row.Use == kRoleNone && PollAll != 1) {
            continue;
        }
        const bool was_not_found = (row.Flag & kFlagNotFound) != 0;
        const SensorParam* polled = FindByID(SensorShare.Sensor, row.ID);
        if (polled == nullptr) {
            row.Flag |= kFlagNotFound;
            not_found_changed = not_found_changed || !was_not_found;
            continue;
        }
        const int16_t previous = row.Termo;
        row.Flag = polled->Flag;
        not_found_changed = not_found_changed || ((row.Flag & kFlagNotFound) != 0) != was_not_found;
        row.Termo = polled->Termo;
        if (row.Use != kRoleNone) {
            // A jump the logic must not see keeps the previous value.
            FilterReading(row, previous);
        }
        if ((row.Flag & kFlagFresh) != 0) {
            row.UpdateCount = kFreshReadingCredit;
        }
    }
    SensorShare.Sensor.clear();
    return not_found_changed;
}

}  // namespace

void SensorDataHandover() {
    bool update_button = false;
    {
        std::lock_guard lock(SensorShare.Mutex);
        if ((SensorShare.Command & kCmdSearchResults) != 0) {
            // A search result takes the place of the readings in the block, so a
            // data mark beside it has nothing left to hand over.
            SensorShare.Command &= static_cast<uint8_t>(~(kCmdSearchResults | kCmdFreshData));
            TakeSearchResult();
            update_button = true;
        }
        if ((SensorShare.Command & kCmdFreshData) != 0) {
            SensorShare.Command &= static_cast<uint8_t>(~kCmdFreshData);
            update_button = TakeReadings() || update_button;
        }
    }
    if (update_button && update_delete_button) {
        update_delete_button();
    }
}

void SetUpdateDeleteButton(std::function<void()> update) {
    update_delete_button = std::move(update);
}

}  // namespace flextor
