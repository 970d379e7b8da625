// The thread's port and its end, with the real thread on a simulated bus.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "core/state/program_state.h"
#include "core/state/stop_flag.h"
#include "platform/sensors/poller_fixture.h"

namespace flextor::test {
namespace {

using SensorPortTest = PollerTest;

TEST_F(SensorPortTest, PortThatCannotBeOpenedIsReportedAndTheThreadKeepsCycling) {
    owsim::RomCode column = AddSensor(1, 785, 3);
    port_name = "ttyFlextorNoSuchPort";
    StartPolling();
    RunCycles(2);
    for (const SeenExchange& exchange : Seen()) {
        EXPECT_EQ(exchange.port_id, 0);
        EXPECT_EQ(exchange.command, kCmdFreshData);
        EXPECT_EQ(exchange.sensors.size(), 1u);
    }
    std::vector<RecordingLogView::Row> messages = Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Не удалось открыть порт ttyFlextorNoSuchPort");
    EXPECT_EQ(messages[0].level, 2);

    // A port chosen in the sensors window is opened at the next exchange; the sensor is
    // converted in the cycle after it and read in the one after that, unless a loaded
    // machine held the bus's thread past an echo's limit and cost a read.
    Request(kCmdReopen, [this](SensorShareBlock& share) { share.PortName = bus.PortName(); });
    RunCycles(3);
    for (int cycle = 0; cycle < 10 && LastRow(column).Termo != 785; ++cycle) {
        RunCycles(1);
    }
    EXPECT_NE(Last().port_id, 0);
    EXPECT_EQ(LastRow(column).Termo, 785);
    EXPECT_EQ(Messages().size(), 1u);
}

// A pause far longer than the waits below: the stop request and the owner's
// Stop each end it, not its end.
class SensorStopTest : public PollerTest {
  protected:
    void ExpectStopEndsThePause(const std::function<void()>& stop) {
        PollerOptions options;
        options.pause_steps = 400;  // 20 s
        StartPolling(0, options);
        RunFreely();
        stop();
        EXPECT_TRUE(poller->WaitForEnd(std::chrono::seconds(5)));
        EXPECT_FALSE(poller->Running());
        EXPECT_EQ(Seen().size(), 1u);
    }
};

TEST_F(SensorStopTest, StopRequestEndsTheThreadDuringItsPause) {
    ExpectStopEndsThePause([] { StopRequest = 1; });
}

TEST_F(SensorStopTest, StopEndsTheThreadDuringItsPause) {
    ExpectStopEndsThePause([this] { poller->RequestStop(); });
}

// A wake that comes after the sleeper took the count, but before it sleeps,
// is not lost: the sleep returns at once instead of lasting to its deadline.
TEST(StopFlagTest, WakeBetweenTheLookAndTheSleepIsNotLost) {
    StopFlag flag;
    const uint32_t seen = flag.Wakes();
    flag = 1;
    const auto start = std::chrono::steady_clock::now();
    flag.SleepUntil(seen, start + std::chrono::seconds(20));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(flag.load(), 1);
    EXPECT_NE(flag.Wakes(), seen);
}

}  // namespace
}  // namespace flextor::test
