#include "platform/sensors/polling_cycle.h"

#include "platform/onewire/rom_code.h"
#include "platform/onewire/sensor_commands.h"
#include "platform/onewire/temperature.h"
#include "platform/sensors/failure_rules.h"

namespace flextor {
namespace {

constexpr uint8_t Without(uint8_t flag, uint8_t bits) {
    return static_cast<uint8_t>(flag & ~bits);
}

void TakeReading(SensorParam& row, const PollTable& table, const onewire::Scratchpad& pad) {
    const int16_t tenths = onewire::TemperatureTenths(row.SN.Type, pad[0], pad[1]);
    if (onewire::IsPowerOnValue(tenths)) {
        CountPowerOnReading(row, table);
        return;
    }
    row.Termo = tenths;
    row.Flag = Without(row.Flag, kFlagError);
    row.Flag |= kFlagFresh;
    row.CountErr = 0;
    row.Count85Err = 0;
}

// A row whose conversion could not be started is counted as failed without
// going to the bus; one that was never converted waits for its conversion.
void ReadRow(SensorParam& row, const PollTable& table, onewire::OWire& link) {
    if ((row.Flag & kFlagReadFailed) != 0) {
        CountFailedRead(row, table);
        return;
    }
    if ((row.Flag & kFlagConverting) == 0) {
        return;
    }
    onewire::Scratchpad pad{};
    if (!onewire::ReadScratchpad(link, onewire::RomCodeFromID(row.ID), pad)) {
        row.Flag |= kFlagReadFailed;
        CountFailedRead(row, table);
        return;
    }
    TakeReading(row, table, pad);
}

void ConvertRow(SensorParam& row, onewire::OWire& link) {
    row.Flag = Without(row.Flag, kFlagReadFailed);
    if (onewire::ConvertT(link, onewire::RomCodeFromID(row.ID))) {
        row.Flag |= kFlagConverting;
    } else {
        row.Flag |= kFlagReadFailed;
    }
}

}  // namespace

bool ReadPhase(PollTable& table, onewire::OWire& link, const StopCheck& stop) {
    if ((table.Flags & kTableJustOpened) != 0) {
        table.Flags = Without(table.Flags, kTableJustOpened);
        return true;
    }
    const bool sequential = IsSequential(table);
    const int32_t count = static_cast<int32_t>(table.Sensor.size());
    for (int32_t index = 0; index < count; ++index) {
        SensorParam& row = table.Sensor[static_cast<size_t>(index)];
        if ((!sequential || index == table.CurrentSensor) && IsServed(table, row)) {
            ReadRow(row, table, link);
            if (sequential) {
                ++table.CurrentSensor;
                return !stop();
            }
            row.Flag = Without(row.Flag, kFlagConverting);
        }
        if (stop()) {
            return false;
        }
    }
    return true;
}

void ConversionPhase(PollTable& table, onewire::OWire& link, const StopCheck& stop) {
    const bool sequential = IsSequential(table);
    const int32_t count = static_cast<int32_t>(table.Sensor.size());
    if (table.CurrentSensor >= count) {
        table.CurrentSensor = 0;
    }
    int32_t index = 0;
    while (index < count) {
        SensorParam& row = table.Sensor[static_cast<size_t>(index)];
        if (IsServed(table, row) && (!sequential || index >= table.CurrentSensor)) {
            ConvertRow(row, link);
            if (sequential) {
                break;  // this row is the one read in the next cycle
            }
        }
        ++index;
        if (stop()) {
            break;
        }
    }
    table.CurrentSensor = index;
}

void PollBus(PollTable& table, onewire::OWire& link, const StopCheck& stop) {
    if (table.PortID != 0 && ReadPhase(table, link, stop)) {
        ConversionPhase(table, link, stop);
    }
}

void ClearFreshMarks(PollTable& table) {
    for (SensorParam& row : table.Sensor) {
        row.Flag = Without(row.Flag, kFlagFresh);
    }
}

}  // namespace flextor
