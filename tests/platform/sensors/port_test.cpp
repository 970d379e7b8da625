// The thread's port and its end, with the real thread on a simulated bus.
#include <gtest/gtest.h>

#include "core/state/program_state.h"
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

    // A port chosen in the sensors window is opened at the next exchange.
    Request(kCmdReopen, [this](SensorShareBlock& share) { share.PortName = bus.PortName(); });
    RunCycles(3);
    EXPECT_NE(Last().port_id, 0);
    EXPECT_EQ(LastRow(column).Termo, 785);
    EXPECT_EQ(Messages().size(), 1u);
}

TEST_F(SensorPortTest, StopRequestEndsTheThreadDuringItsPause) {
    PollerOptions options;
    options.pause_steps = 400;  // 20 s: far longer than the wait below
    StartPolling(0, options);
    RunFreely();
    StopRequest = 1;
    EXPECT_TRUE(poller->WaitForEnd(std::chrono::seconds(5)));
    EXPECT_FALSE(poller->Running());
    EXPECT_EQ(Seen().size(), 1u);
}

}  // namespace
}  // namespace flextor::test
