// The logic cycle and the output refresh in a steady state: column 1 drawing
// spirit at full duty, no mode change, no message, no pin change.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "core/display/status_display.h"
#include "core/logic/col1/col1_mode.h"
#include "core/logic/commands/column_command.h"
#include "core/logic/logic_cycle.h"
#include "core/logic/refresh_outputs.h"
#include "core/settings/settings.h"
#include "core/state/program_state.h"

namespace flextor {
namespace {

class SilentDisplay final : public StatusDisplay {
  public:
    void SetIndicator(int, int) override {}
    void SetColumnControls(int, int) override {}
    void SetStatusText(const std::string&) override {}
    void SetPwmText(const std::string&) override {}
    void SetHeadsVolumeText(const std::string&) override {}
    void SetSpiritVolumeText(const std::string&) override {}
    void SetTemperatureText(int, const std::string&) override {}
    void ShowRefusal(const std::string&) override {}
    bool AskYesNo(const std::string&) override { return false; }
};

class CountingPins final : public OutputPins {
  public:
    int64_t writes = 0;
    int WritePins(uint16_t, uint16_t, std::string*, uint16_t*) override {
        ++writes;
        return 1;
    }
};

SensorParam& AddSensor(uint8_t role, int16_t termo) {
    SensorParam row;
    row.SN.Type = kFamilyDS18B20;
    row.SN.Number[0] = role;
    row.Use = role;
    row.Termo = termo;
    row.UpdateCount = 4;
    row.Flag = kFlagTemperatureSensor;
    ProgVar.Sensors.Sensor.push_back(row);
    return ProgVar.Sensors.Sensor.back();
}

// Six role sensors, column 1 running in mode 4 below its threshold.
void SetUpPlant(SilentDisplay& display) {
    ResetProgramState();
    ResetSettings();
    SetStatusDisplay(&display);
    ProgVar.Sensors.PortID = 1;
    for (uint8_t role = 1; role <= 6; ++role) {
        AddSensor(role, 600);
    }
    ColumnCommand(kColumn1, kCommandStart);
    SetCol1Mode(kModeValve2);
}

void BM_LogicCycle(benchmark::State& state) {
    SilentDisplay display;
    SetUpPlant(display);
    for (auto _ : state) {
        for (SensorParam& row : ProgVar.Sensors.Sensor) {
            row.UpdateCount = 4;
        }
        LogicCycle();
    }
    state.counters["mode"] = ProgVar.Logic.Col1.Mode;
    SetStatusDisplay(nullptr);
}
BENCHMARK(BM_LogicCycle);

void BM_RefreshOutputsSteady(benchmark::State& state) {
    SilentDisplay display;
    SetUpPlant(display);
    CountingPins pins;
    SetOutputPins(&pins);
    RefreshOutputs();  // the first refresh writes every pin
    pins.writes = 0;
    for (auto _ : state) {
        PulseCounter = 0;  // hold the pulsing signal off
        RefreshOutputs();
    }
    state.counters["pin_writes"] = static_cast<double>(pins.writes);
    SetOutputPins(nullptr);
    SetStatusDisplay(nullptr);
}
BENCHMARK(BM_RefreshOutputsSteady);

}  // namespace
}  // namespace flextor
