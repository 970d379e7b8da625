// The plant as the logic tests see it: a fake clock, a recording log list,
// display and pins, an open serial port and a column sensor, all reset per test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/display/status_display.h"
#include "core/log/message_log.h"
#include "core/logic/col1/col1_mode.h"
#include "core/logic/commands/column_command.h"
#include "core/logic/logic_cycle.h"
#include "core/logic/refresh_outputs.h"
#include "core/options/options.h"
#include "core/sensors/find_sensor.h"
#include "core/settings/settings.h"
#include "core/state/program_state.h"
#include "recording_pins.h"
#include "support/fake_clock.h"
#include "support/recording_log_view.h"
#include "support/recording_status_display.h"

namespace flextor::test {

class LogicTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetProgramState();
        ResetSettings();
        CurrentOptions() = Options{};
        ResetMessageLog();
        clock.SetNow(LocalTime{2024, 3, 1, 12, 0, 0});
        clock.SetMonotonicMs(1000000);
        InstallClock(&clock);
        SetLogView(&log);
        SetStatusDisplay(&display);
        SetOutputPins(&pins);
        ProgVar.Sensors.PortID = 7;
        PortReported = true;
        // Both alarm sensors cool and reading, so that the alarm stays off.
        AddSensor(kRoleTsa, 250);
        AddSensor(kRoleCondenser, 250);
        AddSensor(kRoleColumn, 200);
    }

    void TearDown() override {
        SetOutputPins(nullptr);
        SetStatusDisplay(nullptr);
        ResetMessageLog();
        InstallClock(nullptr);
    }

    // A DS18B20 row with a role and a fresh reading.
    SensorParam& AddSensor(uint8_t role, int16_t termo) {
        SensorParam row;
        row.SN.Type = kFamilyDS18B20;
        row.SN.Number[0] = static_cast<uint8_t>(ProgVar.Sensors.Sensor.size() + 1);
        row.Use = role;
        row.Termo = termo;
        row.UpdateCount = 4;
        row.Flag = kFlagTemperatureSensor;
        ProgVar.Sensors.Sensor.push_back(row);
        return ProgVar.Sensors.Sensor.back();
    }

    SensorParam& ColumnSensor() { return *FindSensorByRole(kRoleColumn); }

    // The column sensor's next reading arrives fresh.
    void Reading(int16_t termo) {
        ColumnSensor().Termo = termo;
        ColumnSensor().UpdateCount = 4;
    }
    // No fresh reading: the last Termo stays, but must not be used.
    void Stale(int16_t termo) {
        ColumnSensor().Termo = termo;
        ColumnSensor().UpdateCount = 0;
    }

    // n logic cycles one second apart. The alarm sensors keep reading (while
    // keep_alarm_sensors_fresh) so that long runs do not age them into an alarm.
    void Cycle(int n = 1) {
        for (int i = 0; i < n; ++i) {
            clock.AdvanceSeconds(1);
            if (keep_alarm_sensors_fresh) {
                for (uint8_t role : {kRoleTsa, kRoleCondenser}) {
                    if (SensorParam* row = FindSensorByRole(role)) {
                        row->UpdateCount = 4;
                    }
                }
            }
            LogicCycle();
        }
    }

    // n logic cycles, each with a fresh reading of termo.
    void CycleAt(int16_t termo, int n = 1) {
        for (int i = 0; i < n; ++i) {
            Reading(termo);
            Cycle();
        }
    }

    // The logged texts (without their time stamps) since the last call.
    std::vector<std::string> TakeMessages() {
        std::vector<std::string> texts;
        for (const auto& row : log.rows) {
            const auto start = row.text.find("]  ");
            texts.push_back(start == std::string::npos ? row.text : row.text.substr(start + 3));
        }
        log.rows.clear();
        return texts;
    }

    // The level of the only message logged since the last TakeMessages.
    uint8_t LastLevel() const { return log.rows.empty() ? 255 : log.rows.back().level; }

    void Start() { ColumnCommand(kColumn1, kCommandStart); }
    // Starts column 1 and puts it straight into mode.
    void StartIn(uint8_t mode) {
        Start();
        SetCol1Mode(mode);
    }

    // The output word without the pulsing signal after n refreshes.
    uint16_t Word(int refreshes = 1) {
        for (int i = 0; i < refreshes; ++i) {
            RefreshOutputs();
        }
        return OutputWord & static_cast<uint16_t>(~kBitPulse);
    }

    // How many of n refreshes had all bits of mask set.
    int CountHigh(uint16_t mask, int refreshes) {
        int high = 0;
        for (int i = 0; i < refreshes; ++i) {
            RefreshOutputs();
            high += (OutputWord & mask) == mask ? 1 : 0;
        }
        return high;
    }

    Logic_Col1& col1 = ProgVar.Logic.Col1;
    bool keep_alarm_sensors_fresh = true;
    FakeClock clock;
    RecordingLogView log;
    RecordingStatusDisplay display;
    RecordingPins pins;
};

using Messages = std::vector<std::string>;

}  // namespace flextor::test
