// One sensor's conversion and scratchpad read through the link, on a simulated
// bus in this process whose echoes come back after a set delay (the argument, in
// milliseconds): the cost of the round trips a transaction waits for.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "owsim/sim_bus.h"
#include "platform/onewire/link.h"
#include "platform/onewire/sensor_commands.h"

namespace flextor {
namespace {

void BM_ConvertAndRead(benchmark::State& state) {
    owsim::SimBus bus;
    onewire::LinkOptions = onewire::kLinkSleep;
    onewire::RomCode rom = bus.AddSensor(owsim::kFamilyDS18B20, 0x0000041A2B3C, 785);
    onewire::OWire link;
    if (!bus.Start() || link.Open(bus.PortName()) == 0) {
        state.SkipWithError("the simulated bus did not start");
        return;
    }
    bus.SetEchoDelayMs(static_cast<int>(state.range(0)));
    int64_t failures = 0;
    for (auto _ : state) {
        onewire::Scratchpad pad{};
        bool ok = onewire::ConvertT(link, rom) && onewire::ReadScratchpad(link, rom, pad);
        failures += ok ? 0 : 1;
        benchmark::DoNotOptimize(pad);
    }
    state.counters["failures"] = static_cast<double>(failures);
    onewire::LinkOptions = 0;
}
BENCHMARK(BM_ConvertAndRead)
    ->Arg(0)
    ->Arg(1)
    ->Arg(4)
    ->Arg(16)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(0.5);

}  // namespace
}  // namespace flextor
