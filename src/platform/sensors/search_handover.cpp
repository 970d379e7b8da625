#include "platform/sensors/search_handover.h"

#include <algorithm>

#include "core/log/message_log.h"
#include "core/sensors/search_report.h"
#include "platform/onewire/rom_search.h"

namespace flextor {
namespace {

// Takes the row's code out of found; true when it was there.
bool TakeFound(onewire::SearchResult& found, int64_t id) {
    const size_t taken = std::erase_if(
        found, [id](const onewire::RomCode& rom) { return onewire::RomCodeID(rom) == id; });
    return taken > 0;
}

// Marks every row found or not found; true when some row was not found.
bool MarkRows(PollTable& table, onewire::SearchResult& found) {
    bool missing = false;
    for (SensorParam& row : table.Sensor) {
        if (TakeFound(found, row.ID)) {
            row.Flag &= static_cast<uint8_t>(~kFlagNotFound);
        } else {
            row.Flag |= kFlagNotFound;
            missing = true;
        }
        row.Flag &= static_cast<uint8_t>(~kFlagTemperatureSensor);
        row.Flag |= FamilyFlag(row);
    }
    return missing;
}

void AppendNewDevices(PollTable& table, const onewire::SearchResult& found,
                      SensorShareBlock& share) {
    for (const onewire::RomCode& rom : found) {
        SensorParam row;
        row.ID = onewire::RomCodeID(rom);
        row.Flag = FamilyFlag(row);
        table.Sensor.push_back(row);
        SensorParam listed;
        listed.ID = row.ID;
        share.Sensor.push_back(listed);
    }
}

}  // namespace

void SearchHandover(PollTable& table, onewire::OWire& link, SensorShareBlock& share) {
    onewire::SearchResult found = onewire::Search(link);
    PostLogMessage(SearchReportText(found.size()), kLevelInfo);
    const bool missing = MarkRows(table, found);
    // The block's list now carries devices, not readings. Devices of an earlier
    // search that the GUI has not taken yet stay listed: this search knows them.
    if ((share.Command & kCmdSearchResults) == 0) {
        share.Sensor.clear();
    }
    share.Command &= static_cast<uint8_t>(~kCmdFreshData);
    AppendNewDevices(table, found, share);
    if (missing || !found.empty()) {
        share.Command |= kCmdSearchResults;
    }
}

}  // namespace flextor
