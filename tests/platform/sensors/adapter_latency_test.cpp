// The adapter's latency timer as the polling thread meets it when it opens the
// port: lowered quietly when it may be, else one warning per adapter with the
// way to lower it, and nothing for ports without a timer.
#include "platform/sensors/adapter_latency.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "core/log/message_log.h"
#include "platform/onewire/fake_port.h"
#include "platform/onewire/link.h"
#include "platform/sensors/exchange.h"
#include "platform/sensors/poll_table.h"
#include "platform/serial/latency_folder.h"
#include "platform/serial/usb_latency.h"
#include "support/recording_log_view.h"

namespace flextor {
namespace {

class AdapterLatencyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetMessageLog();
        SetLogView(&log);
    }
    void TearDown() override {
        ResetMessageLog();
        unsetenv(kUsbSerialRootVariable);
    }

    std::vector<test::RecordingLogView::Row> Messages() {
        HandleLogMessageEvent();
        return log.rows;
    }

    test::LatencyFolder sysfs;
    test::RecordingLogView log;
    std::set<std::string> advised;
};

TEST_F(AdapterLatencyTest, WritableTimerIsSetToOneMillisecond) {
    sysfs.Writable("ttyUSB0", 16);
    TuneAdapterLatency("ttyUSB0", sysfs.Root(), advised);
    EXPECT_EQ(sysfs.Timer("ttyUSB0"), "1\n");
    auto messages = Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].level, kLevelInfo);
    EXPECT_NE(messages[0].text.find("ttyUSB0"), std::string::npos);
    TuneAdapterLatency("ttyUSB0", sysfs.Root(), advised);  // already at 1 ms
    EXPECT_EQ(Messages().size(), 1u);
}

TEST_F(AdapterLatencyTest, PortsWithoutATimerSayNothing) {
    for (const char* port : {"pts/3", "ttyUSB0", "ttyAMA0", ""}) {
        TuneAdapterLatency(port, sysfs.Root(), advised);
    }
    EXPECT_TRUE(Messages().empty());
    EXPECT_TRUE(advised.empty());
}

// Through the reopen of the polling thread, as the program opens its port.
TEST_F(AdapterLatencyTest, TimerThatMayNotBeWrittenIsExplainedOncePerAdapter) {
    if (!sysfs.ReadOnly("ttyUSB0") || !sysfs.ReadOnly("ttyUSB1")) {
        GTEST_SKIP() << "no read-only number file to stand in for the timer";
    }
    if (ReadLatencyTimer(sysfs.Root(), "ttyUSB0").value_or(0) <= kWantedLatencyMs) {
        GTEST_SKIP() << "the stand-in reads as a low timer";
    }
    ASSERT_EQ(setenv(kUsbSerialRootVariable, sysfs.Root().c_str(), 1), 0);
    auto line = std::make_shared<test::FakeLine>();
    onewire::OWire link{test::FakePortOpener(line)};
    PollTable table;
    table.PortName = "ttyUSB0";
    ReopenPort(table, link);
    ReopenPort(table, link);
    auto messages = Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].level, kLevelWarning);
    const int found = *ReadLatencyTimer(sysfs.Root(), "ttyUSB0");
    EXPECT_TRUE(messages[0].text.ends_with(LatencyAdviceText("ttyUSB0", found, sysfs.Root())));
    EXPECT_NE(messages[0].text.find("echo 1 | sudo tee " + sysfs.Root() + "/ttyUSB0/latency_timer"),
              std::string::npos);

    table.PortName = "ttyUSB1";
    ReopenPort(table, link);
    EXPECT_EQ(Messages().size(), 2u);
}

}  // namespace
}  // namespace flextor
