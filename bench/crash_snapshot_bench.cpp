// The crash-state rendering at the end of every logic cycle: a typical run with
// eight sensors, column 1 drawing spirit, with and without a settings save
// pending.
#include <benchmark/benchmark.h>

#include "core/crash/crash_snapshot.h"
#include "core/settings/settings.h"
#include "core/state/program_state.h"

namespace flextor {
namespace {

void SetUpRun(int32_t save_counter) {
    ResetProgramState();
    ResetSettings();
    ResetCrashSnapshot();
    ProgVar.LogInfo_FileName = "/home/pi/Флекстор/Log/06_12_2026__18_24_05.log";
    ProgVar.LogTermo_FileName = "/home/pi/Флекстор/Log/Termo_06_12_2026__18_24_05.log";
    for (uint8_t i = 0; i < 8; ++i) {
        SensorParam row;
        row.SN = {kFamilyDS18B20, {i, 0x3C, 0x01, 0xE4, 0x77, 0xA0}, 0xB7};
        row.Use = static_cast<uint8_t>(i < 6 ? i + 1 : 0);
        row.Termo = static_cast<int16_t>(781 + i);
        row.UpdateCount = 3;
        row.Flag = kFlagTemperatureSensor | kFlagFresh;
        ProgVar.Sensors.Sensor.push_back(row);
        SettingSensors.push_back(row);
    }
    Logic_Col1& col1 = ProgVar.Logic.Col1;
    col1 = {1, 4, 0, 73, 41, 0, 0, 2.0 / 3.0, 0.48666666666, 51.25, 1200.333333333, 4712.87654321,
            0};
    ProgVar.Crash = {2, "Билд: 94; Строка: 211; Файл 'col1_step.cpp'; Ошибка: Abort signal"};
    SaveCounter = save_counter;
}

void BM_RenderCrashSnapshot(benchmark::State& state) {
    SetUpRun(static_cast<int32_t>(state.range(0)));
    for (auto _ : state) {
        RenderCrashSnapshot();
    }
    state.counters["bytes"] = static_cast<double>(ReadyCrashStateText().prefix.size);
    ResetCrashSnapshot();
    ResetProgramState();
    ResetSettings();
}
BENCHMARK(BM_RenderCrashSnapshot)->Arg(100)->Arg(5);

}  // namespace
}  // namespace flextor
