// The thread's port when its adapter is pulled out and plugged back in, or is
// missing at start: the port is reported once, tried again until it answers,
// and the next answer is reported once. The adapter is the simulated bus behind
// a tty-named link in /dev that is re-pointed when the bus comes back.
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>

#include "core/state/program_state.h"
#include "owsim/port_link.h"
#include "platform/sensors/poller_fixture.h"

namespace flextor::test {
namespace {

constexpr std::chrono::seconds kReconnectTimeout{60};

bool InError(const SensorParam& row) {
    return (row.Flag & kFlagError) != 0;
}

std::string UniqueLinkPath() {
    static std::atomic<int> count{0};
    return "/dev/ttyFlextorReconnect" + std::to_string(getpid()) + "_" + std::to_string(++count);
}

class SensorReconnectTest : public PollerTest {
  protected:
    void SetUp() override {
        PollerTest::SetUp();
        link_path_ = UniqueLinkPath();
        port_name = link_path_.substr(std::string("/dev/").size());
    }

    // Every cycle is past the retry period, so every cycle without a port tries.
    static PollerOptions Options() {
        PollerOptions options = FastOptions();
        options.port_retry_period = std::chrono::milliseconds(1);
        return options;
    }

    // The adapter appears under the port name (again), on whatever pty the bus has now.
    void PlugIn() {
        std::string error;
        ASSERT_TRUE(link_.Create(link_path_, bus.SlavePath(), &error)) << error;
    }

    // Runs cycles one by one until done holds for the last exchange.
    bool RunUntil(const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + kReconnectTimeout;
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            RunCycles(1);
        }
        return true;
    }

    bool FreshReading(const owsim::RomCode& rom, int tenths) {
        SensorParam row = LastRow(rom);
        return Last().port_id != 0 && (row.Flag & kFlagFresh) != 0 && row.Termo == tenths;
    }

    owsim::PortLink link_;
    std::string link_path_;
};

TEST_F(SensorReconnectTest, AdapterPulledOutAndPluggedBackInIsReportedOnceEachWay) {
    owsim::RomCode column = AddSensor(1, 785, 3);
    PlugIn();
    StartPolling(0, Options());
    ASSERT_TRUE(RunUntil([&] { return FreshReading(column, 785); }));
    EXPECT_TRUE(Messages().empty());

    bus.Stop();
    RunCycles(1);
    EXPECT_EQ(Last().port_id, 0);
    EXPECT_TRUE(InError(LastRow(column)));
    RunCycles(5);  // silent attempts on the missing port
    EXPECT_EQ(Last().port_id, 0);
    EXPECT_TRUE(InError(LastRow(column)));
    std::vector<RecordingLogView::Row> messages = Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              "Потеряна связь с портом " + port_name + ", ожидание повторного подключения");
    EXPECT_EQ(messages[0].level, 1);

    ASSERT_TRUE(bus.SetTemperature(column, 802));
    ASSERT_TRUE(bus.Start());
    PlugIn();
    ASSERT_TRUE(RunUntil([&] { return FreshReading(column, 802); }));
    EXPECT_FALSE(InError(LastRow(column)));
    EXPECT_EQ(LastRow(column).CountErr, 0);
    messages = Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, "Связь с портом " + port_name + " восстановлена");
    EXPECT_EQ(messages[1].level, 0);
}

TEST_F(SensorReconnectTest, PortMissingAtStartIsReportedOnceAndOpenedWhenItAppears) {
    owsim::RomCode column = AddSensor(1, 785, 3);
    StartPolling(0, Options());
    RunCycles(5);
    EXPECT_EQ(Last().port_id, 0);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].text, "Не удалось открыть порт " + port_name);

    PlugIn();
    ASSERT_TRUE(RunUntil([&] { return FreshReading(column, 785); }));
    std::vector<RecordingLogView::Row> messages = Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, "Связь с портом " + port_name + " восстановлена");
}

TEST_F(SensorReconnectTest, AnotherPortChosenInTheWindowEndsTheAttemptsOnTheLostOne) {
    AddSensor(1, 785, 3);
    PlugIn();
    StartPolling(0, Options());
    RunCycles(1);
    ASSERT_NE(Last().port_id, 0);
    bus.Stop();
    RunCycles(1);
    ASSERT_EQ(Last().port_id, 0);

    Request(kCmdReopen, [](SensorShareBlock& share) { share.PortName = "ttyFlextorNoSuchPort"; });
    RunCycles(1);
    ASSERT_TRUE(bus.Start());
    PlugIn();
    RunCycles(5);  // each would have tried the old name
    EXPECT_EQ(Last().port_id, 0);
    std::vector<RecordingLogView::Row> messages = Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, "Не удалось открыть порт ttyFlextorNoSuchPort");
}

}  // namespace
}  // namespace flextor::test
