// The real polling thread on a simulated bus, watched from the GUI's side of
// SensorShare. The thread runs in steps: after each exchange it waits until the
// test lets it go on, so faults and requests can be placed between two cycles.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "owsim/sim_bus.h"
#include "platform/sensors/poll_thread.h"
#include "support/recording_log_view.h"

namespace flextor::test {

// What the GUI side found in SensorShare right after one exchange.
struct SeenExchange {
    uint8_t command = 0;
    int32_t port_id = 0;
    std::vector<SensorParam> sensors;
    std::chrono::steady_clock::time_point when;
};

class PollerTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // A short pause, so that tests run many cycles quickly.
    static PollerOptions FastOptions();

    // A sensor on the bus that is also a row of the table the thread starts with.
    owsim::RomCode AddSensor(uint64_t serial, int tenths, uint8_t role,
                             uint8_t family = owsim::kFamilyDS18B20);
    // A row of the starting table that is not on the bus.
    owsim::RomCode AddMissingRow(uint64_t serial, uint8_t role);

    // Starts the thread on port_name; it runs its first cycle and waits.
    void StartPolling(uint8_t serial = 0, PollerOptions options = FastOptions());
    // Lets the thread run n more cycles and waits for their exchanges.
    void RunCycles(int n);
    // Lets the thread run freely from now on.
    void RunFreely();
    // Waits until the thread has made at least n exchanges in all.
    bool WaitForExchanges(size_t n, std::chrono::milliseconds timeout);

    // A request as the GUI makes it: edit runs on SensorShare with the mutex held.
    void Request(uint8_t command, const std::function<void(SensorShareBlock&)>& edit = {});

    // The exchanges seen so far, the last one, and a row of the last data hand-over.
    std::vector<SeenExchange> Seen();
    SeenExchange Last();
    SensorParam LastRow(const owsim::RomCode& rom);
    // The messages the thread posted, without their time stamps.
    std::vector<RecordingLogView::Row> Messages();

    static int64_t ID(const owsim::RomCode& rom);

    owsim::SimBus bus;
    std::string port_name;  // the simulated bus's port unless a test says otherwise
    std::unique_ptr<SensorPoller> poller;

  private:
    void OnExchange();

    RecordingLogView log_;
    std::mutex gate_mutex_;
    std::condition_variable gate_cv_;
    std::vector<SeenExchange> seen_;
    size_t allowed_ = 0;
    bool free_ = false;
};

}  // namespace flextor::test
