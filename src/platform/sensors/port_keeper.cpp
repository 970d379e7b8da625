#include "platform/sensors/port_keeper.h"

#include <chrono>

#include "core/log/message_log.h"
#include "platform/access_advice.h"
#include "platform/sensors/adapter_latency.h"
#include "platform/serial/usb_latency.h"

namespace flextor {
namespace {

constexpr uint8_t kKeptOnReopen = kFlagNotFound | kFlagTemperatureSensor;

void ScheduleRetry(PollTable& table) {
    table.RetryAt = std::chrono::steady_clock::now() + table.RetryPeriod;
}

// Every row starts afresh: counters zero, only the found and temperature-sensor
// marks kept; the next read phase is skipped, nothing was converted yet.
void StartRowsAfresh(PollTable& table) {
    table.CurrentSensor = 0;
    table.Flags |= kTableJustOpened;
    for (SensorParam& row : table.Sensor) {
        row.CountErr = 0;
        row.CountNoUpdate = 0;
        row.Count85Err = 0;
        row.Flag &= kKeptOnReopen;
    }
}

void TunePort(PollTable& table) {
    TuneAdapterLatency(table.PortName, UsbSerialRootFromEnvironment(), table.LatencyAdvised);
}

void ClosePort(PollTable& table, onewire::OWire& link) {
    static_cast<void>(link.Close());  // it was open: always true
    table.PortID = 0;
}

// Opens the table's port again; one whose node is back without a live device
// (not yet, or not any more) is closed again.
bool OpenForRetry(PollTable& table, onewire::OWire& link) {
    table.PortID = link.Open(table.PortName);
    if (table.PortID != 0 && link.PortGone()) {
        ClosePort(table, link);
    }
    return table.PortID != 0;
}

}  // namespace

void ReopenPort(PollTable& table, onewire::OWire& link) {
    table.PortID = link.Open(table.PortName);
    StartRowsAfresh(table);
    CancelRetry(table);
    if (table.PortID != 0) {
        TunePort(table);
    } else if (!table.PortName.empty()) {
        PostLogMessage("Не удалось открыть порт " + table.PortName, kLevelError);
        const std::string advice = PortAccessAdvice(table.PortName);
        if (!advice.empty()) {
            PostLogMessage(advice, kLevelError);
        }
        ScheduleRetry(table);
    }
}

void DropPortIfGone(PollTable& table, onewire::OWire& link) {
    if (table.PortID == 0 || !link.PortGone()) {
        return;
    }
    PostLogMessage(
        "Потеряна связь с портом " + table.PortName + ", ожидание повторного подключения",
        kLevelWarning);
    ClosePort(table, link);
    for (SensorParam& row : table.Sensor) {
        if (IsTemperatureFamily(row.SN.Type)) {
            row.Flag = static_cast<uint8_t>((row.Flag & kKeptOnReopen) | kFlagError);
        }
    }
    ScheduleRetry(table);
}

void RetryPort(PollTable& table, onewire::OWire& link) {
    if (table.PortID != 0 || !table.RetryAt || std::chrono::steady_clock::now() < *table.RetryAt) {
        return;
    }
    if (!OpenForRetry(table, link)) {
        ScheduleRetry(table);  // the rows keep their error marks meanwhile
        return;
    }
    StartRowsAfresh(table);
    CancelRetry(table);
    TunePort(table);
    PostLogMessage("Связь с портом " + table.PortName + " восстановлена", kLevelInfo);
}

}  // namespace flextor
