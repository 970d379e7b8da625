// The refresh period of the polling thread on a bus with real line times and an
// adapter latency (arguments: sensors, latency in ms), next to the floor: the
// period of the fastest honest master on the same bus in the same run, which
// per sensor sends one reset and one block for Match ROM + ROM + Convert T, then
// one reset, one block for Match ROM + ROM + Read Scratchpad and one block of
// read slots, each waiting only for its own echo, and pauses as long as the
// thread does. Each iteration is one period of the thread (manual time).
#include <benchmark/benchmark.h>
#include <poll.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "core/state/program_state.h"
#include "owsim/sim_bus.h"
#include "platform/onewire/link.h"
#include "platform/onewire/rom_code.h"
#include "platform/sensors/poll_thread.h"
#include "platform/serial/serial_port.h"

namespace flextor {
namespace {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<uint8_t>;

constexpr auto kPause = std::chrono::milliseconds(900);  // the thread's 18 × 50 ms
constexpr int kFloorCycles = 3;

// Slot bytes of a byte string, least significant bit first.
Bytes Slots(const Bytes& data) {
    Bytes slots;
    for (uint8_t byte : data) {
        for (int bit = 0; bit < 8; ++bit) {
            slots.push_back((byte >> bit) & 1 ? 0xFF : 0x00);
        }
    }
    return slots;
}

// Writes bytes and waits, without sleeping, until all their echoes are in.
bool Exchange(SerialPort& port, const Bytes& bytes) {
    if (port.Write(bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        return false;
    }
    Bytes echo(bytes.size());
    size_t got = 0;
    const auto limit = Clock::now() + std::chrono::milliseconds(200);
    while (got < bytes.size() && Clock::now() < limit) {
        pollfd fd{port.Handle(), POLLIN, 0};
        poll(&fd, 1, 10);
        ssize_t n = port.Read(echo.data() + got, echo.size() - got);
        got += n > 0 ? static_cast<size_t>(n) : 0;
    }
    return got == bytes.size();
}

bool ResetPulse(SerialPort& port) {
    return port.SetSpeed(onewire::kResetBaud) && Exchange(port, {0xF0}) &&
           port.SetSpeed(onewire::kSlotBaud);
}

Bytes Addressed(const onewire::RomCode& rom, uint8_t command) {
    Bytes data = {0x55};
    data.insert(data.end(), rom.begin(), rom.end());
    data.push_back(command);
    return Slots(data);
}

// The bus time of one cycle of the floor master over every sensor.
Clock::duration FloorBusTime(SerialPort& port, const std::vector<onewire::RomCode>& roms) {
    const Bytes read_slots(72, 0xFF);
    const auto start = Clock::now();
    for (const onewire::RomCode& rom : roms) {
        bool ok = ResetPulse(port) && Exchange(port, Addressed(rom, 0x44)) && ResetPulse(port) &&
                  Exchange(port, Addressed(rom, 0xBE)) && Exchange(port, read_slots);
        benchmark::DoNotOptimize(ok);
    }
    return Clock::now() - start;
}

// The floor period: the pause plus the best bus time of a few cycles.
double FloorPeriodSeconds(const owsim::SimBus& bus, const std::vector<onewire::RomCode>& roms) {
    std::unique_ptr<SerialPort> port = OpenSerialPort(bus.SlavePath(), onewire::kSlotBaud);
    if (!port) {
        return 0;
    }
    Clock::duration best = Clock::duration::max();
    for (int i = 0; i < kFloorCycles; ++i) {
        best = std::min(best, FloorBusTime(*port, roms));
    }
    return std::chrono::duration<double>(kPause + best).count();
}

// The times of the thread's exchanges, as its data event reports them.
struct ExchangeTimes {
    std::mutex mutex;
    std::condition_variable cv;
    std::vector<Clock::time_point> when;

    void Note() {
        std::lock_guard lock(mutex);
        when.push_back(Clock::now());
        cv.notify_all();
    }
    // The interval before exchange n (from 1), once it has happened.
    double WaitForPeriod(size_t n) {
        std::unique_lock lock(mutex);
        cv.wait_for(lock, std::chrono::seconds(20), [&] { return when.size() > n; });
        if (when.size() <= n) {
            return 0;
        }
        return std::chrono::duration<double>(when[n] - when[n - 1]).count();
    }
};

void StartTable(const owsim::SimBus& bus, const std::vector<onewire::RomCode>& roms) {
    ResetProgramState();
    std::lock_guard lock(SensorShare.Mutex);
    SensorShare.PortName = bus.PortName();
    for (size_t i = 0; i < roms.size(); ++i) {
        SensorParam row;
        row.ID = onewire::RomCodeID(roms[i]);
        row.Use = static_cast<uint8_t>(1 + i % 6);
        row.Flag = FamilyFlag(row);
        SensorShare.Sensor.push_back(row);
    }
}

// Rows of the thread's last hand-over that did not read fresh: the speed is
// worth nothing if readings fail.
int StaleRows() {
    std::lock_guard lock(SensorShare.Mutex);
    int stale = 0;
    for (const SensorParam& row : SensorShare.Sensor) {
        stale += (row.Flag & kFlagFresh) == 0 ? 1 : 0;
    }
    return stale;
}

void BM_RefreshPeriod(benchmark::State& state) {
    const int sensors = static_cast<int>(state.range(0));
    onewire::LinkOptions = onewire::kLinkSleep;  // as the program runs
    owsim::SimBus bus;
    std::vector<onewire::RomCode> roms;
    for (int i = 0; i < sensors; ++i) {
        roms.push_back(bus.AddSensor(owsim::kFamilyDS18B20, 0x00000A1B0000 + i, 200 + i));
    }
    bus.SetLineTime(true);
    bus.SetLatencyUs(static_cast<int>(state.range(1)) * 1000);
    if (!bus.Start()) {
        state.SkipWithError("the simulated bus did not start");
        return;
    }
    const double floor = FloorPeriodSeconds(bus, roms);

    StartTable(bus, roms);
    ExchangeTimes times;
    SensorPoller poller;
    if (!poller.Start(SensorShare, [&times] { times.Note(); })) {
        state.SkipWithError("the polling thread did not start");
        return;
    }
    size_t next = 2;  // the first cycle after the port opens only converts
    double sum = 0;
    for (auto _ : state) {
        double period = times.WaitForPeriod(next++);
        state.SetIterationTime(period);
        sum += period;
    }
    const int stale = StaleRows();
    if (!poller.Stop()) {
        state.SkipWithError("the polling thread did not stop in time");
    }
    const double mean = sum / static_cast<double>(state.iterations());
    state.counters["floor_s"] = floor;
    state.counters["period_s"] = mean;
    state.counters["ratio"] = floor > 0 ? mean / floor : 0;
    state.counters["stale_rows"] = stale;
    onewire::LinkOptions = 0;
    ResetProgramState();
}
BENCHMARK(BM_RefreshPeriod)
    ->Args({6, 1})
    ->Args({20, 1})
    ->Args({6, 16})
    ->Args({20, 16})
    ->Iterations(4)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace flextor
