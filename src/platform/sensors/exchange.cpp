#include "platform/sensors/exchange.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/sensors/search_handover.h"

namespace flextor {
namespace {

bool Has(uint8_t command, uint8_t bits) {
    return (command & bits) != 0;
}

void Clear(uint8_t& command, uint8_t bits) {
    command &= static_cast<uint8_t>(~bits);
}

// The GUI's table decides which rows the thread keeps and what their roles are.
void TakeRolesAndMembership(PollTable& table, const std::vector<SensorParam>& wanted) {
    std::erase_if(table.Sensor, [&wanted](SensorParam& row) {
        auto it = std::find_if(wanted.begin(), wanted.end(),
                               [&row](const SensorParam& w) { return w.ID == row.ID; });
        if (it == wanted.end()) {
            return true;
        }
        row.Use = it->Use;
        return false;
    });
}

void TakePortAndMode(PollTable& table, onewire::OWire& link, SensorShareBlock& share) {
    table.Serial = share.Serial;
    if (share.PortName != table.PortName) {
        CancelRetry(table);  // the old name is no longer wanted
    }
    table.PortName = share.PortName;
    if (Has(share.Command, kCmdReopen)) {
        ReopenPort(table, link);
    }
    Clear(share.Command, kCmdReopen | kCmdNewTable);
}

void HandOverTable(const PollTable& table, SensorShareBlock& share) {
    share.PortID = table.PortID;
    share.Sensor = table.Sensor;
    share.Command |= kCmdFreshData;
}

}  // namespace

void TakeStartTable(PollTable& table, SensorShareBlock& share) {
    std::lock_guard lock(share.Mutex);
    table.PortName = share.PortName;
    table.Serial = share.Serial;
    table.Sensor = share.Sensor;
    table.PollAll = 0;
}

void Exchange(PollTable& table, onewire::OWire& link, SensorShareBlock& share) {
    std::lock_guard lock(share.Mutex);
    // The GUI's new table is taken before a search of the same exchange replaces
    // the block's list with the devices found.
    if (Has(share.Command, kCmdNewTable)) {
        TakeRolesAndMembership(table, share.Sensor);
    }
    if (Has(share.Command, kCmdSearch)) {
        Clear(share.Command, kCmdSearch);
        SearchHandover(table, link, share);
    }
    if (Has(share.Command, kCmdReopen | kCmdNewTable)) {
        TakePortAndMode(table, link, share);
    }
    if (Has(share.Command, kCmdPollAll)) {
        Clear(share.Command, kCmdPollAll);
        table.PollAll = share.PollAll;
    }
    if (!Has(share.Command, kCmdSearchResults)) {
        HandOverTable(table, share);
    }
}

}  // namespace flextor
