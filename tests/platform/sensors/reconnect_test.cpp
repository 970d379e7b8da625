// The thread's port when its adapter is missing at start, pulled out or plugged
// back in: the simulated bus behind a tty-named link in /dev, re-pointed when the
// bus comes back on another pty. Every cycle is past the retry period.
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

#include "core/log/message_log.h"
#include "core/state/program_state.h"
#include "owsim/port_link.h"
#include "platform/sensors/poller_fixture.h"

namespace flextor::test {
namespace {

class SensorReconnectTest : public PollerTest {
  protected:
    void SetUp() override {
        PollerTest::SetUp();
        port_name = "ttyFlextorReconnect" + std::to_string(getpid());
        options_.port_retry_period = std::chrono::milliseconds(1);
    }

    void PlugIn() {
        std::string error;
        ASSERT_TRUE(link_.Create("/dev/" + port_name, bus.SlavePath(), &error)) << error;
    }

    // Runs cycles until the last exchange has a fresh reading of tenths; false
    // after a minute.
    bool RunUntilFresh(const owsim::RomCode& rom, int tenths) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < deadline) {
            RunCycles(1);
            SensorParam row = LastRow(rom);
            if (Last().port_id != 0 && (row.Flag & kFlagFresh) != 0 && row.Termo == tenths) {
                return true;
            }
        }
        return false;
    }

    std::string LastMessage() { return Messages().empty() ? "" : Messages().back().text; }

    PollerOptions options_ = FastOptions();
    owsim::PortLink link_;
};

TEST_F(SensorReconnectTest, EachLossAndReturnOfTheAdapterIsReportedOnce) {
    owsim::RomCode column = AddSensor(1, 785, 3);
    StartPolling(0, options_);
    RunCycles(3);  // silent attempts
    EXPECT_EQ(Last().port_id, 0);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(LastMessage(), "Не удалось открыть порт " + port_name);

    PlugIn();
    ASSERT_TRUE(RunUntilFresh(column, 785));
    EXPECT_EQ(Messages().size(), 2u);
    EXPECT_EQ(LastMessage(), "Связь с портом " + port_name + " восстановлена");

    bus.Stop();
    RunCycles(4);
    EXPECT_EQ(Last().port_id, 0);
    EXPECT_NE(LastRow(column).Flag & kFlagError, 0);
    ASSERT_EQ(Messages().size(), 3u);
    EXPECT_EQ(Messages().back().level, kLevelWarning);
    EXPECT_EQ(LastMessage(),
              "Потеряна связь с портом " + port_name + ", ожидание повторного подключения");

    ASSERT_TRUE(bus.SetTemperature(column, 802));
    ASSERT_TRUE(bus.Start());
    PlugIn();
    ASSERT_TRUE(RunUntilFresh(column, 802));
    EXPECT_EQ(LastRow(column).Flag & kFlagError, 0);
    ASSERT_EQ(Messages().size(), 4u);
    EXPECT_EQ(Messages().back().level, kLevelInfo);
    EXPECT_EQ(LastMessage(), "Связь с портом " + port_name + " восстановлена");
}

TEST_F(SensorReconnectTest, AnotherPortChosenInTheWindowEndsTheAttemptsOnTheLostOne) {
    PlugIn();
    StartPolling(0, options_);
    bus.Stop();
    RunCycles(1);
    Request(kCmdReopen, [](SensorShareBlock& share) { share.PortName = "ttyFlextorNoSuchPort"; });
    RunCycles(1);
    ASSERT_TRUE(bus.Start());
    PlugIn();
    RunCycles(4);  // each would have found the old name back
    EXPECT_EQ(Last().port_id, 0);
    EXPECT_EQ(LastMessage(), "Не удалось открыть порт ttyFlextorNoSuchPort");
}

}  // namespace
}  // namespace flextor::test
