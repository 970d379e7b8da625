#include "platform/sensors/poller_fixture.h"

#include <algorithm>

#include "core/log/message_log.h"
#include "core/state/program_state.h"
#include "platform/onewire/link.h"
#include "platform/onewire/rom_code.h"

namespace flextor::test {
namespace {

constexpr std::chrono::seconds kCycleTimeout{60};

SensorParam TableRow(const owsim::RomCode& rom, uint8_t role) {
    SensorParam row;
    row.ID = onewire::RomCodeID(rom);
    row.Use = role;
    row.Flag = FamilyFlag(row);
    return row;
}

}  // namespace

void PollerTest::SetUp() {
    ResetProgramState();
    ResetMessageLog();
    SetLogView(&log_);
    onewire::LinkOptions = onewire::kLinkSleep;  // as the program runs
    onewire::EchoWaitStretch = 8;                // the bus answers from a thread of this process
    ASSERT_TRUE(bus.Start());
    port_name = bus.PortName();
}

void PollerTest::TearDown() {
    RunFreely();
    if (poller) {
        EXPECT_TRUE(poller->Stop());
        poller.reset();
    }
    bus.Stop();
    ResetMessageLog();
    ResetProgramState();
    onewire::LinkOptions = 0;
    onewire::EchoWaitStretch = 1;
}

PollerOptions PollerTest::FastOptions() {
    PollerOptions options;
    options.pause_steps = 2;
    options.pause_step = std::chrono::milliseconds(1);
    return options;
}

int64_t PollerTest::ID(const owsim::RomCode& rom) {
    return onewire::RomCodeID(rom);
}

owsim::RomCode PollerTest::AddSensor(uint64_t serial, int tenths, uint8_t role, uint8_t family) {
    owsim::RomCode rom = bus.AddSensor(family, serial, tenths);
    std::lock_guard lock(SensorShare.Mutex);
    SensorShare.Sensor.push_back(TableRow(rom, role));
    return rom;
}

owsim::RomCode PollerTest::AddMissingRow(uint64_t serial, uint8_t role) {
    owsim::RomCode rom = owsim::MakeRom(owsim::kFamilyDS18B20, serial);
    std::lock_guard lock(SensorShare.Mutex);
    SensorShare.Sensor.push_back(TableRow(rom, role));
    return rom;
}

void PollerTest::StartPolling(uint8_t serial, PollerOptions options) {
    {
        std::lock_guard lock(SensorShare.Mutex);
        SensorShare.PortName = port_name;
        SensorShare.Serial = serial;
    }
    bus.ClearCounters();
    poller = std::make_unique<SensorPoller>(std::move(options));
    ASSERT_TRUE(poller->Start(SensorShare, [this] { OnExchange(); }));
    RunCycles(1);
}

// Polling thread: looks at the block as the GUI would, then waits for its turn.
void PollerTest::OnExchange() {
    SeenExchange exchange;
    {
        std::lock_guard lock(SensorShare.Mutex);
        exchange.command = SensorShare.Command;
        exchange.port_id = SensorShare.PortID;
        exchange.sensors = SensorShare.Sensor;
    }
    exchange.when = std::chrono::steady_clock::now();
    std::unique_lock gate(gate_mutex_);
    seen_.push_back(std::move(exchange));
    gate_cv_.notify_all();
    gate_cv_.wait(gate, [this] { return free_ || seen_.size() < allowed_; });
}

void PollerTest::RunCycles(int n) {
    size_t target = 0;
    {
        std::lock_guard gate(gate_mutex_);
        allowed_ = std::max(allowed_, seen_.size()) + static_cast<size_t>(n);
        target = allowed_;
        gate_cv_.notify_all();
    }
    ASSERT_TRUE(WaitForExchanges(target, kCycleTimeout)) << "the thread stopped cycling";
}

void PollerTest::RunFreely() {
    std::lock_guard gate(gate_mutex_);
    free_ = true;
    gate_cv_.notify_all();
}

bool PollerTest::WaitForExchanges(size_t n, std::chrono::milliseconds timeout) {
    std::unique_lock gate(gate_mutex_);
    return gate_cv_.wait_for(gate, timeout, [&] { return seen_.size() >= n; });
}

void PollerTest::Request(uint8_t command, const std::function<void(SensorShareBlock&)>& edit) {
    std::lock_guard lock(SensorShare.Mutex);
    if (edit) {
        edit(SensorShare);
    }
    SensorShare.Command |= command;
}

std::vector<SeenExchange> PollerTest::Seen() {
    std::lock_guard gate(gate_mutex_);
    return seen_;
}

SeenExchange PollerTest::Last() {
    std::lock_guard gate(gate_mutex_);
    return seen_.empty() ? SeenExchange{} : seen_.back();
}

SensorParam PollerTest::LastRow(const owsim::RomCode& rom) {
    const int64_t id = ID(rom);
    for (const SensorParam& row : Last().sensors) {
        if (row.ID == id) {
            return row;
        }
    }
    ADD_FAILURE() << "no row " << owsim::FormatRom(rom) << " in the last exchange";
    return SensorParam{};
}

std::vector<RecordingLogView::Row> PollerTest::Messages() {
    HandleLogMessageEvent();
    std::vector<RecordingLogView::Row> rows = log_.rows;
    for (RecordingLogView::Row& row : rows) {
        const size_t stamp_end = row.text.find("]  ");
        if (stamp_end != std::string::npos) {
            row.text.erase(0, stamp_end + 3);
        }
    }
    return rows;
}

}  // namespace flextor::test
